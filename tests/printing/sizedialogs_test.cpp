#include "calibration.h"
#include "printingtest.h"
#include "sizedialogs.h"
#include "sizelistdialog.h"
#include "sqlformat.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const char *const kDl = "DL (220 x 110 mm)";

template <typename D> void showActive(D &dialog)
{
    dialog.show();
    dialog.activateWindow();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
}

void fillEnvelope(EnvelopeSizeDialog &d, const QStringList &values, const QString &name)
{
    for (int i = 0; i < 10; ++i)
        d.Field(i)->setText(values.value(i));
    d.NameField()->setText(name);
}

QStringList envelopeValues()
{
    return {QStringLiteral("220"), QStringLiteral("110"), QStringLiteral("90"), QStringLiteral("20"),
            QStringLiteral("15"),  QStringLiteral("40"),  QStringLiteral("70"), QStringLiteral("10"),
            QStringLiteral("10"),  QStringLiteral("30")};
}

void fillLabel(LabelSizeDialog &d, const QStringList &values, const QString &name)
{
    for (int i = 0; i < 8; ++i)
        d.Field(i)->setText(values.value(i));
    d.NameField()->setText(name);
}

QStringList labelValues()
{
    return {QStringLiteral("7.2"),  QStringLiteral("63.5"), QStringLiteral("2.5"), QStringLiteral("15.15"),
            QStringLiteral("38.1"), QStringLiteral("0"),    QStringLiteral("7"),   QStringLiteral("3")};
}

EnvelopeSize envelopeNamed(CDatabase &db, const QString &name)
{
    const auto rows = ReadEnvelopeSizes(db, SqlFormat(QStringLiteral("SELECT * FROM ENVSIZE WHERE NAME = '%s'"), name));
    return rows.empty() ? EnvelopeSize{} : rows.front();
}

LabelSize labelNamed(CDatabase &db, const QString &name)
{
    const auto rows = ReadLabelSizes(db, SqlFormat(QStringLiteral("SELECT * FROM LABSIZE WHERE NAME = '%s'"), name));
    return rows.empty() ? LabelSize{} : rows.front();
}

} // namespace

TEST(EnvelopeSizeDialog, EveryMessageFocusesItsField)
{
    TempDatabase t;
    MessageRecorder rec;
    EnvelopeSizeDialog d(nullptr, t.db());
    showActive(d);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Setting envelope dimensions"));

    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.OnlyId(), 54);
    EXPECT_EQ(d.focusWidget(), d.Field(0));
    EXPECT_TRUE(d.isVisible());

    QStringList values = envelopeValues();
    values[4] = QStringLiteral("  ");
    values[1] = QStringLiteral("abc"); // invalid, but the empty E is reported first
    fillEnvelope(d, values, QString());
    rec.Clear();
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.OnlyId(), 54);
    EXPECT_EQ(d.focusWidget(), d.Field(4));

    values[4] = QStringLiteral("0"); // E = 0 is invalid
    fillEnvelope(d, values, QString());
    rec.Clear();
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 55);
    EXPECT_EQ(d.focusWidget(), d.Field(1));

    values[1] = QStringLiteral("110");
    fillEnvelope(d, values, QString());
    rec.Clear();
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 55);
    EXPECT_EQ(d.focusWidget(), d.Field(4));

    values[4] = QStringLiteral("15");
    fillEnvelope(d, values, QStringLiteral("   "));
    rec.Clear();
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 56);
    EXPECT_EQ(d.focusWidget(), d.NameField());

    fillEnvelope(d, values, QString::fromLatin1(kDl));
    rec.Clear();
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 57);
    EXPECT_EQ(rec.Records()[0].text, QStringLiteral("There already exist envelope dimensions with the same name.\\nPlease enter another one."));
    EXPECT_EQ(d.focusWidget(), d.NameField());
    EXPECT_EQ(d.result(), 0);
    EXPECT_TRUE(d.isVisible());
}

TEST(EnvelopeSizeDialog, CommaIsADecimalPointAndTheSizeIsSaved)
{
    TempDatabase t;
    MessageRecorder rec;
    EnvelopeSizeDialog d(nullptr, t.db());
    showActive(d);
    QStringList values = envelopeValues();
    values[0].clear();
    fillEnvelope(d, values, QString());
    QTest::keyClicks(d.Field(0), QStringLiteral("12,5"));
    QTest::keyClicks(d.NameField(), QStringLiteral("  Narrow  "));
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    const EnvelopeSize saved = envelopeNamed(t.db(), QStringLiteral("Narrow"));
    EXPECT_EQ(saved.id, d.Size().id);
    EXPECT_EQ(saved.A, 12.5);
    EXPECT_EQ(saved.L, 30);
}

TEST(EnvelopeSizeDialog, EditingKeepsOrChangesTheName)
{
    TempDatabase t;
    MessageRecorder rec;
    const EnvelopeSize dl = envelopeNamed(t.db(), QString::fromLatin1(kDl));
    ASSERT_GT(dl.id, 0);
    {
        EnvelopeSizeDialog d(nullptr, t.db(), &dl);
        EXPECT_EQ(d.Field(0)->text(), QStringLiteral("220.00"));
        EXPECT_EQ(d.Field(3)->text(), QStringLiteral("20.00"));
        EXPECT_EQ(d.NameField()->text(), QString::fromLatin1(kDl));
        d.Field(2)->setText(QStringLiteral("95.5"));
        d.accept(); // same name: no duplicate
        EXPECT_TRUE(rec.Empty());
        EXPECT_EQ(d.result(), int(QDialog::Accepted));
        EXPECT_EQ(envelopeNamed(t.db(), QString::fromLatin1(kDl)).C, 95.5);
    }
    {
        EnvelopeSizeDialog d(nullptr, t.db(), &dl);
        showActive(d);
        d.NameField()->setText(QStringLiteral("C5 (229 x 162 mm)"));
        d.accept();
        EXPECT_EQ(rec.OnlyId(), 57);
        EXPECT_EQ(d.focusWidget(), d.NameField());
    }
}

TEST(LabelSizeDialog, EveryMessageFocusesItsField)
{
    TempDatabase t;
    MessageRecorder rec;
    LabelSizeDialog d(nullptr, t.db());
    showActive(d);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Setting label dimensions"));
    EXPECT_EQ(d.Field(0)->maxLength(), 8);
    EXPECT_EQ(d.NameField()->maxLength(), 64);

    d.accept();
    EXPECT_EQ(rec.OnlyId(), 48);
    EXPECT_EQ(d.focusWidget(), d.Field(0));

    QStringList values = labelValues();
    values[7] = QStringLiteral(" ");
    fillLabel(d, values, QString());
    rec.Clear();
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 48);
    EXPECT_EQ(d.focusWidget(), d.Field(7));

    values[7] = QStringLiteral("3");
    values[6] = QStringLiteral("16");
    fillLabel(d, values, QString());
    rec.Clear();
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 49);
    EXPECT_EQ(d.focusWidget(), d.Field(6));

    values[6] = QStringLiteral("15");
    values[4] = QStringLiteral("0");
    fillLabel(d, values, QString());
    rec.Clear();
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 49);
    EXPECT_EQ(d.focusWidget(), d.Field(4));

    values[4] = QStringLiteral("38.1");
    fillLabel(d, values, QString());
    rec.Clear();
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 50);
    EXPECT_EQ(d.focusWidget(), d.NameField());

    fillLabel(d, values, QStringLiteral("Avery L7160 Address labels 63.5 x 38.1 mm, 21 per sheet"));
    rec.Clear();
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 51);
    EXPECT_EQ(d.focusWidget(), d.NameField());

    values[1] = QStringLiteral("12,5");
    fillLabel(d, values, QStringLiteral("Fifteen by three"));
    rec.Clear();
    d.accept();
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    const LabelSize saved = labelNamed(t.db(), QStringLiteral("Fifteen by three"));
    EXPECT_EQ(saved.B, 12.5);
    EXPECT_EQ(saved.M, 15);
    EXPECT_EQ(saved.N, 3);
}

TEST(LabelSizeDialog, EditShowsStoredValues)
{
    TempDatabase t;
    MessageRecorder rec;
    const LabelSize l = labelNamed(t.db(), QStringLiteral("Avery L7160 Address labels 63.5 x 38.1 mm, 21 per sheet"));
    LabelSizeDialog d(nullptr, t.db(), &l);
    EXPECT_EQ(d.Field(0)->text(), QStringLiteral("7.21"));
    EXPECT_EQ(d.Field(3)->text(), QStringLiteral("15.15"));
    EXPECT_EQ(d.Field(6)->text(), QStringLiteral("7"));
    EXPECT_EQ(d.Field(7)->text(), QStringLiteral("3"));
    d.accept();
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    d.NameField()->setText(QStringLiteral("Avery Zweckform 3474 Labels 70 x 37 mm, 24 per sheet"));
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 51);
}

TEST(SizeLists, NamesInAscendingOrderAndTheMessagesWithoutSelection)
{
    TempDatabase t;
    MessageRecorder rec;
    const struct {
        SizeListDialog::Sizes sizes;
        SizeListDialog::Action action;
        int message;
        const char *title;
        const char *ok;
    } cases[] = {
        {SizeListDialog::Sizes::Envelope, SizeListDialog::Action::Edit, 58, "Modifying envelope dimensions", "OK"},
        {SizeListDialog::Sizes::Envelope, SizeListDialog::Action::Delete, 59, "Deleting envelope dimensions", "Delete"},
        {SizeListDialog::Sizes::Label, SizeListDialog::Action::Edit, 53, "Modifying label dimensions", "OK"},
        {SizeListDialog::Sizes::Label, SizeListDialog::Action::Delete, 52, "Deleting label dimensions", "  Delete"},
    };
    for (const auto &c : cases) {
        SizeListDialog d(nullptr, t.db(), c.sizes, c.action);
        EXPECT_TRUE(d.Loaded());
        EXPECT_EQ(d.windowTitle(), QString::fromLatin1(c.title));
        EXPECT_EQ(d.OkButton()->text(), QString::fromLatin1(c.ok));
        EXPECT_EQ(d.List()->columnWidth(0), 385);
        const QStringList names = d.Names();
        ASSERT_GE(names.size(), 6);
        QStringList sorted = names;
        std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        EXPECT_EQ(names, sorted);
        rec.Clear();
        QTest::mouseClick(d.OkButton(), Qt::LeftButton);
        EXPECT_EQ(rec.OnlyId(), c.message);
        EXPECT_EQ(d.result(), 0);
    }
}

TEST(SizeLists, EmptyTableGivesAnEmptyList)
{
    TempDatabase t;
    MessageRecorder rec;
    t.db().ExecuteRaw(QStringLiteral("DELETE FROM LABSIZE"));
    SizeListDialog d(nullptr, t.db(), SizeListDialog::Sizes::Label, SizeListDialog::Action::Edit);
    EXPECT_EQ(d.List()->rowCount(), 0);
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 53);
}

TEST(SizeLists, DeleteAsksAndDeletesTheSizeWithItsTwoCalibrations)
{
    TempDatabase t;
    MessageRecorder rec;
    const EnvelopeSize dl = envelopeNamed(t.db(), QString::fromLatin1(kDl));
    InsertCalibration(t.db(), 900, dl.id, -1, -3, -4, false, false);
    InsertCalibration(t.db(), 901, dl.id, -1, -5, -6, false, true);
    SizeListDialog d(nullptr, t.db(), SizeListDialog::Sizes::Envelope, SizeListDialog::Action::Delete);
    ASSERT_TRUE(d.SelectName(QString::fromLatin1(kDl)));

    rec.Queue(TVB_NO);
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 60);
    EXPECT_EQ(rec.Records()[0].kind, TVMessageKind::Question);
    EXPECT_EQ(d.result(), 0);
    EXPECT_GT(envelopeNamed(t.db(), QString::fromLatin1(kDl)).id, 0);

    rec.Clear();
    rec.Queue(TVB_YES);
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 60);
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    EXPECT_EQ(envelopeNamed(t.db(), QString::fromLatin1(kDl)).id, 0);
    EXPECT_EQ(CountCalibrations(t.db(), SqlFormat(QStringLiteral("SELECT * FROM KALIBRACE WHERE ID_ENVSIZE = %d"), dl.id)), 0);
    EXPECT_EQ(CountCalibrations(t.db(), QStringLiteral("SELECT * FROM KALIBRACE WHERE DEFAULT")), 1);
}

TEST(SizeLists, LabelDeleteAsksItsOwnQuestion)
{
    TempDatabase t;
    MessageRecorder rec;
    SizeListDialog d(nullptr, t.db(), SizeListDialog::Sizes::Label, SizeListDialog::Action::Delete);
    const QString first = d.Names().front();
    d.List()->selectRow(0);
    rec.Queue(TVB_YES);
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 61);
    EXPECT_EQ(labelNamed(t.db(), first).id, 0);
}

TEST(SizeLists, EditOpensTheSizeDialogAndClosesWithItsResult)
{
    TempDatabase t;
    MessageRecorder rec;
    SizeListDialog d(nullptr, t.db(), SizeListDialog::Sizes::Envelope, SizeListDialog::Action::Edit);
    ASSERT_TRUE(d.SelectName(QString::fromLatin1(kDl)));
    QString shownA;
    OnModalDialog([&](QWidget *w) {
        auto *size = qobject_cast<EnvelopeSizeDialog *>(w);
        ASSERT_NE(size, nullptr);
        shownA = size->Field(0)->text();
        size->Field(0)->setText(QStringLiteral("221"));
        size->accept();
    });
    d.accept();
    EXPECT_EQ(shownA, QStringLiteral("220.00"));
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    EXPECT_EQ(envelopeNamed(t.db(), QString::fromLatin1(kDl)).A, 221);

    SizeListDialog again(nullptr, t.db(), SizeListDialog::Sizes::Label, SizeListDialog::Action::Edit);
    again.List()->selectRow(0);
    OnModalDialog([](QWidget *w) { qobject_cast<QDialog *>(w)->reject(); });
    again.accept();
    EXPECT_EQ(again.result(), int(QDialog::Rejected));
    EXPECT_TRUE(rec.Empty());
}

TEST(EnvelopeSizeDialog, DatabaseErrorsAreReportedAndTheDialogClosesCancelled)
{
    TempDatabase t;
    MessageRecorder rec;
    EnvelopeSizeDialog d(nullptr, t.db());
    fillEnvelope(d, envelopeValues(), QStringLiteral("Lost"));
    // The table is gone: the name check reports message 8 and passes, the
    // save reports message 8 and the dialog closes as cancelled.
    t.db().ExecuteRaw(QStringLiteral("ALTER TABLE ENVSIZE RENAME TO ENVSIZE_AWAY"));
    d.accept();
    EXPECT_EQ(rec.Ids(), (std::vector<int>{8, 8}));
    EXPECT_EQ(d.result(), int(QDialog::Rejected));
    EXPECT_EQ(t.db().TransactionDepth(), 0);
    t.db().ExecuteRaw(QStringLiteral("ALTER TABLE ENVSIZE_AWAY RENAME TO ENVSIZE"));
    EXPECT_EQ(envelopeNamed(t.db(), QStringLiteral("Lost")).id, 0);
    // No identifier was used up.
    CSetIDS ids(&t.db());
    ids.Open(QStringLiteral("SELECT * FROM IDS"));
    const std::int32_t next = ids.m_ID_ENVSIZE_FF;
    ids.Close();
    EnvelopeSizeDialog again(nullptr, t.db());
    fillEnvelope(again, envelopeValues(), QStringLiteral("Found"));
    again.accept();
    EXPECT_EQ(envelopeNamed(t.db(), QStringLiteral("Found")).id, next);
}

TEST(SizeLists, UnreadableListClosesAtOnce)
{
    TempDatabase t;
    MessageRecorder rec;
    t.db().ExecuteRaw(QStringLiteral("ALTER TABLE LABSIZE RENAME TO LABSIZE_AWAY"));
    SizeListDialog d(nullptr, t.db(), SizeListDialog::Sizes::Label, SizeListDialog::Action::Delete);
    EXPECT_EQ(rec.OnlyId(), 8);
    EXPECT_FALSE(d.Loaded());
    EXPECT_EQ(d.exec(), int(QDialog::Rejected));
}

TEST(LabelSizeDialog, PaperIsChosenFromTheListOrGivenAsACustomSize)
{
    TempDatabase t;
    MessageRecorder rec;
    LabelSizeDialog d(nullptr, t.db());
    showActive(d);
    // A new sheet starts on A4; the size fields only take input for a custom paper.
    EXPECT_EQ(d.PaperCombo()->currentIndex(), 0);
    EXPECT_FALSE(d.PaperWidthField()->isEnabled());
    EXPECT_EQ(d.PaperWidthField()->text(), QStringLiteral("210.00"));
    EXPECT_EQ(d.PaperHeightField()->text(), QStringLiteral("297.00"));
    fillLabel(d, labelValues(), QStringLiteral("Letter sheet"));
    d.PaperCombo()->setCurrentIndex(1);
    EXPECT_EQ(d.PaperWidthField()->text(), QStringLiteral("215.90"));
    d.accept();
    EXPECT_TRUE(rec.Empty());
    LabelSize saved = labelNamed(t.db(), QStringLiteral("Letter sheet"));
    EXPECT_EQ(saved.paperWidth, 215.9);
    EXPECT_EQ(saved.paperHeight, 279.4);

    LabelSizeDialog custom(nullptr, t.db());
    showActive(custom);
    fillLabel(custom, labelValues(), QStringLiteral("Custom sheet"));
    custom.PaperCombo()->setCurrentIndex(custom.PaperCombo()->count() - 1);
    ASSERT_TRUE(custom.PaperWidthField()->isEnabled());
    custom.PaperWidthField()->setText(QStringLiteral(" "));
    custom.accept();
    EXPECT_EQ(rec.OnlyId(), 48);
    EXPECT_EQ(custom.focusWidget(), custom.PaperWidthField());
    custom.PaperWidthField()->setText(QStringLiteral("195"));
    custom.PaperHeightField()->setText(QStringLiteral("1000,5"));
    rec.Clear();
    custom.accept();
    EXPECT_EQ(rec.OnlyId(), 49);
    EXPECT_EQ(custom.focusWidget(), custom.PaperHeightField());
    custom.PaperHeightField()->setText(QStringLiteral("300,5"));
    rec.Clear();
    custom.accept();
    EXPECT_TRUE(rec.Empty());
    saved = labelNamed(t.db(), QStringLiteral("Custom sheet"));
    EXPECT_EQ(saved.paperWidth, 195);
    EXPECT_EQ(saved.paperHeight, 300.5);

    // Editing shows the stored paper: a custom one with its fields enabled.
    LabelSizeDialog edit(nullptr, t.db(), &saved);
    EXPECT_EQ(edit.PaperCombo()->currentIndex(), edit.PaperCombo()->count() - 1);
    EXPECT_TRUE(edit.PaperHeightField()->isEnabled());
    EXPECT_EQ(edit.PaperHeightField()->text(), QStringLiteral("300.50"));
}
