#include "foldertree.h"

#include "dberror.h"
#include "recordsets.h"
#include "sqlformat.h"

#include <QHeaderView>

namespace {

bool hasChildren(CDatabase &db, int id)
{
    CSetFolder set(&db);
    set.Open(SqlFormat(QStringLiteral("SELECT * FROM FOLDER WHERE ID_PARENT = %d"), id));
    return !set.IsEOF();
}

QString display(QString name)
{
    // A folder name may hold line breaks only through damaged data; keep one line.
    name.replace(QLatin1String("\r\n"), QLatin1String(", "));
    return name;
}

} // namespace

ExchangeFolderTree::ExchangeFolderTree(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) {
        if (!item->data(0, kLoadedRole).toBool())
            fillChildren(item);
    });
}

QTreeWidgetItem *ExchangeFolderTree::addItem(QTreeWidgetItem *parent, int id, const QString &name, bool children)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, display(name));
    item->setData(0, kIdRole, id);
    item->setData(0, kLoadedRole, false);
    item->setChildIndicatorPolicy(children ? QTreeWidgetItem::ShowIndicator
                                           : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    return item;
}

bool ExchangeFolderTree::Load(CDatabase &db)
{
    m_db = &db;
    clear();
    std::vector<QTreeWidgetItem *> top;
    const bool ok = DbOperation(db, [&] {
        CSetFolder set(&db);
        set.Open(SqlFormat(QStringLiteral("SELECT * FROM FOLDER WHERE ID_PARENT = %d"), -1));
        for (; !set.IsEOF(); set.MoveNext())
            top.push_back(addItem(nullptr, set.m_ID_FOLDER_FOLDER, set.m_NAME, hasChildren(db, set.m_ID_FOLDER_FOLDER)));
    });
    if (!ok)
        return false;
    for (QTreeWidgetItem *item : top)
        if (!fillChildren(item))
            return false;
    for (QTreeWidgetItem *item : top)
        item->setExpanded(true);
    return true;
}

bool ExchangeFolderTree::fillChildren(QTreeWidgetItem *item)
{
    if (!m_db)
        return false;
    item->setData(0, kLoadedRole, true);
    const int parent = item->data(0, kIdRole).toInt();
    return DbOperation(*m_db, [&] {
        CSetFolder set(m_db);
        set.Open(SqlFormat(QStringLiteral("SELECT * FROM FOLDER WHERE ID_PARENT = %d ORDER BY NAME"), parent));
        for (; !set.IsEOF(); set.MoveNext())
            addItem(item, set.m_ID_FOLDER_FOLDER, set.m_NAME, hasChildren(*m_db, set.m_ID_FOLDER_FOLDER));
    });
}

std::optional<int> ExchangeFolderTree::SelectedFolder() const
{
    const QList<QTreeWidgetItem *> items = selectedItems();
    if (items.isEmpty())
        return std::nullopt;
    return items.first()->data(0, kIdRole).toInt();
}

void ExchangeFolderTree::SelectTop()
{
    if (topLevelItemCount() > 0)
        setCurrentItem(topLevelItem(0));
}

bool ExchangeFolderTree::SelectFolder(int id)
{
    std::vector<QTreeWidgetItem *> pending;
    for (int i = 0; i < topLevelItemCount(); ++i)
        pending.push_back(topLevelItem(i));
    while (!pending.empty()) {
        QTreeWidgetItem *item = pending.back();
        pending.pop_back();
        if (item->data(0, kIdRole).toInt() == id) {
            for (QTreeWidgetItem *p = item->parent(); p; p = p->parent())
                p->setExpanded(true);
            setCurrentItem(item);
            return true;
        }
        if (!item->data(0, kLoadedRole).toBool())
            fillChildren(item);
        for (int i = 0; i < item->childCount(); ++i)
            pending.push_back(item->child(i));
    }
    return false;
}
