#include "folderdialogs.h"
#include "addressentry.h"
#include "multilinefield.h"
#include "dberror.h"
#include "folderops.h"
#include "paneupdates.h"
#include "tvmessage.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QDialogButtonBox *buttons(QDialog *dialog, const QString &okText)
{
    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    box->button(QDialogButtonBox::Ok)->setText(okText);
    box->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

QLineEdit *nameField(QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QStringLiteral("folderName"));
    LimitCharacters(edit, kMaxTextCharacters);
    return edit;
}

std::optional<std::int32_t> selectedId(const FolderChooserTree *tree)
{
    if (std::optional<FolderEntry> f = tree->SelectedFolder())
        return f->id;
    return std::nullopt;
}

// Deletes a folder with everything below it and updates the panes.
bool deleteWithContents(CDatabase &db, AddressPanes &panes, std::int32_t folder)
{
    std::vector<FolderEntry> deleted;
    if (!DbOperation(db, [&] { deleted = DeleteFolderTree(db, folder); }))
        return false;
    ShowFoldersDeleted(panes, deleted);
    return true;
}

// Question 26 for a folder that is not empty; true when the deletion may go on.
bool confirmContents(CDatabase &db, std::int32_t folder)
{
    bool empty = false;
    if (!DbOperation(db, [&] { empty = FolderIsEmpty(db, folder); }))
        return false;
    return empty || CTVQuestion::Show(MSG_DELETE_NOT_EMPTY, TVB_YESNO) == TVB_YES;
}

} // namespace

FolderDialogBase::FolderDialogBase(CDatabase &db, AddressPanes *panes, QWidget *parent)
    : QDialog(parent), m_db(db), m_panes(panes)
{
}

int FolderDialogBase::exec()
{
    if (!m_usable) {
        setResult(Rejected);
        return Rejected;
    }
    return QDialog::exec();
}

void FolderDialogBase::ShowCheckError(int message)
{
    if (message == MSG_DISALLOWED_CHARACTER)
        CTVError::Show(message, TVB_OK, DisallowedCharactersText());
    else
        CTVError::Show(message, TVB_OK);
}

FolderNameDialogBase::FolderNameDialogBase(CDatabase &db, AddressPanes *panes, QWidget *parent,
                                           const QString &objectName, const QString &title,
                                           const QString &nameLabel, const QString &treeLabel)
    : FolderDialogBase(db, panes, parent)
{
    setObjectName(objectName);
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(nameLabel, this));
    m_name = nameField(this);
    layout->addWidget(m_name);
    layout->addWidget(new QLabel(treeLabel, this));
    m_tree = new FolderChooserTree(db, this);
    layout->addWidget(m_tree);
    layout->addWidget(buttons(this, QStringLiteral("OK")));
    m_usable = m_tree->Fill();
    m_name->setFocus();
}

CNewFolderDlg::CNewFolderDlg(CDatabase &db, AddressPanes *panes, QWidget *parent)
    : FolderNameDialogBase(db, panes, parent, QStringLiteral("newFolderDialog"), QStringLiteral("New folder"),
                           QStringLiteral("New folder"), QStringLiteral("Insert to"))
{
}

void CNewFolderDlg::accept()
{
    QString name = m_name->text();
    const std::optional<std::int32_t> parent = selectedId(m_tree);
    FolderCheck check;
    if (!DbOperation(m_db, [&] { check = CheckNewFolder(m_db, name, parent); }))
        return;
    if (!check) {
        ShowCheckError(check.message);
        if (check.focusName)
            m_name->setFocus();
        return;
    }
    FolderEntry created;
    if (!DbOperation(m_db, [&] { created = CreateFolder(m_db, name, *parent); })) {
        reject();
        return;
    }
    if (m_panes)
        ShowFolderCreated(*m_panes, created);
    QDialog::accept();
}

CRenameFolderDlg::CRenameFolderDlg(CDatabase &db, AddressPanes *panes, QWidget *parent)
    : FolderNameDialogBase(db, panes, parent, QStringLiteral("renameFolderDialog"), QStringLiteral("Rename folder"),
                           QStringLiteral("New name"), QStringLiteral("Folder"))
{
}

void CRenameFolderDlg::accept()
{
    QString name = m_name->text();
    const std::optional<FolderEntry> folder = m_tree->SelectedFolder();
    const QString current = folder ? folder->name : QString();
    FolderCheck check;
    if (!DbOperation(m_db, [&] { check = CheckRenameFolder(m_db, name, folder, current); }))
        return;
    if (!check) {
        ShowCheckError(check.message);
        if (check.focusName)
            m_name->setFocus();
        return;
    }
    if (!DbOperation(m_db, [&] { RenameFolder(m_db, folder->id, name); })) {
        reject();
        return;
    }
    if (m_panes)
        ShowFolderRenamed(*m_panes, FolderEntry{folder->id, folder->parent, name});
    QDialog::accept();
}

CDeleteFolderDlg::CDeleteFolderDlg(CDatabase &db, AddressPanes *panes, QWidget *parent)
    : FolderDialogBase(db, panes, parent)
{
    setObjectName(QStringLiteral("deleteFolderDialog"));
    setWindowTitle(QStringLiteral("Delete folder"));
    auto *layout = new QVBoxLayout(this);
    m_tree = new FolderChooserTree(db, this);
    layout->addWidget(m_tree);
    layout->addWidget(buttons(this, QStringLiteral("Delete")));
    m_usable = m_tree->Fill();
}

void CDeleteFolderDlg::accept()
{
    const std::optional<FolderEntry> folder = m_tree->SelectedFolder();
    if (!folder) {
        CTVError::Show(MSG_DELETE_NONE, TVB_OK);
        return;
    }
    if (folder->parent == -1) {
        CTVError::Show(MSG_DELETE_ROOT, TVB_OK);
        return;
    }
    if (!confirmContents(m_db, folder->id))
        return;
    std::vector<FolderEntry> deleted;
    if (!DbOperation(m_db, [&] { deleted = DeleteFolderTree(m_db, folder->id); }))
        return; // rolled back; the dialog stays open
    if (m_panes)
        ShowFoldersDeleted(*m_panes, deleted);
    QDialog::accept();
}

CMoveFolderDlg::CMoveFolderDlg(CDatabase &db, AddressPanes *panes, QWidget *parent)
    : FolderDialogBase(db, panes, parent)
{
    setObjectName(QStringLiteral("moveFolderDialog"));
    setWindowTitle(QStringLiteral("Move folder"));
    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Folder to move"), this), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Destination folder"), this), 0, 1);
    m_folder = new FolderChooserTree(db, this);
    m_folder->setObjectName(QStringLiteral("folderToMove"));
    m_destination = new FolderChooserTree(db, this);
    m_destination->setObjectName(QStringLiteral("destinationFolder"));
    layout->addWidget(m_folder, 1, 0);
    layout->addWidget(m_destination, 1, 1);
    layout->addWidget(buttons(this, QStringLiteral("Move")), 2, 0, 1, 2);
    m_usable = m_folder->Fill() && m_destination->Fill();
}

void CMoveFolderDlg::accept()
{
    const std::optional<FolderEntry> folder = m_folder->SelectedFolder();
    const std::optional<std::int32_t> destination = selectedId(m_destination);
    int message = 0;
    if (!DbOperation(m_db, [&] { message = CheckMoveFolder(m_db, folder, destination); }))
        return;
    if (message) {
        CTVError::Show(message, TVB_OK);
        return;
    }
    if (!DbOperation(m_db, [&] { MoveFolder(m_db, folder->id, *destination); }))
        return;
    if (m_panes)
        ShowFolderMoved(*m_panes, folder->id, folder->parent, *destination);
    QDialog::accept();
}

bool DeleteFolderDirect(CDatabase &db, AddressPanes &panes, const FolderEntry &folder)
{
    if (folder.parent == -1) {
        CTVError::Show(MSG_DELETE_ROOT, TVB_OK);
        return false;
    }
    if (CTVQuestion::Show(MSG_DELETE_QUESTION, TVB_YESNO) != TVB_YES)
        return false;
    if (!confirmContents(db, folder.id))
        return false;
    return deleteWithContents(db, panes, folder.id);
}
