#include "folderstest.h"
#include "addressrecords.h"
#include "folderops.h"
#include "recordsets.h"
#include "sqlformat.h"

#include <sqlite3.h>

std::int32_t FolderBook::folder(std::int32_t parent, const QString &name)
{
    return CreateFolder(db(), name, parent).id;
}

std::int32_t FolderBook::address(std::int32_t folder, const QString &name, const ValueNoteList &phones,
                                 const ValueNoteList &emails, const QString &town)
{
    AddressEntry e;
    e.name = name;
    e.town = town;
    e.zip = QStringLiteral("602 00");
    return SaveNewAddress(db(), e, phones, emails, folder);
}

AddressEntry FolderBook::stored(std::int32_t id)
{
    CSetAddress a(&db());
    a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", id));
    EXPECT_FALSE(a.IsEOF()) << "address " << id << " is not stored";
    return a.IsEOF() ? AddressEntry{} : AddressFromRecord(a);
}

std::int32_t FolderBook::parentOf(std::int32_t f)
{
    std::optional<FolderEntry> entry = FolderById(db(), f);
    return entry ? entry->parent : -2;
}

long FolderBook::count(const QString &table, const QString &where)
{
    const QByteArray sql =
        QStringLiteral("SELECT COUNT(*) FROM %1%2").arg(table, where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where).toUtf8();
    sqlite3_stmt *stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db().Handle(), sql.constData(), -1, &stmt, nullptr), SQLITE_OK) << sql.constData();
    long n = -1;
    if (sqlite3_step(stmt) == SQLITE_ROW)
        n = long(sqlite3_column_int64(stmt, 0));
    sqlite3_finalize(stmt);
    return n;
}

FolderBook::Counters FolderBook::counters()
{
    CSetIDS ids(&db());
    ids.Open(QStringLiteral("SELECT * FROM IDS"));
    return {ids.m_ID_ADDRESS_FF, ids.m_ID_TEL_FF, ids.m_ID_EMAIL_FF, ids.m_ID_FOLDER_FF};
}

void FolderBook::failWhen(const QString &triggerSql)
{
    db().ExecuteRaw(triggerSql);
}

#include "addresstree.h"
#include "addresslist.h"

#include <QApplication>
#include <QHBoxLayout>

void PaneBook::SetUp()
{
    host = new QWidget;
    auto *layout = new QHBoxLayout(host);
    tree = new CAddressTreeCtrl(db(), host);
    list = new CAddressListCtrl(db(), host);
    layout->addWidget(tree);
    layout->addWidget(list);
    panes = AddressPanes(tree, list);
    host->resize(800, 600);
    host->show();
    fillPanes();
}

void PaneBook::TearDown()
{
    delete host;
}

void PaneBook::fillPanes()
{
    ASSERT_GT(tree->Fill(), 0);
    list->Fill();
    QApplication::processEvents();
}

TreeItem *PaneBook::open(std::int32_t folder)
{
    TreeItem *item = tree->FindFolderItem(folder);
    if (item) {
        item->setExpanded(true);
        tree->LoadChildren(item);
        QApplication::processEvents();
    }
    return item;
}

QStringList PaneBook::childTexts(TreeItem *item)
{
    QStringList out;
    for (int i = 0; item && i < item->childCount(); ++i)
        out << item->child(i)->text(0);
    return out;
}
