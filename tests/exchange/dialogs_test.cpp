// The four dialogs driven through their controls, and the commands.
#include "appcontext.h"
#include "backupdialog.h"
#include "commands.h"
#include "exchangecommands.h"
#include "exchangehooks.h"
#include "exchangetestutil.h"
#include "exportdialog.h"
#include "foldertree.h"
#include "importdialog.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(ExchangeDialogsTest, BackupDialogBacksUpAndClosesWithOk)
{
    TempDatabase t;
    BackupDialog dialog(t.db());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Data backup"));
    EXPECT_EQ(dialog.FileEdit()->text(), t.dir() + QStringLiteral("/Export/envdata.env"));
    EXPECT_TRUE(QFileInfo(t.dir() + QStringLiteral("/Export")).isDir());
    EXPECT_EQ(dialog.ProgressText()->text(), QStringLiteral("0 % done"));
    dialog.show();
    MessageRecorder rec;
    dialog.FileEdit()->setText(QStringLiteral("   "));
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.Ids(), std::vector<int>{111});
    EXPECT_TRUE(dialog.isVisible());
    rec.Clear();
    dialog.FileEdit()->setText(t.dir() + QStringLiteral("/Export/b.env"));
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.Ids(), std::vector<int>{118});
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ProgressText()->text(), QStringLiteral("100 % done"));
    EXPECT_TRUE(QFileInfo::exists(t.dir() + QStringLiteral("/Export/b.env")));
    EXPECT_TRUE(t.db().IsOpen());
}

TEST(ExchangeDialogsTest, CancelDuringRestoreAbortsAndKeepsTheDialogOpen)
{
    TempDatabase t;
    // Enough data for several chunks.
    for (int i = 0; i < 300; ++i)
        AddAddress(t.db(), RootFolder(t.db()),
                   TestAddress{QStringLiteral("Name %1").arg(i), QString(60, u's'), QStringLiteral("Town"),
                               QStringLiteral("1"), {}, QString(100, u'n'), {}, {}});
    MessageRecorder rec;
    {
        BackupDialog backup(t.db());
        backup.show();
        QTest::mouseClick(backup.OkButton(), Qt::LeftButton);
        ASSERT_EQ(rec.Ids(), std::vector<int>{118});
    }
    rec.Clear();
    const QByteArray before = ReadAll(t.path());
    RestoreDialog dialog(t.db());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Data recovery from backup"));
    dialog.show();
    int chunks = 0;
    dialog.onChunk = [&] {
        EXPECT_TRUE(dialog.Running());
        EXPECT_FALSE(dialog.OkButton()->isEnabled());
        EXPECT_FALSE(dialog.BrowseButton()->isEnabled());
        if (++chunks == 2)
            QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    };
    rec.Queue(TVB_YES);
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.Ids(), (std::vector<int>{124, 122}));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_EQ(dialog.LastResult(), OperationResult::StayOpen);
    EXPECT_EQ(ReadAll(t.path()), before);
    EXPECT_TRUE(t.db().IsOpen());
    // Cancel with nothing running closes.
    QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(ExchangeDialogsTest, ExportDialogChecksAndExports)
{
    TempDatabase t;
    AddAddress(t.db(), RootFolder(t.db()),
               TestAddress{QStringLiteral("Jan"), {}, QStringLiteral("Praha"), QStringLiteral("1"), {}, {}, {}, {}});
    ExportDialog dialog(t.db());
    dialog.measure = TextMeasure{[](const QString &s, bool) { return int(s.size()) * 7; }};
    ASSERT_TRUE(dialog.Initialize());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Export to Excel"));
    EXPECT_EQ(dialog.FormatList()->count(), 3);
    EXPECT_EQ(dialog.FormatList()->itemText(0), QStringLiteral("Microsoft Excel 97-2003"));
    EXPECT_EQ(dialog.FormatList()->itemText(2), QStringLiteral("OpenDocument Spreadsheet"));
    EXPECT_EQ(dialog.FileEdit()->text(), t.dir() + QStringLiteral("/Export/export.xls"));
    EXPECT_TRUE(dialog.Subfolders()->isChecked());
    EXPECT_EQ(dialog.Tree()->SelectedFolder(), RootFolder(t.db()));
    dialog.FileEdit()->setText(QStringLiteral("typed.xls"));
    dialog.FormatList()->setCurrentIndex(2);
    EXPECT_EQ(dialog.FileEdit()->text(), t.dir() + QStringLiteral("/Export/export.ods"));
    dialog.FormatList()->setCurrentIndex(1);
    EXPECT_EQ(dialog.FileEdit()->text(), t.dir() + QStringLiteral("/Export/export.xlsx"));
    dialog.show();

    MessageRecorder rec;
    dialog.FileEdit()->setText(QString());
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    dialog.FileEdit()->setText(t.dir() + QStringLiteral("/report.xls"));
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    dialog.FormatList()->setCurrentIndex(0);
    dialog.FileEdit()->setText(t.dir() + QStringLiteral("/report"));
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    dialog.FileEdit()->setText(t.dir() + QStringLiteral("/Report.XLS"));
    dialog.Tree()->clearSelection();
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.Ids(), (std::vector<int>{59411, 59413, 59412, 59426}));
    EXPECT_TRUE(dialog.isVisible());
    rec.Clear();
    dialog.Tree()->SelectTop();
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.Ids(), std::vector<int>{118});
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(DumpWithFreeXL(t.dir() + QStringLiteral("/Report.XLS")).size(), 2);
}

TEST(ExchangeDialogsTest, ImportDialogControlsAndChecks)
{
    TempDatabase t;
    const int sub = AddFolder(t.db(), RootFolder(t.db()), QStringLiteral("Sub"));
    ImportDialog dialog(t.db());
    ASSERT_TRUE(dialog.Initialize());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Import from Excel"));
    EXPECT_FALSE(dialog.Tree()->SelectedFolder());
    EXPECT_TRUE(dialog.Tree()->topLevelItem(0)->isExpanded());
    EXPECT_EQ(dialog.BeginEdit()->text(), QStringLiteral("2"));
    EXPECT_TRUE(dialog.FindAutomatically()->isChecked());
    EXPECT_FALSE(dialog.EndEdit()->isEnabled());
    EXPECT_EQ(dialog.ColumnList(IMP_NAME)->count(), 26);
    EXPECT_EQ(dialog.ColumnList(IMP_STREET)->count(), 27);
    EXPECT_EQ(dialog.ColumnList(IMP_STREET)->itemText(0), QString());
    EXPECT_EQ(dialog.ColumnList(IMP_EMAIL)->currentText(), QStringLiteral("H"));
    dialog.FindAutomatically()->setChecked(false);
    EXPECT_TRUE(dialog.EndEdit()->isEnabled());
    dialog.EndEdit()->setText(QStringLiteral("9"));
    dialog.FindAutomatically()->setChecked(true);
    EXPECT_TRUE(dialog.EndEdit()->text().isEmpty());
    EXPECT_FALSE(dialog.EndEdit()->isEnabled());
    dialog.show();

    MessageRecorder rec;
    dialog.FileEdit()->setText(QStringLiteral("in.csv"));
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    dialog.FileEdit()->setText(t.dir() + QStringLiteral("/in.xls"));
    dialog.ColumnList(IMP_STREET)->setCurrentIndex(1); // A, as Name
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    dialog.ColumnList(IMP_STREET)->setCurrentIndex(0); // not imported
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.Ids(), (std::vector<int>{59440, 59432, 59427}));
    rec.Clear();
    ASSERT_TRUE(dialog.Tree()->SelectFolder(sub));
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59433}); // the file does not exist
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(ExchangeDialogsTest, CommandsAreRegistered)
{
    TempDatabase t;
    RegisterExchangeCommands();
    for (int id : {32814, 32815, 32861, 32862}) {
        const CommandHandler *h = FindCommand(id);
        ASSERT_NE(h, nullptr) << id;
        EXPECT_TRUE(h->run);
        ASSERT_TRUE(h->enabled);
        EXPECT_TRUE(h->enabled());
    }
    t.db().Close();
    EXPECT_FALSE(FindCommand(32814)->enabled());
}
