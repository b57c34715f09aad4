#pragma once
// The folder dialogs of the Folder menu — "New folder", "Rename folder",
// "Delete folder", "Move folder" — and the direct deletion of the folder
// selected in the address tree pane. Each dialog shows a folder chooser tree;
// when that tree cannot be filled the dialog ends at once as cancelled.
#include "addresspanes.h"
#include "folderwidgets.h"

#include <QDialog>

class QLineEdit;

// Shared frame: the database, the panes and whether the trees filled.
class FolderDialogBase : public QDialog {
public:
    int exec() override;
    bool IsUsable() const { return m_usable; }

protected:
    FolderDialogBase(CDatabase &db, AddressPanes *panes, QWidget *parent);
    // Shows an error of a folder check, with the disallowed characters for 11.
    static void ShowCheckError(int message);
    CDatabase &m_db;
    AddressPanes *m_panes;
    bool m_usable = true;
};

// A dialog with a folder name field above a folder chooser tree (New and
// Rename folder).
class FolderNameDialogBase : public FolderDialogBase {
public:
    QLineEdit *nameEdit() const { return m_name; }
    FolderChooserTree *tree() const { return m_tree; }

protected:
    FolderNameDialogBase(CDatabase &db, AddressPanes *panes, QWidget *parent, const QString &objectName,
                         const QString &title, const QString &nameLabel, const QString &treeLabel);
    QLineEdit *m_name;
    FolderChooserTree *m_tree;
};

class CNewFolderDlg : public FolderNameDialogBase {
public:
    CNewFolderDlg(CDatabase &db, AddressPanes *panes, QWidget *parent = nullptr);
    void accept() override;
};

class CRenameFolderDlg : public FolderNameDialogBase {
public:
    CRenameFolderDlg(CDatabase &db, AddressPanes *panes, QWidget *parent = nullptr);
    void accept() override;
};

class CDeleteFolderDlg : public FolderDialogBase {
public:
    CDeleteFolderDlg(CDatabase &db, AddressPanes *panes, QWidget *parent = nullptr);
    FolderChooserTree *tree() const { return m_tree; }
    void accept() override;

private:
    FolderChooserTree *m_tree;
};

class CMoveFolderDlg : public FolderDialogBase {
public:
    CMoveFolderDlg(CDatabase &db, AddressPanes *panes, QWidget *parent = nullptr);
    FolderChooserTree *folderTree() const { return m_folder; }
    FolderChooserTree *destinationTree() const { return m_destination; }
    void accept() override;

private:
    FolderChooserTree *m_folder;
    FolderChooserTree *m_destination;
};

// Deletes a folder selected in the address tree pane: 27 for the root,
// question 35, question 26 when it is not empty, then the deletion with
// everything below it. True when the folder was deleted.
bool DeleteFolderDirect(CDatabase &db, AddressPanes &panes, const FolderEntry &folder);
