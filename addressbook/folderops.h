#pragma once
// Changes to the folder tree: creating, renaming, deleting, moving and
// copying folders, with the checks the folder dialogs make before them.
//
// The checks return the id of the message to show (0 when the operation may
// go ahead); the operations throw DbException (or std::bad_alloc) and each
// runs in one transaction of its own (nested in the caller's when one is
// open), so a failure part way leaves nothing of the change behind. Callers
// wrap them in DbOperation for the messages; the panes are brought up to date
// by the caller after a successful return, from what the operation reports.
#include "addressentry.h"
#include "database.h"

#include <optional>
#include <set>
#include <vector>

// Messages of the folder checks.
enum FolderMessage {
    MSG_DISALLOWED_CHARACTER = 11,
    MSG_NEW_FOLDER_EMPTY = 12,
    MSG_NEW_FOLDER_EXISTS = 13,
    MSG_NO_FOLDER_SELECTED = 14,
    MSG_RENAME_EMPTY = 15,
    MSG_RENAME_EXISTS = 16,
    MSG_RENAME_SAME = 17,
    MSG_DELETE_NONE = 25,
    MSG_DELETE_NOT_EMPTY = 26,
    MSG_DELETE_ROOT = 27,
    MSG_MOVE_NONE = 28,
    MSG_MOVE_NO_DESTINATION = 29,
    MSG_MOVE_INTO_ITSELF = 30,
    MSG_MOVE_ROOT = 31,
    MSG_MOVE_INTO_PARENT = 32,
    MSG_DELETE_QUESTION = 35,
    MSG_COPY_FOLDER_QUESTION = 59394,
    MSG_COPY_ADDRESS_QUESTION = 59395,
    MSG_MOVE_FOLDER_QUESTION = 59396,
    MSG_MOVE_ADDRESS_QUESTION = 59397,
    MSG_DESTINATION_HAS_NAME = 59398,
    MSG_PICKER_NONE = 59408,
};

// The result of a check: the message (0: passed) and whether the focus
// belongs in the name field afterwards.
struct FolderCheck {
    int message = 0;
    bool focusName = false;
    explicit operator bool() const { return message == 0; }
};

// True when `parent` has a child folder of this name; the database decides
// sameness, so letter case does not count.
bool SiblingNameExists(CDatabase &db, const QString &name, std::int32_t parent);
// True when the folder has neither a subfolder nor an address.
bool FolderIsEmpty(CDatabase &db, std::int32_t folder);
// True when `folder` is `ancestor` itself or lies anywhere below it.
bool IsSameOrBelow(CDatabase &db, std::int32_t folder, std::int32_t ancestor);
// The folder and, with `subfolders`, every folder below it; ascending.
std::set<std::int32_t> FolderIdSet(CDatabase &db, std::int32_t folder, bool subfolders);

// Checks of "New folder", in their order: 12, 11, 14, 13. `name` is trimmed
// in place; `parent` is the folder selected in the tree, if any.
FolderCheck CheckNewFolder(CDatabase &db, QString &name, std::optional<std::int32_t> parent);
// Checks of "Rename folder", in their order: 15, 11, 14, 17, 16.
// `currentText` is the text the selected item shows.
FolderCheck CheckRenameFolder(CDatabase &db, QString &name, const std::optional<FolderEntry> &folder,
                              const QString &currentText);
// Checks of "Move folder", in their order: 28, 29, 31, 30, 32, 59398.
int CheckMoveFolder(CDatabase &db, const std::optional<FolderEntry> &folder,
                    std::optional<std::int32_t> destination);
// The name test of a drop: 59398 when the target holds a folder of that name.
int CheckDropName(CDatabase &db, const FolderEntry &folder, std::int32_t target);

// Adds a folder under `parent` (identifier from ID_FOLDER_FF).
FolderEntry CreateFolder(CDatabase &db, const QString &name, std::int32_t parent);
// Gives a folder a new name; throws when the folder is not stored.
void RenameFolder(CDatabase &db, std::int32_t folder, const QString &name);

// Deletes a folder with everything below it: the deepest folders first,
// each folder's row before its addresses (whose phones and e-mails go with
// them). Returns the deleted folders (identifier, parent, name) in the order
// they went, for the panes. Refuses the root folder.
std::vector<FolderEntry> DeleteFolderTree(CDatabase &db, std::int32_t folder);

// Gives a folder a new parent; throws when the folder is not stored or the
// new parent is the folder itself or lies below it.
void MoveFolder(CDatabase &db, std::int32_t folder, std::int32_t newParent);

// What a folder copy made.
struct FolderCopyResult {
    FolderEntry folder;                  // the copy of the source folder
    std::vector<AddressEntry> addresses; // every copied address, in the order copied
    int folders = 0;                     // folders created, the copy itself included
    bool hasChildren = false;            // the source had subfolders or addresses
};
// Copies a folder with all its subfolders and addresses (phones and e-mails
// included) under `target`. Every list of sources is read completely before
// anything is added, so rows made by the copy are never copied again.
// Refuses a target that is the source or lies below it.
FolderCopyResult CopyFolder(CDatabase &db, std::int32_t source, std::int32_t target);
