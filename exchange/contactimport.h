#pragma once
// Contacts in and out: the import of a vCard (.vcf) or CSV file into one
// folder and the export of a folder to either format. The import checks
// every address as the spreadsheet import does (a NAME is needed, texts at
// most 255 characters, a longer NOTE is cut and counted), asks question
// 59437 about addresses that already exist in the folder and writes all of
// them in one transaction, which a Cancel rolls back. No widgets: the dialogs
// and the command line both call these functions.
#include "csvcontacts.h"
#include "excelimport.h"
#include "vcard.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

class CDatabase;

enum class ContactFormat { VCard, Csv };

// .vcf and .vcard are vCards, .csv is CSV (any letter case); none otherwise.
std::optional<ContactFormat> ContactFormatOfFile(const QString &fileName);

// What a long operation asks of its window: progress 0..100 (the window
// handles its pending events there) and whether Cancel was pressed.
struct ContactObserver {
    std::function<void(int percent)> progress;
    std::function<bool()> cancelled;
};

// Files larger than this are refused before they are read.
constexpr qint64 kContactFileLimit = qint64(256) * 1024 * 1024;

struct ContactAddress {
    ImportEntry entry;
    bool noteShortened = false;
};

struct ContactFile {
    std::vector<ContactAddress> addresses; // every card or record, in file order
    int damaged = 0;   // cards cut off, a record cut inside quotes
    QString encoding;  // as read
    CsvLayout layout = CsvLayout::None; // CSV only
    CsvMapping mapping;                 // CSV only: the mapping used
    QStringList firstRecord;            // CSV only: for the mapping dialog
};

// Reads and converts a file. On failure shows the message (59447 unreadable,
// 59448 no card, 59449 nothing in it, 59451 too large,
// 59458 not a text file) and returns false;
// with a cancel returns false and sets `*cancelled`. A CSV file uses
// `csvMapping` when given, else the recognised header, else the columns A-H.
bool ReadContactFile(const QString &path, ContactFormat format, const std::optional<CsvMapping> &csvMapping,
                     ContactFile &file, const ContactObserver &observer = {}, bool *cancelled = nullptr);

// Refusal of one address: the message-free rule the import counts as an
// error (a NAME empty or made of invisible characters, a text over 255
// characters, a disallowed character).
bool IsRefusedContact(const ImportEntry &entry);

struct ContactImportResult {
    ImportOutcome outcome = ImportOutcome::Cancelled;
    int accepted = 0, skipped = 0, errors = 0, shortened = 0;
    bool cancelled = false; // Cancel pressed: nothing written, 59450 shown
};

// Reads the file, counts refused addresses, asks about duplicates, writes in
// one transaction and tells the main window (NotifyAddressBookChanged).
// Shows every message except the summary.
ContactImportResult RunContactImport(CDatabase &db, const QString &path, ContactFormat format, int folder,
                                     const DuplicateAsker &ask, const ContactObserver &observer = {},
                                     const std::optional<CsvMapping> &csvMapping = std::nullopt);
// The summary 59446 with the four counts.
void ShowContactImportSummary(const ContactImportResult &result);

// The addresses of the folders in the export's order (NAME; phones by
// PHONE, e-mails by EMAIL). Throws DbException.
std::vector<ImportEntry> ReadExportAddresses(CDatabase &db, int folder, bool subfolders);

enum class ContactExportOutcome { Exported, Cancelled, Failed };

// Writes FILE.part and renames it over FILE when complete; a cancel or a
// failure leaves no file (and an earlier FILE untouched). Shows 8, 7,
// 59455 (not written) or 59454 (cancelled); the success message is the caller's.
ContactExportOutcome ExportContacts(CDatabase &db, int folder, bool subfolders, const QString &path,
                                    ContactFormat format, VCardVersion version, int *exported = nullptr,
                                    const ContactObserver &observer = {});
