#pragma once
// Moving and copying addresses between folders, one by one and in bulk.
// The operations throw DbException (or std::bad_alloc) and each runs in one
// transaction of its own (nested in the caller's when one is open).
#include "addressentry.h"
#include "database.h"

#include <optional>
#include <vector>

enum AddressMoveMessage {
    MSG_MASS_NO_FOLDERS = 36,
    MSG_MASS_SAME_FOLDER = 37,
    MSG_MASS_NO_ADDRESS = 38,
    MSG_MOVE_NO_ADDRESS = 57354,
    MSG_MOVE_NO_FOLDER = 57355,
    MSG_MOVE_SAME_FOLDER = 57356,
    MSG_COPY_NO_ADDRESS = 57357,
    MSG_COPY_NO_FOLDER = 57358,
    MSG_COPY_SAME_FOLDER = 57359, // a question
};

// Checks of "Moving address to another folder": 57355, 57356 (0: go ahead).
int CheckMoveAddress(const AddressEntry &address, std::optional<std::int32_t> destination);
// Checks of "Copying address to another folder": 57358, then 57359 (the
// question whether to copy into the address's own folder).
int CheckCopyAddress(const AddressEntry &address, std::optional<std::int32_t> destination);

// Files an address in another folder; throws when it is not stored.
void MoveAddress(CDatabase &db, std::int32_t address, std::int32_t folder);

// Copies an address with its e-mails and phones into `folder`: a new
// ADDRESS row with the six texts, then one EMAIL and one TEL row per e-mail
// and phone, identifiers from IDS. Returns the copy (without caches).
// Throws when the source is not stored.
AddressEntry CopyAddress(CDatabase &db, std::int32_t address, std::int32_t folder);
// The same for an address whose row the caller has just read (`source`
// carries its identifier and six texts), as a folder copy does for every
// address of a folder it listed.
AddressEntry CopyAddressRow(CDatabase &db, const AddressEntry &source, std::int32_t folder);

// Mass move: the addresses of one folder as the dialog lists them,
// ascending by name.
std::vector<AddressEntry> MassMoveListing(CDatabase &db, std::int32_t folder);
// Checks of an arrow transfer: 36, 37, 38.
int CheckMassTransfer(std::optional<std::int32_t> source, std::optional<std::int32_t> destination,
                      bool anyRowSelected);

// One address that changes folder when the transfers are written.
struct MassMoveChange {
    std::int32_t address = -1;
    std::int32_t from = -1;
    std::int32_t to = -1;
};
// The changes the two lists stand for under the locked pair: rows of the
// source list listed in the destination go back to the source, rows of the
// destination list listed in the source go to the destination. Each list
// is walked from its last row to its first; the source list first.
std::vector<MassMoveChange> PlanMassMove(std::int32_t source, std::int32_t destination,
                                         const std::vector<AddressEntry> &sourceRows,
                                         const std::vector<AddressEntry> &destinationRows);
// Writes the changes in one transaction; throws when an address is gone.
void ApplyMassMove(CDatabase &db, const std::vector<MassMoveChange> &changes);
