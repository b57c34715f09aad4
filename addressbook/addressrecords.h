#pragma once
// Storing, changing and deleting addresses with their phones and e-mails.
// These functions throw DbException (or std::bad_alloc); callers wrap them in
// DbOperation/DbTransaction for the messages and the rollback.
#include "addressentry.h"
#include "database.h"

class CSetAddress;

// An address read from the current row of an ADDRESS record set.
AddressEntry AddressFromRecord(const CSetAddress &set);

// The phones and e-mails of an address, in ascending order.
ValueNoteList LoadPhones(CDatabase &db, std::int32_t address);
ValueNoteList LoadEmails(CDatabase &db, std::int32_t address);

// True when the folder holds an address with this name, street and town
// (other than `exceptAddress` when that is not -1).
bool HasDuplicateAddress(CDatabase &db, const QString &name, const QString &street, const QString &town,
                         std::int32_t folder, std::int32_t exceptAddress = -1);

// What a save says when another program deleted the folder or the address
// meanwhile (DbGoneException); the page keeps what was entered.
inline constexpr const char *kFolderGoneText =
    "The folder was deleted in another program meanwhile, so the address was not saved.\n"
    "What you entered is still here: choose another folder and save it again.";
inline constexpr const char *kAddressChangedText =
    "The address was changed in another program since it was shown here, so your changes were not saved.\n"
    "What you entered is still here: save again to replace the other changes with yours, or select the\n"
    "address again to see them.";
inline constexpr const char *kAddressGoneText =
    "The address was deleted in another program meanwhile, so the changes were not saved.\n"
    "What you entered is still here: choose a folder and insert it as a new address.";

// Writes a new address (ADDRESS row, then phones, then e-mails, identifiers
// in that order) in one transaction; returns its identifier. Throws
// DbGoneException when the folder is not stored (any more).
std::int32_t SaveNewAddress(CDatabase &db, const AddressEntry &address, const ValueNoteList &phones,
                            const ValueNoteList &emails, std::int32_t folder);

// Rewrites an address and replaces all of its phones and e-mails, in one
// transaction. Throws DbGoneException when the address is not stored.
// With `asRead` (the address as the page read it, with the phone and e-mail
// lists it read when they are present), an address that another program
// changed since then is not overwritten: DbGoneException with
// kAddressChangedText, nothing written.
void SaveEditedAddress(CDatabase &db, const AddressEntry &address, const ValueNoteList &phones,
                       const ValueNoteList &emails, const AddressEntry *asRead = nullptr);

// Deletes the ADDRESS row (the database removes its phones and e-mails).
void DeleteAddressRow(CDatabase &db, std::int32_t address);

// Every address of a folder, ordered NAME, STREET, TOWN, ZIP.
std::vector<AddressEntry> AddressesOfFolder(CDatabase &db, std::int32_t folder);
// Subfolders of a folder in name order (with -1: the root).
std::vector<FolderEntry> SubfoldersOf(CDatabase &db, std::int32_t parent);
// True when the folder has a subfolder or an address.
bool FolderHasChildren(CDatabase &db, std::int32_t folder);
std::optional<FolderEntry> FolderById(CDatabase &db, std::int32_t folder);
// Names from the root down to the folder.
QStringList FolderPathNames(CDatabase &db, std::int32_t folder);
