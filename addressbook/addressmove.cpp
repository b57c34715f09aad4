#include "addressmove.h"
#include "addressrecords.h"
#include "ids.h"
#include "recordsets.h"
#include "scopedtransaction.h"
#include "sqlformat.h"

#include <map>
#include <set>

namespace {

void requireFolder(CDatabase &db, std::int32_t folder)
{
    if (!FolderById(db, folder))
        throw DbException(QStringLiteral("Folder %1 is not stored").arg(folder));
}

// Points a stored address at another folder (inside the caller's transaction).
void setAddressFolder(CDatabase &db, std::int32_t address, std::int32_t folder)
{
    CSetAddress a(&db);
    a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", address));
    if (a.IsEOF())
        throw DbException(QStringLiteral("Address %1 is not stored").arg(address));
    a.Edit();
    a.m_ID_ADDRESS_FOLDER = folder;
    a.Update();
}

} // namespace

int CheckMoveAddress(const AddressEntry &address, std::optional<std::int32_t> destination)
{
    if (!destination)
        return MSG_MOVE_NO_FOLDER;
    if (*destination == address.folder)
        return MSG_MOVE_SAME_FOLDER;
    return 0;
}

int CheckCopyAddress(const AddressEntry &address, std::optional<std::int32_t> destination)
{
    if (!destination)
        return MSG_COPY_NO_FOLDER;
    if (*destination == address.folder)
        return MSG_COPY_SAME_FOLDER;
    return 0;
}

void MoveAddress(CDatabase &db, std::int32_t address, std::int32_t folder)
{
    ScopedTransaction transaction(db);
    requireFolder(db, folder);
    setAddressFolder(db, address, folder);
    transaction.Commit();
}

AddressEntry CopyAddress(CDatabase &db, std::int32_t address, std::int32_t folder)
{
    ScopedTransaction transaction(db);
    CSetAddress source(&db);
    source.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", address));
    if (source.IsEOF())
        throw DbException(QStringLiteral("Address %1 is not stored").arg(address));
    const AddressEntry original = AddressFromRecord(source);
    source.Close();
    AddressEntry copy = CopyAddressRow(db, original, folder);
    transaction.Commit();
    return copy;
}

AddressEntry CopyAddressRow(CDatabase &db, const AddressEntry &original, std::int32_t folder)
{
    ScopedTransaction transaction(db);
    const std::int32_t address = original.id;
    AddressEntry copy = original;
    copy.emails.reset();
    copy.phones.reset();
    IdAllocator ids(db);
    copy.id = ids.Next(IdCounter::Address);
    copy.folder = folder;
    CSetAddress target(&db);
    target.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE 0"));
    target.AddNew();
    target.m_ID_ADDRESS_ADDRESS = copy.id;
    target.m_ID_ADDRESS_FOLDER = folder;
    target.m_NAME = copy.name;
    target.m_STREET = copy.street;
    target.m_TOWN = copy.town;
    target.m_ZIP = copy.zip;
    target.m_COUNTRY = copy.country;
    target.m_NOTE = copy.note;
    target.Update();
    target.Close();

    // Both lists are read whole before anything is added.
    ValueNoteList emails, phones;
    {
        CSetEmail e(&db);
        e.Open(SqlFormat("SELECT * FROM EMAIL WHERE ID_EMAIL_ADDRESS = %d", address));
        for (; !e.IsEOF(); e.MoveNext())
            emails.emplace_back(e.m_EMAIL, e.m_NOTE);
        CSetTel t(&db);
        t.Open(SqlFormat("SELECT * FROM TEL WHERE ID_TEL_ADDRESS = %d", address));
        for (; !t.IsEOF(); t.MoveNext())
            phones.emplace_back(t.m_PHONE, t.m_NOTE);
    }
    if (!emails.empty()) {
        CSetEmail e(&db);
        e.Open(QStringLiteral("SELECT * FROM EMAIL WHERE 0"));
        for (const auto &[value, note] : emails) {
            e.AddNew();
            e.m_ID_EMAIL_EMAIL = ids.Next(IdCounter::Email);
            e.m_ID_EMAIL_ADDRESS = copy.id;
            e.m_EMAIL = value;
            e.m_NOTE = note;
            e.Update();
        }
    }
    if (!phones.empty()) {
        CSetTel t(&db);
        t.Open(QStringLiteral("SELECT * FROM TEL WHERE 0"));
        for (const auto &[value, note] : phones) {
            t.AddNew();
            t.m_ID_TEL_TEL = ids.Next(IdCounter::Tel);
            t.m_ID_TEL_ADDRESS = copy.id;
            t.m_PHONE = value;
            t.m_NOTE = note;
            t.Update();
        }
    }
    ids.Finish();
    transaction.Commit();
    return copy;
}

std::vector<AddressEntry> MassMoveListing(CDatabase &db, std::int32_t folder)
{
    std::vector<AddressEntry> rows;
    CSetAddress a(&db);
    a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d ORDER BY NAME DESC", folder));
    for (; !a.IsEOF(); a.MoveNext())
        rows.insert(rows.begin(), AddressFromRecord(a)); // each row read goes to the top
    return rows;
}

int CheckMassTransfer(std::optional<std::int32_t> source, std::optional<std::int32_t> destination,
                      bool anyRowSelected)
{
    if (!source || !destination)
        return MSG_MASS_NO_FOLDERS;
    if (*source == *destination)
        return MSG_MASS_SAME_FOLDER;
    if (!anyRowSelected)
        return MSG_MASS_NO_ADDRESS;
    return 0;
}

std::vector<MassMoveChange> PlanMassMove(std::int32_t source, std::int32_t destination,
                                         const std::vector<AddressEntry> &sourceRows,
                                         const std::vector<AddressEntry> &destinationRows)
{
    std::vector<MassMoveChange> changes;
    for (auto it = sourceRows.rbegin(); it != sourceRows.rend(); ++it)
        if (it->folder == destination)
            changes.push_back({it->id, destination, source});
    for (auto it = destinationRows.rbegin(); it != destinationRows.rend(); ++it)
        if (it->folder == source)
            changes.push_back({it->id, source, destination});
    return changes;
}

void ApplyMassMove(CDatabase &db, const std::vector<MassMoveChange> &changes)
{
    ScopedTransaction transaction(db);
    // Each folder's rows are read once, through the folder's index, and the
    // rows that change are edited there.
    std::map<std::int32_t, std::map<std::int32_t, std::int32_t>> byFolder; // from -> (address -> to)
    std::set<std::int32_t> destinations;
    for (const MassMoveChange &c : changes) {
        byFolder[c.from][c.address] = c.to;
        destinations.insert(c.to);
    }
    for (std::int32_t folder : destinations)
        requireFolder(db, folder);
    for (const auto &[from, moves] : byFolder) {
        CSetAddress a(&db);
        a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d", from));
        std::size_t done = 0;
        for (; !a.IsEOF(); a.MoveNext()) {
            const auto it = moves.find(a.m_ID_ADDRESS_ADDRESS);
            if (it == moves.end())
                continue;
            a.Edit();
            a.m_ID_ADDRESS_FOLDER = it->second;
            a.Update();
            ++done;
        }
        if (done != moves.size())
            throw DbException(QStringLiteral("An address to move is no longer in folder %1").arg(from));
    }
    transaction.Commit();
}
