// "Import contacts" and "Export contacts" worked through their controls:
// the checks, the folder picker, the CSV layout, progress with Cancel, and
// the two commands.
#include "commands.h"
#include "contactdialogs.h"
#include "exchangecommands.h"
#include "exchangehooks.h"
#include "exchangetestutil.h"
#include "folderwidgets.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(CORVELLE_SOURCE_DIR "/tests/exchange/contacts/") + QString::fromLatin1(name);
}

// Picks `folder` in the "Choosing location" dialog that `choose` opens.
void pickFolder(QPushButton *choose, int folder)
{
    bool seen = false;
    OnModalDialog([&](QWidget *w) {
        auto *picker = qobject_cast<QDialog *>(w);
        ASSERT_NE(picker, nullptr);
        auto *dlg = static_cast<CFolderPickerDlg *>(picker);
        seen = true;
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Choosing location"));
        ASSERT_TRUE(dlg->tree()->SelectFolder(folder));
        dlg->accept();
    });
    QTest::mouseClick(choose, Qt::LeftButton);
    EXPECT_TRUE(seen);
}

} // namespace

TEST(ContactDialogs, ImportChecksPicksTheFolderAndImportsAGoogleCsv)
{
    TempDatabase t;
    const int target = AddFolder(t.db(), RootFolder(t.db()), QStringLiteral("Google"));
    int reloads = 0;
    SetAddressBookChangedHandler([&] { ++reloads; return true; });
    ContactImportDialog dialog(t.db());
    dialog.show();
    EXPECT_EQ(dialog.FolderEdit()->text(), QStringLiteral("Addresses"));
    MessageRecorder rec;
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59436});
    rec.Clear();
    dialog.FileEdit()->setText(t.dir() + QStringLiteral("/list.txt"));
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59452});
    EXPECT_TRUE(dialog.isVisible());

    // A Google file: its layout is named and the column lists stay closed
    // until the user maps the columns.
    rec.Clear();
    dialog.FileEdit()->setText(fixture("google.csv"));
    dialog.InspectFile();
    EXPECT_TRUE(dialog.LayoutLabel()->text().contains(QStringLiteral("Google Contacts")));
    EXPECT_FALSE(dialog.ColumnList(IMP_NAME)->isEnabled());
    QTest::mouseClick(dialog.OwnMapping(), Qt::LeftButton, {}, QPoint(6, dialog.OwnMapping()->height() / 2));
    EXPECT_TRUE(dialog.ColumnList(IMP_NAME)->isEnabled());
    EXPECT_TRUE(dialog.ColumnList(IMP_NAME)->currentText().startsWith(QStringLiteral("A: First Name")));
    // The lists start at the columns the layout reads, not at A to H; Google's
    // address columns lie beyond Z and stay empty.
    EXPECT_EQ(dialog.ColumnList(IMP_NOTE)->currentText(), QStringLiteral("O: Notes"));
    EXPECT_EQ(dialog.ColumnList(IMP_EMAIL)->currentText(), QStringLiteral("S: E-mail 1 - Value"));
    EXPECT_EQ(dialog.ColumnList(IMP_PHONE)->currentText(), QStringLiteral("W: Phone 1 - Value"));
    EXPECT_EQ(dialog.ColumnList(IMP_STREET)->currentText(), QString());
    EXPECT_EQ(dialog.ColumnList(IMP_TOWN)->currentText(), QString());
    QTest::mouseClick(dialog.OwnMapping(), Qt::LeftButton, {}, QPoint(6, dialog.OwnMapping()->height() / 2));

    pickFolder(dialog.ChooseButton(), target);
    EXPECT_EQ(dialog.FolderEdit()->text(), QStringLiteral("Addresses/Google"));
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59446});
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(CountAddresses(t.db(), target), 2);
    EXPECT_EQ(reloads, 1);
    SetAddressBookChangedHandler({});
}

// A file name typed key by key is looked at once the typing pauses; leaving
// the field with the same name keeps the columns the user mapped.
TEST(ContactDialogs, TypedFileNameIsRecognisedAndTheMappingKept)
{
    TempDatabase t;
    ContactImportDialog dialog(t.db());
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    dialog.FileEdit()->setFocus();
    QTest::keyClicks(dialog.FileEdit(), fixture("google.csv"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.LayoutLabel()->text().contains(QStringLiteral("Google Contacts")); }, 3000));
    QTest::mouseClick(dialog.OwnMapping(), Qt::LeftButton, {}, QPoint(6, dialog.OwnMapping()->height() / 2));
    QComboBox *town = dialog.ColumnList(IMP_TOWN);
    ASSERT_TRUE(town->isEnabled());
    town->setCurrentIndex(town->count() - 1);
    const QString chosen = town->currentText();
    dialog.FileEdit()->setFocus();
    QTest::keyClick(dialog.FileEdit(), Qt::Key_Tab);
    QTest::qWait(600);
    EXPECT_EQ(town->currentText(), chosen);
    EXPECT_TRUE(dialog.OwnMapping()->isChecked());
}

TEST(ContactDialogs, CancelDuringTheImportKeepsTheDatabase)
{
    TempDatabase t;
    const QString file = t.dir() + QStringLiteral("/many.vcf");
    QByteArray text;
    for (int i = 0; i < 5000; ++i)
        text += "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:P" + QByteArray::number(i) + "\r\nEND:VCARD\r\n";
    WriteAll(file, text);
    const QStringList before = DumpAll(t.db());
    ContactImportDialog dialog(t.db());
    dialog.show();
    dialog.FileEdit()->setText(file);
    int calls = 0;
    dialog.onProgress = [&] {
        EXPECT_TRUE(dialog.Running());
        EXPECT_FALSE(dialog.OkButton()->isEnabled());
        if (++calls == 3)
            QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    };
    MessageRecorder rec;
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59450});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_EQ(DumpAll(t.db()), before);
    QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(ContactDialogs, ExportFollowsTheFormatAndCancels)
{
    TempDatabase t;
    const int root = RootFolder(t.db());
    const int sub = AddFolder(t.db(), root, QStringLiteral("Sub"));
    for (int i = 0; i < 600; ++i)
        AddAddress(t.db(), i % 2 ? sub : root,
                   TestAddress{QStringLiteral("Name %1").arg(i), {}, QStringLiteral("Town"), QStringLiteral("1"),
                               {}, {}, {}, {}});
    ContactExportDialog dialog(t.db());
    dialog.show();
    EXPECT_EQ(dialog.FileEdit()->text(), t.dir() + QStringLiteral("/Export/contacts.vcf"));
    dialog.FormatList()->setCurrentIndex(2);
    EXPECT_EQ(dialog.FileEdit()->text(), t.dir() + QStringLiteral("/Export/contacts.csv"));
    MessageRecorder rec;
    dialog.FileEdit()->setText(t.dir() + QStringLiteral("/out.vcf"));
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59452}); // CSV chosen, .vcf typed
    rec.Clear();
    dialog.FileEdit()->setText(t.dir() + QStringLiteral("/out.csv"));
    dialog.onProgress = [&] { QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton); };
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59454});
    EXPECT_FALSE(QFileInfo::exists(t.dir() + QStringLiteral("/out.csv")));
    EXPECT_TRUE(dialog.isVisible());
    rec.Clear();
    dialog.onProgress = nullptr;
    dialog.Subfolders()->setChecked(false);
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59453});
    EXPECT_TRUE(rec.Records()[0].text.contains(QStringLiteral("Exported addresses: 300")));
    EXPECT_EQ(ReadAll(t.dir() + QStringLiteral("/out.csv")).count("\r\n"), 301);
}

TEST(ContactDialogs, CommandsAreRegistered)
{
    TempDatabase t;
    RegisterExchangeCommands();
    for (int id : {32865, 32866}) {
        const CommandHandler *h = FindCommand(id);
        ASSERT_NE(h, nullptr) << id;
        EXPECT_TRUE(h->enabled());
    }
    bool opened = false;
    OnModalDialog([&](QWidget *w) {
        opened = w->objectName() == QStringLiteral("ContactImportDialog");
        static_cast<QDialog *>(w)->reject();
    });
    FindCommand(32865)->run(nullptr);
    EXPECT_TRUE(opened);
}
