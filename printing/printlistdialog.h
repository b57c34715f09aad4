#pragma once
// "Choosing addresses to print": a folder tree, the addresses of the
// selected folder, and the list of addresses to print that the user puts
// together from them with "Add address", "Add entire folder" and "Remove
// address". OK with an empty list shows message 106 and stays open;
// otherwise the caller takes the list (from its first row to its last).
#include "printlist.h"

#include <QDialog>
#include <vector>

class CDatabase;
class FolderChooserTree;
class QPushButton;
class QTableView;

class PrintListDialog : public QDialog {
    Q_OBJECT
public:
    PrintListDialog(QWidget *parent, CDatabase &db);

    // False when the folder tree could not be filled (no folder, or a
    // database error): exec() then returns Rejected at once.
    bool IsUsable() const { return m_usable; }
    int exec() override;

    // The chosen addresses in the order shown, after OK.
    const std::vector<AddressEntry> &Addresses() const { return m_result; }

    void accept() override;
    void reject() override;

    // Parts for tests.
    FolderChooserTree *Tree() const { return m_tree; }
    QTableView *FolderList() const { return m_folderList; }
    QTableView *PrintListView() const { return m_printList; }
    QPushButton *AddFolderButton() const { return m_addFolder; }
    QPushButton *AddAddressButton() const { return m_addAddress; }
    QPushButton *RemoveButton() const { return m_remove; }
    QPushButton *OkButton() const { return m_ok; }
    const PrintList &List() const { return m_list; }
    const std::deque<AddressEntry> &FolderRows() const { return m_folderRows; }

    // The actions behind the buttons.
    void AddSelectedAddresses();
    void AddEntireFolder();
    void RemoveSelectedAddresses();

private:
    void folderSelected();
    void updateButtons();
    std::vector<int> selectedRows(QTableView *view) const;

    CDatabase &m_db;
    bool m_usable = false;
    FolderChooserTree *m_tree = nullptr;
    QTableView *m_folderList = nullptr;
    QTableView *m_printList = nullptr;
    AddressRowsModel *m_folderModel = nullptr;
    AddressRowsModel *m_printModel = nullptr;
    QPushButton *m_addFolder = nullptr;
    QPushButton *m_addAddress = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_ok = nullptr;
    std::deque<AddressEntry> m_folderRows;
    PrintList m_list;
    std::vector<AddressEntry> m_result;
};
