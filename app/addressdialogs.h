#pragma once
// The Address menu's move and copy dialogs: "Moving address to another
// folder", "Copying address to another folder" and "Mass move of addresses
// between folders".
#include "addresspanes.h"
#include "addresstable.h"
#include "folderwidgets.h"

#include <QDialog>

class QPushButton;

// Move or copy of the address selected in the panes when the dialog opens.
class CAddressToFolderDlg : public QDialog {
public:
    enum class Mode { Move, Copy };
    CAddressToFolderDlg(Mode mode, CDatabase &db, AddressPanes *panes, QWidget *parent = nullptr);

    // With no address selected in the panes (message 57354 or 57357) or no
    // folder tree, ends at once as cancelled.
    int exec() override;
    bool HasAddress() const { return m_hasAddress; }
    FolderChooserTree *tree() const { return m_tree; }
    void accept() override;

private:
    Mode m_mode;
    CDatabase &m_db;
    AddressPanes *m_panes;
    AddressEntry m_address;
    bool m_hasAddress = false;
    bool m_usable = false;
    FolderChooserTree *m_tree;
};

class CMassMoveDlg : public QDialog {
public:
    CMassMoveDlg(CDatabase &db, AddressPanes *panes, QWidget *parent = nullptr);
    int exec() override;
    bool IsUsable() const { return m_usable; }

    FolderChooserTree *sourceTree() const { return m_sourceTree; }
    FolderChooserTree *destinationTree() const { return m_destinationTree; }
    AddressTableView *sourceList() const { return m_sourceList; }
    AddressTableView *destinationList() const { return m_destinationList; }
    QPushButton *rightButton() const { return m_right; }
    QPushButton *leftButton() const { return m_left; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *applyButton() const { return m_apply; }
    // Locked to a folder pair by the first transfer, freed by Apply.
    bool IsLocked() const { return m_locked; }

    // The arrow buttons: the selected rows to the other list.
    void TransferRight();
    void TransferLeft();
    // Writes the transfers; true on success (then the dialog is free again).
    bool Apply();
    void accept() override;

private:
    void fillList(FolderChooserTree *tree, AddressTableView *list);
    void transfer(AddressTableView *from, AddressTableView *to);
    bool write();
    void setLocked(bool locked);
    void updateArrows();

    CDatabase &m_db;
    AddressPanes *m_panes;
    bool m_usable = false;
    bool m_locked = false;
    std::int32_t m_pairSource = -1, m_pairDestination = -1;
    FolderChooserTree *m_sourceTree, *m_destinationTree;
    AddressTableView *m_sourceList, *m_destinationList;
    QPushButton *m_right, *m_left, *m_ok, *m_apply;
};
