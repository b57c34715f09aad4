// Timings of the folder operations and the search on a generated book of
// 100,000 addresses in 1,000 folders (or the number of addresses given as
// the first argument): copying a folder of 1,000 addresses with two phones
// and one e-mail each, deleting the copy, and a search that lists 10,000
// addresses. Each figure is given for the database work alone and with the
// panes (or the dialog's list) brought up to date as the window does it.
#include "addresslist.h"
#include "addressrecords.h"
#include "addresstree.h"
#include "datagen.h"
#include "folderops.h"
#include "paneupdates.h"
#include "schema.h"
#include "searchdialog.h"
#include "strings/strings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <cstdio>

namespace {

void report(const char *what, double ms, double goalMs)
{
    std::printf("%-58s %9.2f ms  (goal < %.0f ms) %s\n", what, ms, goalMs, ms < goalMs ? "ok" : "SLOW");
}

double elapsedMs(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TESMAR_AUTOANSWER", "yes");
    QApplication app(argc, argv);
    CorvelleRegisterStrings();
    const long long n = argc > 1 ? std::atoll(argv[1]) : 100000;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("envdb.mdb"));
    CreateNewDatabase(path, false);
    QElapsedTimer gen;
    gen.start();
    GenerateAddressBook(path, DataGenOptions{n, std::max(1LL, n / 100), 42});
    std::printf("generated %lld addresses in %lld folders in %.2f s\n", n, std::max(1LL, n / 100),
                gen.elapsed() / 1000.0);

    CDatabase db;
    db.Open(path);
    // Every tenth address carries a mark in its note, for a search of 10,000 rows.
    db.ExecuteRaw(QStringLiteral("UPDATE ADDRESS SET NOTE = NOTE || ' searchmark' WHERE rowid % 10 = 0"));
    const std::int32_t root = SubfoldersOf(db, -1).front().id;
    const FolderEntry source = CreateFolder(db, QStringLiteral("Bench source"), root);
    const FolderEntry target = CreateFolder(db, QStringLiteral("Bench target"), root);
    db.BeginTrans();
    for (int i = 0; i < 1000; ++i) {
        AddressEntry e;
        e.name = QStringLiteral("Bench address %1").arg(i, 4, 10, QLatin1Char('0'));
        e.street = QStringLiteral("Long street %1").arg(i);
        e.town = QStringLiteral("Brno");
        e.zip = QStringLiteral("602 00");
        SaveNewAddress(db, e,
                       {{QStringLiteral("+420 541 %1").arg(i), QStringLiteral("work")},
                        {QStringLiteral("+420 602 %1").arg(i), QString()}},
                       {{QStringLiteral("bench%1@example.cz").arg(i), QString()}}, source.id);
    }
    db.CommitTrans();

    // The panes as the main window holds them: the whole list, the root open.
    CAddressTreeCtrl tree(db);
    CAddressListCtrl list(db);
    AddressPanes panes(&tree, &list);
    tree.Fill();
    list.Fill();
    TreeItem *targetItem = tree.FindFolderItem(target.id);
    tree.LoadChildren(targetItem);
    std::printf("list pane holds %d rows\n", list.listModel()->rowCount());

    QElapsedTimer t;
    t.start();
    const FolderCopyResult copy = CopyFolder(db, source.id, target.id);
    const double copyDb = elapsedMs(t);
    ShowFolderCopied(panes, copy, targetItem);
    const double copyAll = elapsedMs(t);
    std::printf("copied %d folder(s), %zu addresses\n", copy.folders, copy.addresses.size());
    report("folder copy, 1,000 addresses (database)", copyDb, 2000);
    report("folder copy, 1,000 addresses (with panes)", copyAll, 2000);

    t.restart();
    const std::vector<FolderEntry> deleted = DeleteFolderTree(db, copy.folder.id);
    const double deleteDb = elapsedMs(t);
    ShowFoldersDeleted(panes, deleted);
    const double deleteAll = elapsedMs(t);
    report("folder delete, 1,000 addresses (database)", deleteDb, 1000);
    report("folder delete, 1,000 addresses (with panes)", deleteAll, 1000);

    CAddressSearchDlg search(db, {});
    search.noteEdit()->setPlainText(QStringLiteral("searchmark"));
    t.restart();
    search.Find();
    const double searchMs = elapsedMs(t);
    std::printf("search listed %d rows\n", search.resultList()->tableModel()->rowCount());
    report("search of 10,000 rows, listed", searchMs, 1000);
    return 0;
}
