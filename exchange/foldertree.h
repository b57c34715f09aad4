#pragma once
// The folder tree of the exchange dialogs: the top level read with
// "SELECT * FROM FOLDER WHERE ID_PARENT = %d" and -1, lower levels read when
// an item is first expanded with "... ORDER BY NAME".
#include <QTreeWidget>
#include <optional>

class CDatabase;

class ExchangeFolderTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit ExchangeFolderTree(QWidget *parent = nullptr);

    // Fills the top level and expands it; false after message 8 or 7.
    bool Load(CDatabase &db);
    // The selected folder's identifier.
    std::optional<int> SelectedFolder() const;
    // Selects the first top-level item.
    void SelectTop();
    // Selects the folder with this identifier when it is loaded or can be
    // reached by expanding; true when found.
    bool SelectFolder(int id);
    static constexpr int kIdRole = Qt::UserRole;
    static constexpr int kLoadedRole = Qt::UserRole + 1;

private:
    bool fillChildren(QTreeWidgetItem *item);
    QTreeWidgetItem *addItem(QTreeWidgetItem *parent, int id, const QString &name, bool hasChildren);
    CDatabase *m_db = nullptr;
};
