#include "addressbookcommands.h"
#include "addressdialogs.h"
#include "appcontext.h"
#include "commands.h"
#include "dberror.h"
#include "folderdialogs.h"
#include "icons.h"
#include "mainframe.h"
#include "searchdialog.h"
#include "treedrop.h"
#include "tvmessage.h"

namespace {

// Command ids of the Folder and Address menus.
enum {
    CMD_FOLDER_NEW = 32775,
    CMD_FOLDER_RENAME = 32776,
    CMD_FOLDER_DELETE = 32779,
    CMD_FOLDER_MOVE = 32786,
    CMD_ADDRESS_COPY = 32859,
    CMD_ADDRESS_MOVE = 32860,
    CMD_MASS_MOVE = 32816,
    CMD_SEARCH = 32783,
};

// The program's database; message 8 when there is none.
CDatabase *database()
{
    CDatabase *db = AppContext::Database();
    if (!db)
        CTVError::Show(MSG_DATABASE_ERROR, TVB_OK);
    return db;
}

template <typename Dialog, typename... Args> void runDialog(QWidget *parent, Args &&...args)
{
    Dialog dialog(std::forward<Args>(args)..., parent);
    dialog.exec();
}

} // namespace

void RegisterAddressBookCommands(CMainFrame *frame)
{
    FolderChooserTree::SetImages(TreeImage(0), TreeImage(1));
    InstallTreeDrop(frame->panes());

    // Each command runs on the frame that dispatches it.
    auto command = [](std::function<void(CMainFrame *, CDatabase &)> body) {
        return CommandHandler{[body](QWidget *parent) {
                                  auto *owner = qobject_cast<CMainFrame *>(parent);
                                  if (!owner)
                                      return;
                                  if (CDatabase *db = database())
                                      body(owner, *db);
                              },
                              {}};
    };
    RegisterCommand(CMD_FOLDER_NEW, command([](CMainFrame *f, CDatabase &db) {
                        runDialog<CNewFolderDlg>(f, db, f->panes());
                    }));
    RegisterCommand(CMD_FOLDER_RENAME, command([](CMainFrame *f, CDatabase &db) {
                        runDialog<CRenameFolderDlg>(f, db, f->panes());
                    }));
    RegisterCommand(CMD_FOLDER_DELETE, command([](CMainFrame *f, CDatabase &db) {
                        // A folder selected in the tree pane is deleted at once.
                        TreeItem *item = f->tree()->SelectedItem();
                        if (item && item->isFolder()) {
                            const FolderEntry folder = *item->folder();
                            DeleteFolderDirect(db, *f->panes(), folder);
                            return;
                        }
                        runDialog<CDeleteFolderDlg>(f, db, f->panes());
                    }));
    RegisterCommand(CMD_FOLDER_MOVE, command([](CMainFrame *f, CDatabase &db) {
                        runDialog<CMoveFolderDlg>(f, db, f->panes());
                    }));
    RegisterCommand(CMD_ADDRESS_MOVE, command([](CMainFrame *f, CDatabase &db) {
                        runDialog<CAddressToFolderDlg>(f, CAddressToFolderDlg::Mode::Move, db, f->panes());
                    }));
    RegisterCommand(CMD_ADDRESS_COPY, command([](CMainFrame *f, CDatabase &db) {
                        runDialog<CAddressToFolderDlg>(f, CAddressToFolderDlg::Mode::Copy, db, f->panes());
                    }));
    RegisterCommand(CMD_MASS_MOVE, command([](CMainFrame *f, CDatabase &db) {
                        runDialog<CMassMoveDlg>(f, db, f->panes());
                    }));
    RegisterCommand(CMD_SEARCH, command([](CMainFrame *f, CDatabase &db) {
                        auto open = [f](std::int32_t address, int page) {
                            f->view()->ActivatePage(page);
                            f->list()->SelectAddress(address);
                            f->list()->setFocus();
                        };
                        runDialog<CAddressSearchDlg>(f, db, CAddressSearchDlg::OpenAddress(open));
                    }));
}
