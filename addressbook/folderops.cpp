#include "folderops.h"
#include "addressmove.h"
#include "addressrecords.h"
#include "ids.h"
#include "recordsets.h"
#include "scopedtransaction.h"
#include "sqlformat.h"

namespace {

// Identifiers of a folder's direct subfolders, in the order read.
std::vector<std::int32_t> childFolderIds(CDatabase &db, std::int32_t folder)
{
    std::vector<std::int32_t> ids;
    CSetFolder f(&db);
    f.Open(SqlFormat("SELECT * FROM FOLDER WHERE ID_PARENT = %d", folder));
    for (; !f.IsEOF(); f.MoveNext())
        ids.push_back(f.m_ID_FOLDER_FOLDER);
    return ids;
}

// A folder's addresses, in the order read.
std::vector<AddressEntry> addressRows(CDatabase &db, std::int32_t folder)
{
    std::vector<AddressEntry> rows;
    CSetAddress a(&db);
    a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d", folder));
    for (; !a.IsEOF(); a.MoveNext())
        rows.push_back(AddressFromRecord(a));
    return rows;
}

FolderEntry requireFolder(CDatabase &db, std::int32_t folder)
{
    std::optional<FolderEntry> f = FolderById(db, folder);
    if (!f)
        throw DbException(QStringLiteral("Folder %1 is not stored").arg(folder));
    return *f;
}

// Adds one FOLDER row; the caller's transaction covers it.
FolderEntry addFolderRow(CDatabase &db, const QString &name, std::int32_t parent)
{
    IdAllocator ids(db);
    FolderEntry entry{ids.Next(IdCounter::Folder), parent, name};
    CSetFolder f(&db);
    f.Open(QStringLiteral("SELECT * FROM FOLDER WHERE 0"));
    f.AddNew();
    f.m_ID_FOLDER_FOLDER = entry.id;
    f.m_ID_PARENT = parent;
    f.m_NAME = name;
    f.Update();
    ids.Finish();
    return entry;
}

void deleteRecursive(CDatabase &db, std::int32_t folder, std::set<std::int32_t> &seen,
                     std::vector<FolderEntry> &deleted)
{
    // A damaged tree (a cycle of parents) must not recurse for ever.
    if (!seen.insert(folder).second)
        throw DbException(QStringLiteral("The folder tree holds a cycle at folder %1").arg(folder));
    for (std::int32_t child : childFolderIds(db, folder))
        deleteRecursive(db, child, seen, deleted);

    CSetFolder f(&db);
    f.Open(SqlFormat("SELECT * FROM FOLDER WHERE ID_FOLDER_FOLDER = %d", folder));
    if (f.IsEOF())
        throw DbException(QStringLiteral("Folder %1 is not stored").arg(folder));
    const FolderEntry entry{f.m_ID_FOLDER_FOLDER, f.m_ID_PARENT, f.m_NAME};
    f.Delete();
    f.Close();

    CSetAddress a(&db);
    a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d", folder));
    for (; !a.IsEOF(); a.MoveNext())
        a.Delete(); // its phones and e-mails go with it
    deleted.push_back(entry);
}

void copySubtree(CDatabase &db, std::int32_t source, std::int32_t parent, FolderCopyResult &result)
{
    const FolderEntry original = requireFolder(db, source);
    const FolderEntry copy = addFolderRow(db, original.name, parent);
    ++result.folders;
    for (const AddressEntry &address : addressRows(db, source))
        result.addresses.push_back(CopyAddressRow(db, address, copy.id));
    for (std::int32_t child : childFolderIds(db, source))
        copySubtree(db, child, copy.id, result);
}

} // namespace

bool SiblingNameExists(CDatabase &db, const QString &name, std::int32_t parent)
{
    CSetFolder f(&db);
    f.Open(SqlFormat("SELECT * FROM FOLDER WHERE NAME = '%s' AND ID_PARENT = %d", name, parent));
    return !f.IsEOF();
}

bool FolderIsEmpty(CDatabase &db, std::int32_t folder)
{
    return !FolderHasChildren(db, folder);
}

bool IsSameOrBelow(CDatabase &db, std::int32_t folder, std::int32_t ancestor)
{
    std::set<std::int32_t> seen;
    std::int32_t current = folder;
    while (current != -1 && seen.insert(current).second) {
        if (current == ancestor)
            return true;
        std::optional<FolderEntry> f = FolderById(db, current);
        if (!f)
            return false;
        current = f->parent;
    }
    return false;
}

std::set<std::int32_t> FolderIdSet(CDatabase &db, std::int32_t folder, bool subfolders)
{
    std::set<std::int32_t> ids{folder};
    if (!subfolders)
        return ids;
    std::vector<std::int32_t> pending{folder};
    while (!pending.empty()) {
        const std::int32_t next = pending.back();
        pending.pop_back();
        for (std::int32_t child : childFolderIds(db, next))
            if (ids.insert(child).second) // a damaged cycle is walked once
                pending.push_back(child);
    }
    return ids;
}

FolderCheck CheckNewFolder(CDatabase &db, QString &name, std::optional<std::int32_t> parent)
{
    name = name.trimmed();
    if (IsBlankText(name))
        return {MSG_NEW_FOLDER_EMPTY, true};
    if (ContainsDisallowed(name))
        return {MSG_DISALLOWED_CHARACTER, true};
    if (!parent)
        return {MSG_NO_FOLDER_SELECTED, false};
    if (SiblingNameExists(db, name, *parent))
        return {MSG_NEW_FOLDER_EXISTS, true};
    return {};
}

FolderCheck CheckRenameFolder(CDatabase &db, QString &name, const std::optional<FolderEntry> &folder,
                              const QString &currentText)
{
    name = name.trimmed();
    if (IsBlankText(name))
        return {MSG_RENAME_EMPTY, true};
    if (ContainsDisallowed(name))
        return {MSG_DISALLOWED_CHARACTER, true};
    if (!folder)
        return {MSG_NO_FOLDER_SELECTED, false};
    if (name == currentText)
        return {MSG_RENAME_SAME, true};
    // Ignores case, so a change of letter case alone finds the folder itself.
    if (SiblingNameExists(db, name, folder->parent))
        return {MSG_RENAME_EXISTS, true};
    return {};
}

int CheckMoveFolder(CDatabase &db, const std::optional<FolderEntry> &folder, std::optional<std::int32_t> destination)
{
    if (!folder)
        return MSG_MOVE_NONE;
    if (!destination)
        return MSG_MOVE_NO_DESTINATION;
    if (folder->parent == -1)
        return MSG_MOVE_ROOT;
    if (IsSameOrBelow(db, *destination, folder->id))
        return MSG_MOVE_INTO_ITSELF;
    if (*destination == folder->parent)
        return MSG_MOVE_INTO_PARENT;
    return CheckDropName(db, *folder, *destination);
}

int CheckDropName(CDatabase &db, const FolderEntry &folder, std::int32_t target)
{
    return SiblingNameExists(db, folder.name, target) ? MSG_DESTINATION_HAS_NAME : 0;
}

FolderEntry CreateFolder(CDatabase &db, const QString &name, std::int32_t parent)
{
    ScopedTransaction transaction(db);
    const FolderEntry entry = addFolderRow(db, name, parent);
    transaction.Commit();
    return entry;
}

void RenameFolder(CDatabase &db, std::int32_t folder, const QString &name)
{
    ScopedTransaction transaction(db);
    CSetFolder f(&db);
    f.Open(SqlFormat("SELECT * FROM FOLDER WHERE FOLDER.ID_FOLDER_FOLDER = %d", folder));
    if (f.IsEOF())
        throw DbException(QStringLiteral("Folder %1 is not stored").arg(folder));
    f.Edit();
    f.m_NAME = name;
    f.Update();
    f.Close();
    transaction.Commit();
}

std::vector<FolderEntry> DeleteFolderTree(CDatabase &db, std::int32_t folder)
{
    ScopedTransaction transaction(db);
    if (requireFolder(db, folder).parent == -1)
        throw DbException(QStringLiteral("The root folder cannot be deleted"));
    std::vector<FolderEntry> deleted;
    std::set<std::int32_t> seen;
    deleteRecursive(db, folder, seen, deleted);
    transaction.Commit();
    return deleted;
}

void MoveFolder(CDatabase &db, std::int32_t folder, std::int32_t newParent)
{
    ScopedTransaction transaction(db);
    CSetFolder f(&db);
    f.Open(SqlFormat("SELECT * FROM FOLDER WHERE ID_FOLDER_FOLDER = %d", folder));
    if (f.IsEOF())
        throw DbException(QStringLiteral("Folder %1 is not stored").arg(folder));
    if (f.m_ID_PARENT == -1)
        throw DbException(QStringLiteral("The root folder cannot be moved"));
    requireFolder(db, newParent);
    if (IsSameOrBelow(db, newParent, folder))
        throw DbException(QStringLiteral("A folder cannot be moved into itself"));
    f.Edit();
    f.m_ID_PARENT = newParent;
    f.Update();
    f.Close();
    transaction.Commit();
}

FolderCopyResult CopyFolder(CDatabase &db, std::int32_t source, std::int32_t target)
{
    ScopedTransaction transaction(db);
    const FolderEntry original = requireFolder(db, source);
    requireFolder(db, target);
    if (IsSameOrBelow(db, target, source))
        throw DbException(QStringLiteral("A folder cannot be copied into itself"));

    FolderCopyResult result;
    result.hasChildren = FolderHasChildren(db, source);
    result.folder = addFolderRow(db, original.name, target);
    result.folders = 1;
    const std::vector<std::int32_t> subfolders = childFolderIds(db, source);
    for (std::int32_t child : subfolders)
        copySubtree(db, child, result.folder.id, result);
    const std::vector<AddressEntry> addresses = addressRows(db, source);
    for (const AddressEntry &address : addresses)
        result.addresses.push_back(CopyAddressRow(db, address, result.folder.id));
    transaction.Commit();
    return result;
}
