#include "printingtest.h"
#include "recordsets.h"
#include "sizes.h"
#include "sqlformat.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

std::array<QString, 10> envelopeTexts(const char *a = "220", const char *b = "110")
{
    return {QString::fromLatin1(a), QString::fromLatin1(b), QStringLiteral("90"), QStringLiteral("20"),
            QStringLiteral("15"), QStringLiteral("40"), QStringLiteral("70"), QStringLiteral("10"),
            QStringLiteral("10"), QStringLiteral("30")};
}

std::array<QString, 8> labelTexts()
{
    return {QStringLiteral("7.2"), QStringLiteral("63.5"), QStringLiteral("2.5"), QStringLiteral("15.15"),
            QStringLiteral("38.1"), QStringLiteral("0"), QStringLiteral("7"), QStringLiteral("3")};
}

SizeCheck checkEnvelope(std::array<QString, 10> texts, QString name = QStringLiteral("DL"))
{
    std::array<double, 10> values{};
    return CheckEnvelopeFields(texts, name, values);
}

SizeCheck checkLabel(std::array<QString, 8> texts, QString name = QStringLiteral("Sheet"))
{
    LabelValues values;
    return CheckLabelFields(texts, name, values);
}

std::int32_t idsCounter(CDatabase &db, bool envelope)
{
    CSetIDS ids(&db);
    ids.Open(QStringLiteral("SELECT * FROM IDS"));
    return envelope ? ids.m_ID_ENVSIZE_FF : ids.m_ID_LABSIZE_FF;
}

int countRows(CDatabase &db, const QString &table)
{
    if (table == QLatin1String("ENVSIZE"))
        return int(ReadEnvelopeSizes(db, QStringLiteral("SELECT * FROM ENVSIZE")).size());
    return int(ReadLabelSizes(db, QStringLiteral("SELECT * FROM LABSIZE")).size());
}

} // namespace

TEST(EnvelopeFields, ValidValuesAreParsedAndTrimmed)
{
    auto texts = envelopeTexts(" 220 ", "12,5");
    QString name = QStringLiteral("  My DL  ");
    std::array<double, 10> values{};
    EXPECT_TRUE(CheckEnvelopeFields(texts, name, values).ok());
    EXPECT_EQ(values[0], 220);
    EXPECT_EQ(values[1], 12.5);
    EXPECT_EQ(values[9], 30);
    EXPECT_EQ(name, QStringLiteral("My DL"));
    EXPECT_EQ(texts[0], QStringLiteral("220"));
}

TEST(EnvelopeFields, RangesOfEachLength)
{
    for (int field = 0; field < 10; ++field) {
        auto texts = envelopeTexts();
        texts[std::size_t(field)] = QStringLiteral("0");
        const SizeCheck zero = checkEnvelope(texts);
        // D, F, H, K may be 0; the others start at 1.
        const bool zeroAllowed = field == 3 || field == 5 || field == 7 || field == 8;
        EXPECT_EQ(zero.message, zeroAllowed ? 0 : 55) << kEnvelopeLetters[std::size_t(field)];
        if (!zeroAllowed) {
            EXPECT_EQ(zero.field, field);
        }
        texts[std::size_t(field)] = QStringLiteral("500");
        EXPECT_TRUE(checkEnvelope(texts).ok());
        texts[std::size_t(field)] = QStringLiteral("500.01");
        EXPECT_EQ(checkEnvelope(texts).message, 55);
        texts[std::size_t(field)] = QStringLiteral("-1");
        EXPECT_EQ(checkEnvelope(texts).message, 55);
    }
}

TEST(EnvelopeFields, EmptyBeforeInvalidBeforeName)
{
    auto texts = envelopeTexts("abc", "110");
    texts[9] = QStringLiteral("   ");
    SizeCheck c = checkEnvelope(texts, QString());
    EXPECT_EQ(c.message, 54);
    EXPECT_EQ(c.field, 9);
    texts[9] = QStringLiteral("30");
    c = checkEnvelope(texts, QString());
    EXPECT_EQ(c.message, 55);
    EXPECT_EQ(c.field, 0);
    c = checkEnvelope(envelopeTexts(), QStringLiteral("  "));
    EXPECT_EQ(c.message, 56);
    EXPECT_EQ(c.field, kNameField);
}

TEST(LabelFields, RangesAndCounts)
{
    EXPECT_TRUE(checkLabel(labelTexts()).ok());
    for (int field : {0, 2, 3, 5}) {
        auto texts = labelTexts();
        texts[std::size_t(field)] = QStringLiteral("0");
        EXPECT_TRUE(checkLabel(texts).ok()) << field;
    }
    for (int field : {1, 4}) {
        auto texts = labelTexts();
        texts[std::size_t(field)] = QStringLiteral("0");
        const SizeCheck c = checkLabel(texts);
        EXPECT_EQ(c.message, 49);
        EXPECT_EQ(c.field, field);
    }
    auto texts = labelTexts();
    texts[6] = QStringLiteral("16");
    EXPECT_EQ(checkLabel(texts).field, 6);
    texts[6] = QStringLiteral("15");
    texts[7] = QStringLiteral("21");
    EXPECT_EQ(checkLabel(texts).message, 49);
    EXPECT_EQ(checkLabel(texts).field, 7);
    texts[7] = QStringLiteral("20");
    EXPECT_TRUE(checkLabel(texts).ok());
    texts[6] = QStringLiteral("1.5");
    EXPECT_EQ(checkLabel(texts).message, 49);
}

TEST(LabelFields, CommaBlanksAndName)
{
    auto texts = labelTexts();
    texts[1] = QStringLiteral("12,5");
    QString name = QStringLiteral(" A4 ");
    LabelValues v;
    ASSERT_TRUE(CheckLabelFields(texts, name, v).ok());
    EXPECT_EQ(v.B, 12.5);
    EXPECT_EQ(v.M, 7);
    EXPECT_EQ(v.N, 3);
    texts = labelTexts();
    texts[7] = QStringLiteral("  ");
    texts[0] = QStringLiteral("x");
    EXPECT_EQ(checkLabel(texts).message, 48);
    EXPECT_EQ(checkLabel(texts).field, 7);
    EXPECT_EQ(checkLabel(labelTexts(), QString()).message, 50);
}

TEST(SizeGeometry, AddressAndReturnAreasAndLabelRectangles)
{
    EnvelopeSize e;
    e.SetValues({220, 110, 90, 20, 15, 40, 70, 10, 12, 30});
    EXPECT_EQ(e.AddressArea(), QRectF(QPointF(110, 55), QPointF(200, 95)));
    EXPECT_EQ(e.ReturnArea(), QRectF(QPointF(10, 12), QPointF(80, 42)));

    LabelSize l;
    l.A = 7.2; l.B = 63.5; l.C = 2.5; l.D = 15.15; l.E = 38.1; l.F = 1; l.M = 7; l.N = 3;
    EXPECT_EQ(l.LabelRect(0), QRectF(7.2, 15.15, 63.5, 38.1));
    const QRectF fifth = l.LabelRect(4); // row 1, column 1
    EXPECT_DOUBLE_EQ(fifth.left(), 7.2 + 66);
    EXPECT_DOUBLE_EQ(fifth.top(), 15.15 + 39.1);
    EXPECT_NEAR(l.SheetSize().width(), 2 * 2.5 + 3 * 63.5 + 2 * 7.2, 1e-9);
    EXPECT_NEAR(l.SheetSize().height(), 6 * 1 + 7 * 38.1 + 2 * 15.15, 1e-9);
}

TEST(SizeStorage, NewSizeTakesTheNextIdentifier)
{
    TempDatabase t;
    MessageRecorder rec;
    const std::int32_t next = idsCounter(t.db(), true);
    EnvelopeSize e;
    e.name = QStringLiteral("O'Brien's envelope");
    e.SetValues({220, 110, 90, 20, 15, 40, 70, 10, 10, 30});
    ASSERT_TRUE(SaveEnvelopeSize(t.db(), e, true));
    EXPECT_EQ(e.id, next);
    EXPECT_EQ(idsCounter(t.db(), true), next + 1);
    EXPECT_EQ(t.db().TransactionDepth(), 0);
    EXPECT_TRUE(EnvelopeSizeNameExists(t.db(), QStringLiteral("O'Brien's envelope")));
    EXPECT_TRUE(EnvelopeSizeNameExists(t.db(), QStringLiteral("o'brien's ENVELOPE")));
    EXPECT_FALSE(EnvelopeSizeNameExists(t.db(), QStringLiteral("O'Brien")));
    EXPECT_TRUE(rec.Empty());

    e.C = 95;
    e.name = QStringLiteral("Renamed");
    ASSERT_TRUE(SaveEnvelopeSize(t.db(), e, false));
    const auto rows = ReadEnvelopeSizes(t.db(), SqlFormat(QStringLiteral("SELECT * FROM ENVSIZE WHERE ID_ENVSIZE_ENVSIZE = %d"), e.id));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, QStringLiteral("Renamed"));
    EXPECT_EQ(rows[0].C, 95);
    EXPECT_EQ(idsCounter(t.db(), true), next + 1);
}

TEST(SizeStorage, FailedSaveWritesNothing)
{
    TempDatabase t;
    MessageRecorder rec;
    t.db().ExecuteRaw(QStringLiteral("DELETE FROM IDS"));
    const int before = countRows(t.db(), QStringLiteral("LABSIZE"));
    LabelSize l;
    l.name = QStringLiteral("Broken");
    l.B = 10; l.E = 10; l.M = 1; l.N = 1;
    EXPECT_FALSE(SaveLabelSize(t.db(), l, true));
    EXPECT_EQ(rec.OnlyId(), 8);
    EXPECT_EQ(countRows(t.db(), QStringLiteral("LABSIZE")), before);
    EXPECT_EQ(t.db().TransactionDepth(), 0);
}

TEST(SizeStorage, DeletingASizeDeletesItsCalibrations)
{
    TempDatabase t;
    MessageRecorder rec;
    EnvelopeSize e;
    e.name = QStringLiteral("Doomed");
    e.SetValues({220, 110, 90, 20, 15, 40, 70, 10, 10, 30});
    ASSERT_TRUE(SaveEnvelopeSize(t.db(), e, true));
    EnvelopeSize other = e;
    other.name = QStringLiteral("Kept");
    ASSERT_TRUE(SaveEnvelopeSize(t.db(), other, true));
    InsertCalibration(t.db(), 900, e.id, -1, 1, 2, false, false);
    InsertCalibration(t.db(), 901, e.id, -1, 3, 4, false, true);
    InsertCalibration(t.db(), 902, other.id, -1, 5, 6, false, false);
    const int envelopes = countRows(t.db(), QStringLiteral("ENVSIZE"));

    ASSERT_TRUE(DeleteEnvelopeSize(t.db(), e.id));
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(countRows(t.db(), QStringLiteral("ENVSIZE")), envelopes - 1);
    EXPECT_EQ(CountCalibrations(t.db(), SqlFormat(QStringLiteral("SELECT * FROM KALIBRACE WHERE ID_ENVSIZE = %d"), e.id)), 0);
    EXPECT_EQ(CountCalibrations(t.db(), SqlFormat(QStringLiteral("SELECT * FROM KALIBRACE WHERE ID_ENVSIZE = %d"), other.id)), 1);
    EXPECT_EQ(CountCalibrations(t.db(), QStringLiteral("SELECT * FROM KALIBRACE WHERE DEFAULT")), 1);
}

TEST(SizeStorage, DeletingALabelSizeDeletesItsCalibrationsOnly)
{
    TempDatabase t;
    MessageRecorder rec;
    const auto labels = ReadLabelSizes(t.db(), QStringLiteral("SELECT * FROM LABSIZE ORDER BY NAME"));
    ASSERT_GE(labels.size(), 2u);
    InsertCalibration(t.db(), 900, -1, labels[0].id, 1, 2, false, false);
    InsertCalibration(t.db(), 901, -1, labels[0].id, 1, 2, false, false);
    InsertCalibration(t.db(), 902, -1, labels[1].id, 1, 2, false, false);
    ASSERT_TRUE(DeleteLabelSize(t.db(), labels[0].id));
    EXPECT_EQ(CountCalibrations(t.db(), QStringLiteral("SELECT * FROM KALIBRACE")), 2); // default + labels[1]
    EXPECT_EQ(countRows(t.db(), QStringLiteral("LABSIZE")), int(labels.size()) - 1);
    // A size deleted meanwhile: message 8 and nothing changes.
    EXPECT_FALSE(DeleteLabelSize(t.db(), labels[0].id));
    EXPECT_EQ(rec.OnlyId(), 8);
    EXPECT_EQ(CountCalibrations(t.db(), QStringLiteral("SELECT * FROM KALIBRACE")), 2);
}

TEST(LabelPaper, NewDatabasesSeedEachSheetWithItsPaper)
{
    TempDatabase t;
    const auto sheets = ReadLabelSizes(t.db(), QStringLiteral("SELECT * FROM LABSIZE"));
    ASSERT_FALSE(sheets.empty());
    for (const LabelSize &s : sheets) {
        const int paper = LabelPaperIndex(s.paperWidth, s.paperHeight);
        // The US sheets (Avery 4-digit part numbers 5xxx) are on Letter, the others on A4.
        EXPECT_EQ(paper, s.name.startsWith(QLatin1String("Avery 5")) ? 1 : 0) << s.name.toStdString();
        // Every label of the sheet lies on its paper.
        const QRectF last = s.LabelRect(s.M * s.N - 1);
        EXPECT_LE(last.right(), s.paperWidth + 1e-9) << s.name.toStdString();
        EXPECT_LE(last.bottom(), s.paperHeight + 1e-9) << s.name.toStdString();
    }
    EXPECT_EQ(sheets.front().PageSize(true), QSizeF(sheets.front().paperHeight, sheets.front().paperWidth));
}

TEST(LabelPaper, OlderFilesGetThePaperColumnsOnOpen)
{
    TempDatabase t;
    const QString path = t.path();
    // A file of the earlier layout: LABSIZE without the paper columns.
    t.db().ExecuteRaw(QStringLiteral(
        "DELETE FROM LABSIZE;"
        "ALTER TABLE LABSIZE DROP COLUMN PAPERW; ALTER TABLE LABSIZE DROP COLUMN PAPERH;"
        "INSERT INTO LABSIZE VALUES (1, 'a4', 7.2, 63.5, 2.5, 15.15, 38.1, 0, 7, 3);"
        "INSERT INTO LABSIZE VALUES (2, 'a4 across', 5, 70, 0, 10, 30, 0, 6, 4);"
        "INSERT INTO LABSIZE VALUES (3, 'wide', 10, 95, 5, 5, 90, 0, 2, 3);"
        "INSERT INTO LABSIZE VALUES (4, 'single', 2, 80, 0, 3, 40, 0, 1, 1);"));
    t.db().Close();
    CDatabase db;
    ASSERT_NO_THROW(db.Open(path));
    const auto sheets = ReadLabelSizes(db, QStringLiteral("SELECT * FROM LABSIZE ORDER BY ID_LABSIZE_LABSIZE"));
    ASSERT_EQ(sheets.size(), 4u);
    EXPECT_EQ(QSizeF(sheets[0].paperWidth, sheets[0].paperHeight), QSizeF(210, 297));
    // 285 x 190 mm of labels fit on A4 turned: the paper is A4.
    EXPECT_EQ(QSizeF(sheets[1].paperWidth, sheets[1].paperHeight), QSizeF(210, 297));
    // Larger than A4: the labels plus margins equal to the left and top ones, narrower side first.
    EXPECT_EQ(QSizeF(sheets[2].paperWidth, sheets[2].paperHeight), QSizeF(190, 315));
    EXPECT_EQ(QSizeF(sheets[3].paperWidth, sheets[3].paperHeight), QSizeF(210, 297));
    // The columns follow N, the earlier ones keep their places.
    sqlite3_stmt *stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db.Handle(), "SELECT * FROM LABSIZE", -1, &stmt, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_column_count(stmt), 12);
    EXPECT_STREQ(sqlite3_column_name(stmt, 9), "N");
    EXPECT_STREQ(sqlite3_column_name(stmt, 10), "PAPERW");
    EXPECT_STREQ(sqlite3_column_name(stmt, 11), "PAPERH");
    sqlite3_finalize(stmt);
    db.Close();
    // A second open changes nothing.
    ASSERT_NO_THROW(db.Open(path));
    EXPECT_EQ(ReadLabelSizes(db, QStringLiteral("SELECT * FROM LABSIZE")).size(), 4u);
}

TEST(LabelPaper, CustomPaperFields)
{
    QString w = QStringLiteral(" 195,5 "), h = QStringLiteral("300");
    double width = 0, height = 0;
    EXPECT_TRUE(CheckLabelPaperFields(w, h, width, height).ok());
    EXPECT_EQ(width, 195.5);
    EXPECT_EQ(height, 300);
    QString zero = QStringLiteral("0");
    const SizeCheck c = CheckLabelPaperFields(w, zero, width, height);
    EXPECT_EQ(c.message, 49);
    EXPECT_EQ(c.field, kPaperHeightField);
    QString empty;
    EXPECT_EQ(CheckLabelPaperFields(empty, h, width, height).field, kPaperWidthField);
}
