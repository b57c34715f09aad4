#include "folderstest.h"

#include <QRegularExpression>
#include "addressrecords.h"
#include "folderops.h"
#include "recordsets.h"
#include "sqlformat.h"


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
    const QString sql =
        QStringLiteral("SELECT COUNT(*) FROM %1%2").arg(table, where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where);
    try {
        return long(db().QueryInteger(sql));
    } catch (const DbException &e) {
        ADD_FAILURE() << e.what();
        return -1;
    }
}

FolderBook::Counters FolderBook::counters()
{
    CSetIDS ids(&db());
    ids.Open(QStringLiteral("SELECT * FROM IDS"));
    return {ids.m_ID_ADDRESS_FF, ids.m_ID_TEL_FF, ids.m_ID_EMAIL_FF, ids.m_ID_FOLDER_FF};
}

void FolderBook::failWhen(const QString &triggerSql)
{
    if (!db().IsServer()) {
        db().ExecuteRaw(triggerSql);
        return;
    }
    // The same refusal as a server trigger.
    static const QRegularExpression sqlite(QStringLiteral(
        R"(CREATE TRIGGER (\w+) (BEFORE \w+) ON (\w+)(?: WHEN (.*))? BEGIN SELECT RAISE\(ABORT, '(\w+)'\); END)"));
    const QRegularExpressionMatch m = sqlite.match(triggerSql);
    ASSERT_TRUE(m.hasMatch()) << qPrintable(triggerSql);
    const QString condition = m.captured(4).isEmpty() ? QStringLiteral("true") : m.captured(4);
    db().ExecuteRaw(QStringLiteral("CREATE FUNCTION %1_fn() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN"
                                   " IF %4 THEN RAISE EXCEPTION '%5'; END IF;"
                                   " IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; RETURN NEW; END $$;"
                                   "CREATE TRIGGER %1 %2 ON %3 FOR EACH ROW EXECUTE FUNCTION %1_fn()")
                        .arg(m.captured(1), m.captured(2), m.captured(3), condition, m.captured(5)));
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
