#include "treedrop.h"
#include "addressmove.h"
#include "appcontext.h"
#include "dberror.h"
#include "folderops.h"
#include "paneupdates.h"
#include "tvmessage.h"

#include <QApplication>

namespace {

// The wait cursor for the length of an operation.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

bool dropFolder(CDatabase &db, AddressPanes &panes, TreeItem *dragged, TreeItem *target, bool copy)
{
    const FolderEntry folder = *dragged->folder();
    const std::int32_t targetId = target->folder()->id;
    int message = 0;
    if (!DbOperation(db, [&] { message = CheckDropName(db, folder, targetId); }))
        return false;
    if (message) {
        CTVError::Show(message, TVB_OK);
        return false;
    }
    if (CTVQuestion::Show(copy ? MSG_COPY_FOLDER_QUESTION : MSG_MOVE_FOLDER_QUESTION, TVB_YESNO) != TVB_YES)
        return false;
    WaitCursor wait;
    if (copy) {
        FolderCopyResult result;
        if (!DbOperation(db, [&] { result = CopyFolder(db, folder.id, targetId); }))
            return false;
        ShowFolderCopied(panes, result, target);
    } else {
        if (!DbOperation(db, [&] { MoveFolder(db, folder.id, targetId); }))
            return false;
        ShowFolderDragMoved(panes, dragged, target);
    }
    return true;
}

bool dropAddress(CDatabase &db, AddressPanes &panes, TreeItem *dragged, TreeItem *target, bool copy)
{
    const std::int32_t address = dragged->address()->id;
    const std::int32_t targetId = target->folder()->id;
    if (CTVQuestion::Show(copy ? MSG_COPY_ADDRESS_QUESTION : MSG_MOVE_ADDRESS_QUESTION, TVB_YESNO) != TVB_YES)
        return false;
    WaitCursor wait;
    if (copy) {
        AddressEntry made;
        if (!DbOperation(db, [&] { made = CopyAddress(db, address, targetId); }))
            return false;
        ShowAddressCopied(panes, made, true);
    } else {
        if (!DbOperation(db, [&] { MoveAddress(db, address, targetId); }))
            return false;
        ShowAddressDragMoved(panes, dragged, target);
    }
    return true;
}

} // namespace

bool RunTreeDrop(CDatabase &db, AddressPanes &panes, TreeItem *dragged, TreeItem *target, bool copy)
{
    if (!dragged || !target || !target->isFolder())
        return false;
    return dragged->isFolder() ? dropFolder(db, panes, dragged, target, copy)
                               : dropAddress(db, panes, dragged, target, copy);
}

void InstallTreeDrop(AddressPanes *panes)
{
    panes->tree()->SetDropHandler([panes](TreeItem *dragged, TreeItem *target, bool copy) {
        CDatabase *db = AppContext::Database();
        if (!db) {
            CTVError::Show(MSG_DATABASE_ERROR, TVB_OK);
            return false;
        }
        return RunTreeDrop(*db, *panes, dragged, target, copy);
    });
}
