#pragma once
// The import of addresses from the first worksheet of a spreadsheet file
// (.xls, .xlsx or .ods):
// the checks of the dialog's values, the reading of the rows, the question
// about addresses that already exist in the target folder and the writing of
// everything accepted in one transaction.
//
// The steps are separate so that other sources of addresses reuse them:
// any table of cell texts is an `ImportSheet` and goes through
// `ReadImportRows` with the same column mapping and row rules; any list of
// entries goes through `ReadExistingKeys`, `ResolveDuplicates` (question
// 59437) and `WriteImportEntries` (one transaction).
#include "importsheet.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

class IdAllocator;

class CDatabase;

// The eight items, in the order of the dialog's lists.
enum ImportItem { IMP_NAME = 0, IMP_STREET, IMP_TOWN, IMP_ZIP, IMP_COUNTRY, IMP_NOTE, IMP_PHONE, IMP_EMAIL, IMP_COUNT };

struct ImportSettings {
    QString fileName;
    QString beginRow = QStringLiteral("2");
    QString endRow;
    bool findAutomatically = true;
    // Column of each item counted from 1 (A is 1); 0 leaves an optional item out.
    std::array<int, IMP_COUNT> columns{1, 2, 3, 4, 5, 6, 7, 8};
    std::optional<int> folder; // target folder; none when nothing is selected

    // True for Name, Town/City and ZIP.
    static bool IsMandatory(int item) { return item == IMP_NAME || item == IMP_TOWN || item == IMP_ZIP; }
};

// Which field a failed check focuses.
enum class ImportField { None, FileName, BeginRow, EndRow, Mapping, Folder };

struct ImportCheck {
    int message = 0; // 0: all values fit
    ImportField focus = ImportField::None;
    int beginRow = 0, endRow = 0; // parsed rows (endRow 0 with "Find automatically")
    int highestColumn = 0;
};

// Checks 1 to 7 in their order; trims the three texts of `settings`.
ImportCheck CheckImportSettings(ImportSettings &settings);

using ImportPairs = std::vector<std::pair<QString, QString>>;

struct ImportEntry {
    QString name, street, town, zip, country, note;
    ImportPairs emails, phones;
};

// A multi-line cell as a stored text: lines trimmed, empty lines dropped,
// joined with carriage return + line feed.
QString CellToStoredText(const QString &cell);
// A phone or e-mail cell as (value, note) pairs: "111; 222 (home)". The
// note is the text inside the parentheses that close the part, so
// "+44 (0)20 7946 0000 (office)" keeps its "(0)" in the value.
ImportPairs CellToPairs(const QString &cell);
// True when the text holds a character no text may hold (U+0000).
bool HasDisallowedCharacter(const QString &text);

// What a long import asks of its window: progress from 0 to 100, pending
// events handled, and whether Cancel was pressed. Every member may be empty.
struct ImportObserver {
    std::function<void(int percent)> progress;
    std::function<void()> pump;
    std::function<bool()> cancelled;
};

// (NAME, TOWN, ZIP), compared exactly.
using ImportKey = std::tuple<QString, QString, QString>;

// The answer to question 59437 for one entry: TVB_YES, TVB_YESTOALL, TVB_NO
// or TVB_NOTOALL (anything else counts as Yes).
using DuplicateAsker = std::function<unsigned(const ImportEntry &entry)>;
// The question box itself.
DuplicateAsker AskDuplicateWithQuestion();

enum class ImportOutcome {
    Imported,  // summary to show (also when nothing remained to write)
    StayOpen,  // 59435, 59441 or 122 (cancelled) shown; the dialog stays open
    Cancelled, // 59433, 8 or 7 shown; nothing written; the dialog closes as cancelled
};

struct ImportResult {
    ImportOutcome outcome = ImportOutcome::Cancelled;
    int accepted = 0, skipped = 0, errors = 0;
};

// True for the names the import reads: ending in .xls, .xlsx or .ods (any
// letter case), with something before the extension.
bool IsImportFileName(const QString &fileName);

// The file's reader (the kind of spreadsheet is told by its bytes); null
// when the name has none of the extensions the import reads, or the file
// cannot be read.
std::unique_ptr<ImportSheet> OpenImportSheet(const QString &fileName, const ImportObserver &observer = {});

// The existing keys of the target folder; false after message 8.
bool ReadExistingKeys(CDatabase &db, int folder, std::set<ImportKey> &keys);

// Reading steps 2 to 5 on an open sheet: the used range checks (59435,
// 59441, warning 59434) and the row rules; appends the accepted rows to
// `entries` and counts accepted rows and errors in `result`. Returns
// Imported when the rows were read, StayOpen after 59435, 59441 or a
// cancel (message 122), Cancelled after 59433.
ImportOutcome ReadImportRows(const ImportSheet &sheet, const ImportSettings &settings, const ImportCheck &check,
                             std::vector<ImportEntry> &entries, ImportResult &result,
                             const ImportObserver &observer = {});

// The duplicate questions, in file order: keeps the entries to write and
// moves each declined one from `accepted` to `skipped`.
std::vector<ImportEntry> ResolveDuplicates(std::vector<ImportEntry> entries, const std::set<ImportKey> &existing,
                                           const DuplicateAsker &ask, ImportResult &result);
// The same for callers with counters of their own.
std::vector<ImportEntry> ResolveDuplicates(std::vector<ImportEntry> entries, const std::set<ImportKey> &existing,
                                           const DuplicateAsker &ask, int &accepted, int &skipped);

// Inserts entries into one folder inside the caller's transaction: an
// address row with its e-mails and phones each, identifiers from `ids`.
// Three INSERTs are prepared once and run with bound values for every row
// (preparing one per row, as a record set does, took most of the time of a
// large import); on either engine. Throws DbException on a failure.
class ImportEntryWriter {
public:
    ImportEntryWriter(CDatabase &db, IdAllocator &ids, int folder);
    ~ImportEntryWriter();
    ImportEntryWriter(const ImportEntryWriter &) = delete;
    ImportEntryWriter &operator=(const ImportEntryWriter &) = delete;
    // The new address's identifier.
    std::int32_t Write(const ImportEntry &entry);

private:
    struct Statements;
    std::unique_ptr<Statements> m_statements;
    IdAllocator &m_ids;
    int m_folder;
};

// Writes the entries into the folder in one transaction (the database as it
// was on any failure, message 8 or 7 shown); false on failure or when the
// observer's cancel was pressed (message 122 shown, nothing written).
bool WriteImportEntries(CDatabase &db, int folder, const std::vector<ImportEntry> &entries,
                        const ImportObserver &observer = {}, bool *cancelled = nullptr);

// Runs steps 8 and on for checked settings: reads the existing keys, the
// sheet, asks about duplicates, writes, reloads the panes. Shows every
// message except the summary.
ImportResult RunImport(CDatabase &db, const ImportSettings &settings, const ImportCheck &check,
                       const DuplicateAsker &ask = AskDuplicateWithQuestion(), const ImportObserver &observer = {});

// The summary 59438 with the three counts.
void ShowImportSummary(const ImportResult &result);

// The column letter list of the dialog: "A" to "Z".
QString ColumnLetter(int column);
constexpr int kImportColumnCount = 26;
