#pragma once
// Bringing the address tree and address list panes up to date after a folder
// or address operation has been committed. Each function is called only
// after the database change succeeded, so the panes never show a change that
// was rolled back.
#include "addresspanes.h"
#include "addressmove.h"
#include "folderops.h"

// A new folder: shown under its parent when the parent's children are
// loaded; the parent gets its expand button; the top-level item expands.
void ShowFolderCreated(AddressPanes &panes, const FolderEntry &folder);
void ShowFolderRenamed(AddressPanes &panes, const FolderEntry &folder);
// Deleted folders in the order they went: each item is removed, its parent's
// expand button refreshed and its addresses leave the list.
void ShowFoldersDeleted(AddressPanes &panes, const std::vector<FolderEntry> &deleted);
// A folder moved through the "Move folder" dialog.
void ShowFolderMoved(AddressPanes &panes, std::int32_t folder, std::int32_t oldParent, std::int32_t newParent);
// A folder moved by drag and drop: a fresh collapsed item after the target's
// last subfolder (when the target's children are loaded) replaces the old.
void ShowFolderDragMoved(AddressPanes &panes, TreeItem *item, TreeItem *target);
// A folder copy: the copied addresses go to the top of the list; the copy is
// shown after the target's last subfolder when the target's children are loaded.
void ShowFolderCopied(AddressPanes &panes, const FolderCopyResult &copy, TreeItem *target);

// An address moved through the dialog: `moved` carries its new folder.
void ShowAddressMoved(AddressPanes &panes, const AddressEntry &moved, std::int32_t oldFolder);
// An address moved by drag and drop onto `target`.
void ShowAddressDragMoved(AddressPanes &panes, TreeItem *item, TreeItem *target);
// A copied address: at the top of the list; in the tree at its sorted place
// (dialog) or at the end of the folder's children (drag and drop).
void ShowAddressCopied(AddressPanes &panes, const AddressEntry &copy, bool dragged);
// Addresses moved by the mass-move dialog between `source` and `destination`.
void ShowMassMove(AddressPanes &panes, const std::vector<MassMoveChange> &changes,
                  const std::vector<AddressEntry> &entries, std::int32_t source, std::int32_t destination);

// The position after a folder item's last subfolder item.
int AfterLastSubfolder(const TreeItem *folder);
// Marks a folder item as having children.
void MarkHasChildren(TreeItem *folder);
