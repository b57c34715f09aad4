#pragma once
// Widgets for choosing folders, for every dialog of the program that asks
// for a folder (folder and address dialogs, report, export and import):
//
// FolderChooserTree — a tree of folders only, filled lazily from FOLDER:
//   the top level and the root's children when filled, every other level on
//   its first expansion. Each item carries the folder's identifier and its
//   parent's identifier; its text is the folder's NAME.
//
// CFolderPickerDlg — "Choosing location": a folder chooser tree and the
//   check box "Include subfolders". Constructed with an initial folder and
//   flag; after OK the caller reads the chosen folder, the flag, the folder's
//   path ("Root/Child/...") and the set of chosen identifiers (the folder,
//   and with the flag every folder below it).
//
// Both need only an open CDatabase. Database errors show message 8.
#include "addressentry.h"

#include <QDialog>
#include <QTreeWidget>
#include <optional>
#include <set>

class CDatabase;
class QCheckBox;

class FolderChooserTree : public QTreeWidget {
public:
    // How the top level is read: ordered by name (the folder dialogs) or in
    // the order stored (the picker).
    enum class TopLevel { Ordered, Unordered };

    explicit FolderChooserTree(CDatabase &db, QWidget *parent = nullptr);

    // Loads the top level and the first top-level item's children and
    // expands that item. False when there is no top-level folder or the
    // database failed; a dialog then closes as cancelled.
    bool Fill(TopLevel order = TopLevel::Ordered);

    // The selected folder (identifier, parent, name), if any.
    std::optional<FolderEntry> SelectedFolder() const;
    // The folder an item stands for.
    static FolderEntry FolderOf(const QTreeWidgetItem *item);
    // The names from the top item down to `item`, joined with "/".
    static QString PathOf(const QTreeWidgetItem *item);

    // The loaded item of a folder, or null.
    QTreeWidgetItem *FindLoadedItem(std::int32_t folder) const;
    // Opens the levels from the root down to the folder (loading them as
    // needed) and selects its item. False when the folder is not stored.
    bool SelectFolder(std::int32_t folder);
    // Loads an item's children if that has not happened yet.
    void LoadChildren(QTreeWidgetItem *item);

    // The images of every chooser tree: the folder and the selected folder.
    static void SetImages(const QPixmap &folder, const QPixmap &selected);

private:
    QTreeWidgetItem *makeItem(const FolderEntry &folder);
    CDatabase &m_db;
};

class CFolderPickerDlg : public QDialog {
public:
    CFolderPickerDlg(CDatabase &db, std::int32_t initialFolder, bool includeSubfolders, QWidget *parent = nullptr);

    // False when the tree could not be filled: exec() then returns Rejected
    // at once.
    bool IsUsable() const { return m_usable; }
    int exec() override;

    std::int32_t FolderId() const { return m_folder; }
    bool IncludeSubfolders() const { return m_include; }
    QString PathText() const { return m_path; }
    std::set<std::int32_t> FolderIds() const { return m_ids; }

    FolderChooserTree *tree() const { return m_tree; }
    QCheckBox *includeBox() const { return m_includeBox; }

    void accept() override;

private:
    CDatabase &m_db;
    FolderChooserTree *m_tree;
    QCheckBox *m_includeBox;
    bool m_usable = false;
    std::int32_t m_folder = -1;
    bool m_include = false;
    QString m_path;
    std::set<std::int32_t> m_ids;
};
