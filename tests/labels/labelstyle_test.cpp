// Label styles: the defaults of a new style, the field checks 67–70,
// saving, editing and deleting, and the style dialogs.
#include "fontrow.h"
#include "labelstyle.h"
#include "labelstyledialog.h"
#include "labeltest.h"
#include "recordsets.h"
#include "sqlformat.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

std::vector<LabelStyle> stylesNamed(CDatabase &db, const QString &name)
{
    return ReadLabelStyles(db, SqlFormat(QStringLiteral("SELECT * FROM LABSTYLE WHERE LABSTYLE_NAME = '%s'"), name));
}

struct Fields {
    QString x = QStringLiteral("10"), y = QStringLiteral("10"), border = QStringLiteral("3"), name = QStringLiteral("S");
    bool frame = true;
};

LabelStyleCheck check(Fields f, LabelStyle *out = nullptr)
{
    LabelStyle s = DefaultLabelStyle();
    const LabelStyleCheck c = CheckLabelStyleFields(f.x, f.y, f.border, f.name, f.frame, s);
    if (out)
        *out = s;
    return c;
}

} // namespace

TEST(LabelStyle, DefaultsOfANewStyle)
{
    const LabelStyle s = DefaultLabelStyle();
    EXPECT_DOUBLE_EQ(s.frameOffset, 3.0);
    EXPECT_DOUBLE_EQ(s.addressX, 10.0);
    EXPECT_DOUBLE_EQ(s.addressY, 10.0);
    EXPECT_TRUE(s.printFrame);
    EXPECT_FALSE(s.joinZip);
    EXPECT_EQ(s.horizontal, 0);
    EXPECT_EQ(s.vertical, 0);
    for (const FontSpec &f : s.fonts) {
        EXPECT_EQ(f.lfFaceName, QStringLiteral("Times New Roman"));
        EXPECT_EQ(f.lfHeight, 120);
        EXPECT_EQ(f.lfWeight, 0);
        EXPECT_EQ(f.lfCharSet, 1);
        EXPECT_FALSE(f.lfItalic || f.lfUnderline || f.lfStrikeOut);
        EXPECT_EQ(f.color, 0u);
    }
}

TEST(LabelStyle, FieldChecksInOrder)
{
    Fields f;
    f.x = QStringLiteral("  ");
    EXPECT_EQ(check(f).message, 67);
    EXPECT_EQ(check(f).field, LabelStyleField::AddressX);
    f = {};
    f.y.clear();
    EXPECT_EQ(check(f).field, LabelStyleField::AddressY);
    f = {};
    f.border.clear();
    EXPECT_EQ(check(f).message, 67);
    EXPECT_EQ(check(f).field, LabelStyleField::Border);
    // Without a border the empty field is fine and the offset is 0.
    f.frame = false;
    LabelStyle s;
    EXPECT_TRUE(check(f, &s).ok());
    EXPECT_DOUBLE_EQ(s.frameOffset, 0.0);
    EXPECT_FALSE(s.printFrame);

    f = {};
    f.x = QStringLiteral("100");
    EXPECT_TRUE(check(f).ok());
    f.x = QStringLiteral("100.01");
    EXPECT_EQ(check(f).message, 68);
    f.x = QStringLiteral("-1");
    EXPECT_EQ(check(f).message, 68);
    f = {};
    f.y = QStringLiteral("abc");
    EXPECT_EQ(check(f).message, 68);
    EXPECT_EQ(check(f).field, LabelStyleField::AddressY);
    f = {};
    f.border = QStringLiteral("101");
    EXPECT_EQ(check(f).field, LabelStyleField::Border);
    f = {};
    f.name = QStringLiteral("   ");
    EXPECT_EQ(check(f).message, 69);
    // An empty margin is found before an empty name.
    f.x.clear();
    EXPECT_EQ(check(f).message, 67);

    f = {};
    f.x = QStringLiteral(" 12,5 ");
    f.name = QStringLiteral("  Wide  ");
    EXPECT_TRUE(check(f, &s).ok());
    EXPECT_DOUBLE_EQ(s.addressX, 12.5);
    EXPECT_EQ(s.name, QStringLiteral("Wide"));
}

TEST(LabelStyle, SaveEditDeleteAndTheLabelPair)
{
    TempDatabase t;
    MessageRecorder rec;
    LabelStyle s = DefaultLabelStyle();
    s.name = QStringLiteral("Mine");
    s.fonts[LABEL_ZIP].lfWeight = 700;
    ASSERT_TRUE(SaveLabelStyle(t.db(), s, true));
    EXPECT_GT(s.id, 0);
    EXPECT_TRUE(LabelStyleNameExists(t.db(), QStringLiteral("mine")));
    auto rows = stylesNamed(t.db(), QStringLiteral("Mine"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], s);

    s.joinZip = true;
    s.vertical = 2;
    ASSERT_TRUE(SaveLabelStyle(t.db(), s, false));
    rows = stylesNamed(t.db(), QStringLiteral("Mine"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].joinZip);
    EXPECT_EQ(rows[0].vertical, 2);

    EXPECT_EQ(ReadLabelPair(t.db()).size, -1);
    ASSERT_TRUE(WriteLabelPair(t.db(), {3, s.id}));
    ASSERT_TRUE(WriteLabelPair(t.db(), {4, s.id}));
    CSetLabpair pairs(&t.db());
    pairs.Open(QStringLiteral("SELECT * FROM LABPAIR"));
    EXPECT_EQ(pairs.GetRecordCount(), 1);
    EXPECT_EQ(ReadLabelPair(t.db()).size, 4);

    ASSERT_TRUE(DeleteLabelStyle(t.db(), s.id));
    EXPECT_TRUE(stylesNamed(t.db(), QStringLiteral("Mine")).empty());
    // The pair naming it stays.
    EXPECT_EQ(ReadLabelPair(t.db()).style, s.id);
    EXPECT_TRUE(rec.Empty());
}

TEST(LabelStyleDialog, NewStyleWithOnlyANameSavesTheDefaults)
{
    TempDatabase t;
    MessageRecorder rec;
    LabelStyleDialog d(nullptr, t.db());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Setting label style"));
    EXPECT_EQ(d.AddressXField()->text(), QStringLiteral("10.00"));
    EXPECT_EQ(d.BorderField()->text(), QStringLiteral("3.00"));
    EXPECT_EQ(d.Font(LABEL_NAME)->DescriptionField()->text(), QStringLiteral("Times New Roman, 12pt"));
    d.NameField()->setText(QStringLiteral("Plain"));
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(rec.Empty());
    const auto rows = stylesNamed(t.db(), QStringLiteral("Plain"));
    ASSERT_EQ(rows.size(), 1u);
    LabelStyle expected = DefaultLabelStyle();
    expected.id = rows[0].id;
    expected.name = QStringLiteral("Plain");
    EXPECT_EQ(rows[0], expected);
}

TEST(LabelStyleDialog, MessagesFocusTheirFields)
{
    TempDatabase t;
    MessageRecorder rec;
    LabelStyleDialog d(nullptr, t.db());
    d.show();
    QApplication::setActiveWindow(&d);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));

    d.AddressYField()->clear();
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.OnlyId(), 67);
    EXPECT_EQ(d.focusWidget(), d.AddressYField());
    EXPECT_TRUE(d.isVisible());

    rec.Clear();
    d.AddressYField()->setText(QStringLiteral("100.5"));
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.OnlyId(), 68);
    EXPECT_EQ(d.focusWidget(), d.AddressYField());

    rec.Clear();
    d.AddressYField()->setText(QStringLiteral("5"));
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.OnlyId(), 69);
    EXPECT_EQ(d.focusWidget(), d.NameField());

    rec.Clear();
    d.NameField()->setText(QStringLiteral("standard")); // the database's own style, in other letter case
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.OnlyId(), 70);
    EXPECT_EQ(d.focusWidget(), d.NameField());
    EXPECT_TRUE(d.isVisible());
}

TEST(LabelStyleDialog, BorderToggleAndAlignments)
{
    TempDatabase t;
    MessageRecorder rec;
    LabelStyleDialog d(nullptr, t.db());
    d.FrameBox()->setChecked(false);
    EXPECT_FALSE(d.BorderField()->isEnabled());
    EXPECT_TRUE(d.BorderField()->text().isEmpty());
    d.FrameBox()->setChecked(true);
    EXPECT_TRUE(d.BorderField()->isEnabled());
    EXPECT_TRUE(d.BorderField()->text().isEmpty());
    // Printed border, empty field: 67.
    d.NameField()->setText(QStringLiteral("Framed"));
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 67);
    d.FrameBox()->setChecked(false);
    d.Horizontal(1)->setChecked(true);
    d.Vertical(2)->setChecked(true);
    d.JoinZipBox()->setChecked(true);
    rec.Clear();
    d.accept();
    EXPECT_TRUE(rec.Empty());
    const auto rows = stylesNamed(t.db(), QStringLiteral("Framed"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_FALSE(rows[0].printFrame);
    EXPECT_DOUBLE_EQ(rows[0].frameOffset, 0.0);
    EXPECT_EQ(rows[0].horizontal, 1);
    EXPECT_EQ(rows[0].vertical, 2);
    EXPECT_TRUE(rows[0].joinZip);
}

TEST(LabelStyleDialog, FontChangeIsStoredInTenths)
{
    TempDatabase t;
    MessageRecorder rec;
    const auto previous = FontRow::SetChooser([](QWidget *, FontSpec &spec) {
        spec.lfFaceName = QStringLiteral("Arial");
        spec.lfHeight = 105; // 10.5 pt
        spec.lfWeight = 600;
        spec.lfItalic = true;
        spec.color = 0x0000FF;
        return true;
    });
    LabelStyleDialog d(nullptr, t.db());
    QTest::mouseClick(d.Font(LABEL_TOWN)->ChangeButton(), Qt::LeftButton);
    FontRow::SetChooser(previous);
    // 600 is not bold; 10.5 pt shows as 10pt.
    EXPECT_EQ(d.Font(LABEL_TOWN)->DescriptionField()->text(), QStringLiteral("Arial, 10pt, italic"));
    d.NameField()->setText(QStringLiteral("Town in red"));
    d.accept();
    const auto rows = stylesNamed(t.db(), QStringLiteral("Town in red"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].fonts[LABEL_TOWN].lfHeight, 105);
    EXPECT_EQ(rows[0].fonts[LABEL_TOWN].color, 0x0000FFu);
    EXPECT_EQ(rows[0].fonts[LABEL_NAME].lfFaceName, QStringLiteral("Times New Roman"));
}

TEST(LabelStyleDialog, EditKeepsItsOwnNameAndChecksOthers)
{
    TempDatabase t;
    MessageRecorder rec;
    LabelStyle other = DefaultLabelStyle();
    other.name = QStringLiteral("Other");
    ASSERT_TRUE(SaveLabelStyle(t.db(), other, true));
    const LabelStyle standard = stylesNamed(t.db(), QStringLiteral("Standard")).front();

    LabelStyleDialog d(nullptr, t.db(), standard);
    EXPECT_EQ(d.AddressXField()->text(), QStringLiteral("5.00"));
    d.AddressXField()->setText(QStringLiteral("7"));
    d.accept();
    EXPECT_TRUE(rec.Empty());
    EXPECT_DOUBLE_EQ(stylesNamed(t.db(), QStringLiteral("Standard")).front().addressX, 7.0);

    LabelStyleDialog e(nullptr, t.db(), stylesNamed(t.db(), QStringLiteral("Standard")).front());
    e.NameField()->setText(QStringLiteral("Other"));
    e.accept();
    EXPECT_EQ(rec.OnlyId(), 70);
}

TEST(LabelStyleListDialog, ListsInNameOrderAndDeletesAfterTheQuestion)
{
    TempDatabase t;
    MessageRecorder rec;
    for (const char *n : {"beta", "Alpha", "gamma"}) {
        LabelStyle s = DefaultLabelStyle();
        s.name = QString::fromLatin1(n);
        ASSERT_TRUE(SaveLabelStyle(t.db(), s, true));
    }
    LabelStyleListDialog d(nullptr, t.db(), LabelStyleListDialog::Action::Delete);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Deleting label style"));
    EXPECT_EQ(d.OkButton()->text(), QStringLiteral("  Delete"));
    EXPECT_EQ(d.Names(), QStringList({QStringLiteral("Alpha"), QStringLiteral("beta"), QStringLiteral("gamma"),
                                      QStringLiteral("Standard")}));
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 72);
    rec.Clear();
    ASSERT_TRUE(d.SelectName(QStringLiteral("beta")));
    rec.Queue(TVB_NO);
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 73);
    EXPECT_EQ(stylesNamed(t.db(), QStringLiteral("beta")).size(), 1u);
    rec.Clear();
    rec.Queue(TVB_YES);
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 73);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(stylesNamed(t.db(), QStringLiteral("beta")).empty());
    EXPECT_EQ(stylesNamed(t.db(), QStringLiteral("Alpha")).size(), 1u);
}

TEST(LabelStyleListDialog, EditWithoutSelectionAndThenTheStyleDialog)
{
    TempDatabase t;
    MessageRecorder rec;
    LabelStyleListDialog d(nullptr, t.db(), LabelStyleListDialog::Action::Edit);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Modifying label style"));
    d.accept();
    EXPECT_EQ(rec.OnlyId(), 71);
    ASSERT_TRUE(d.SelectName(QStringLiteral("Standard")));
    OnModalDialog([](QWidget *w) {
        auto *style = qobject_cast<LabelStyleDialog *>(w);
        ASSERT_NE(style, nullptr);
        style->JoinZipBox()->setChecked(true);
        style->accept();
    });
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(stylesNamed(t.db(), QStringLiteral("Standard")).front().joinZip);
}

TEST(LabelStyle, SeededStandardStyleHasNoFrameAndNoFrameOffset)
{
    TempDatabase t;
    const auto styles = ReadLabelStyles(t.db(), QStringLiteral("SELECT * FROM LABSTYLE WHERE LABSTYLE_NAME = 'Standard'"));
    ASSERT_EQ(styles.size(), 1u);
    EXPECT_FALSE(styles[0].printFrame);
    EXPECT_EQ(styles[0].frameOffset, 0.0); // as the style dialog stores a style without a frame
}
