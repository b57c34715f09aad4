#include "excelimport.h"

#include "addressentry.h"

#include "dberror.h"
#include "engine.h"
#include "exchangehooks.h"
#include "ids.h"
#include "recordsets.h"
#include "sqlformat.h"
#include "tvmessage.h"
#include "tvparse.h"
#include "xlsreader.h"

#include <QStringList>
#include <cstdint>
#include <new>

namespace {

enum {
    MSG_MEMORY = 7,
    MSG_DATABASE = 8,
    MSG_CANCELLED = 122,
    MSG_NO_FOLDER = 59427,
    MSG_BEGIN_ROW = 59428,
    MSG_END_ROW = 59429,
    MSG_BEGIN_AFTER_END = 59430,
    MSG_MANDATORY = 59431,
    MSG_SAME_COLUMNS = 59432,
    MSG_READ_FAILED = 59433,
    MSG_FEWER_ROWS_THAN_END = 59434,
    MSG_FEW_COLUMNS = 59435,
    MSG_NO_FILE = 59436,
    MSG_DUPLICATE = 59437,
    MSG_SUMMARY = 59438,
    MSG_NOT_XLS = 59440,
    MSG_FEWER_ROWS_THAN_BEGIN = 59441,
};

constexpr int kMaxRow = 999999999;
constexpr int kMaxText = kMaxTextCharacters;

using Key = ImportKey;

void report(const ImportObserver &o, int percent)
{
    if (o.progress)
        o.progress(percent);
}

// Handles pending events and tells whether Cancel was pressed.
bool cancelRequested(const ImportObserver &o)
{
    if (o.pump)
        o.pump();
    return o.cancelled && o.cancelled();
}

// How the work of one import is shared out over the progress bar.
constexpr int kProgressRead = 40, kProgressRows = 60;

bool tooLong(const ImportEntry &e)
{
    for (const QString *t : {&e.name, &e.street, &e.town, &e.zip, &e.country, &e.note})
        if (CharacterCount(*t) > kMaxText)
            return true;
    for (const ImportPairs *list : {&e.phones, &e.emails})
        for (const auto &[value, note] : *list)
            if (CharacterCount(value) > kMaxText || CharacterCount(note) > kMaxText)
                return true;
    return false;
}

} // namespace

QString ColumnLetter(int column)
{
    if (column < 1 || column > kImportColumnCount)
        return QString();
    return QString(QChar(u'A' + (column - 1)));
}

ImportCheck CheckImportSettings(ImportSettings &s)
{
    ImportCheck check;
    auto fail = [&](int message, ImportField focus) {
        check.message = message;
        check.focus = focus;
        return check;
    };
    // 1.
    s.fileName = s.fileName.trimmed();
    s.beginRow = s.beginRow.trimmed();
    s.endRow = s.endRow.trimmed();
    if (s.fileName.isEmpty())
        return fail(MSG_NO_FILE, ImportField::FileName);
    // 2. (.xlsx and .ods besides .xls)
    if (!IsImportFileName(s.fileName))
        return fail(MSG_NOT_XLS, ImportField::FileName);
    // 3.
    std::int32_t begin = 0;
    if (!TVIsLong(s.beginRow, begin, 1, kMaxRow))
        return fail(MSG_BEGIN_ROW, ImportField::BeginRow);
    check.beginRow = begin;
    // 4.
    if (!s.findAutomatically) {
        std::int32_t end = 0;
        if (!TVIsLong(s.endRow, end, 1, kMaxRow))
            return fail(MSG_END_ROW, ImportField::EndRow);
        if (end < begin)
            return fail(MSG_BEGIN_AFTER_END, ImportField::BeginRow);
        check.endRow = end;
    }
    // 5.
    for (int item = 0; item < IMP_COUNT; ++item)
        if (ImportSettings::IsMandatory(item) &&
            (s.columns[std::size_t(item)] < 1 || s.columns[std::size_t(item)] > kImportColumnCount))
            return fail(MSG_MANDATORY, ImportField::Mapping);
    // 6.
    std::set<int> used;
    for (int item = 0; item < IMP_COUNT; ++item) {
        const int column = s.columns[std::size_t(item)];
        if (column < 1)
            continue;
        if (column > kImportColumnCount || !used.insert(column).second)
            return fail(MSG_SAME_COLUMNS, ImportField::Mapping);
        check.highestColumn = std::max(check.highestColumn, column);
    }
    // 7.
    if (!s.folder)
        return fail(MSG_NO_FOLDER, ImportField::Folder);
    return check;
}

QString CellToStoredText(const QString &cell)
{
    QStringList lines;
    for (const QString &line : cell.split(u'\n')) {
        const QString t = line.trimmed();
        if (!t.isEmpty())
            lines << t;
    }
    return lines.join(QStringLiteral("\r\n"));
}

ImportPairs CellToPairs(const QString &cell)
{
    ImportPairs out;
    for (const QString &part : cell.split(u';')) {
        const QString p = part.trimmed();
        if (p.isEmpty())
            continue;
        // The "(" that matches the closing ")", so that parentheses inside
        // the value or the note stay where they are.
        qsizetype open = -1;
        if (p.endsWith(u')')) {
            int depth = 0;
            for (qsizetype i = p.size() - 1; i >= 0; --i) {
                if (p[i] == u')')
                    ++depth;
                else if (p[i] == u'(' && --depth == 0) {
                    open = i;
                    break;
                }
            }
        }
        if (open > 0)
            out.emplace_back(p.left(open).trimmed(), p.mid(open + 1, p.size() - open - 2).trimmed());
        else
            out.emplace_back(p, QString());
    }
    return out;
}

bool HasDisallowedCharacter(const QString &text)
{
    return ContainsDisallowed(text);
}

DuplicateAsker AskDuplicateWithQuestion()
{
    return [](const ImportEntry &e) {
        return CTVQuestion::Show(MSG_DUPLICATE, TVB_YES | TVB_YESTOALL | TVB_NO | TVB_NOTOALL, e.name, e.town, e.zip);
    };
}

void ShowImportSummary(const ImportResult &r)
{
    CTVInfo info(MSG_SUMMARY, TVB_OK, r.accepted, r.skipped, r.errors);
}

bool IsImportFileName(const QString &fileName)
{
    const QString lower = fileName.toLower();
    for (const char *ext : {".xls", ".xlsx", ".ods"}) {
        const QLatin1String e(ext);
        if (lower.endsWith(e) && lower.size() > e.size())
            return true;
    }
    // A name such as "dataxls" (no dot) is read as an .xls file, as it always was.
    return lower.size() > 4 && lower.endsWith(QLatin1String("xls"));
}

std::unique_ptr<ImportSheet> OpenImportSheet(const QString &fileName, const ImportObserver &observer)
{
    if (!IsImportFileName(fileName))
        return nullptr;
    auto reader = std::make_unique<XlsSheetReader>();
    std::function<bool()> keepGoing;
    if (observer.pump || observer.cancelled)
        keepGoing = [&observer] { return !cancelRequested(observer); };
    if (!reader->Open(fileName, 120000, keepGoing))
        return nullptr;
    return reader;
}

bool ReadExistingKeys(CDatabase &db, int folder, std::set<ImportKey> &keys)
{
    return DbOperation(db, [&] {
        CSetAddress set(&db);
        set.Open(SqlFormat(QStringLiteral("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d"), folder));
        for (; !set.IsEOF(); set.MoveNext())
            keys.emplace(set.m_NAME, set.m_TOWN, set.m_ZIP);
    });
}

ImportOutcome ReadImportRows(const ImportSheet &sheet, const ImportSettings &settings, const ImportCheck &check,
                             std::vector<ImportEntry> &entries, ImportResult &result, const ImportObserver &observer)
{
    if (sheet.LastColumn() < unsigned(check.highestColumn)) {
        CTVError error(MSG_FEW_COLUMNS);
        return ImportOutcome::StayOpen;
    }
    if (sheet.LastRow() < unsigned(check.beginRow)) {
        CTVError error(MSG_FEWER_ROWS_THAN_BEGIN);
        return ImportOutcome::StayOpen;
    }
    unsigned last = sheet.LastRow();
    if (!settings.findAutomatically) {
        if (sheet.LastRow() < unsigned(check.endRow))
            CTVWarning warning(MSG_FEWER_ROWS_THAN_END);
        else
            last = unsigned(check.endRow);
    }
    auto cell = [&](unsigned row, int item, QString &text) {
        const int column = settings.columns[std::size_t(item)];
        if (column < 1) {
            text.clear();
            return true;
        }
        return sheet.CellText(row, unsigned(column), text);
    };
    const unsigned first = unsigned(check.beginRow);
    const unsigned total = last >= first ? last - first + 1 : 1;
    QString text;
    for (unsigned r = first; r <= last; ++r) {
        if ((r - first) % 1024 == 1023) {
            report(observer, kProgressRead + int(std::uint64_t(r - first) * (kProgressRows - kProgressRead) / total));
            if (cancelRequested(observer)) {
                CTVInfo info(MSG_CANCELLED);
                return ImportOutcome::StayOpen;
            }
        }
        ImportEntry e;
        QString *texts[] = {&e.name, &e.street, &e.town, &e.zip, &e.country, &e.note};
        for (int item = IMP_NAME; item <= IMP_NOTE; ++item) {
            if (!cell(r, item, text)) {
                CTVError error(MSG_READ_FAILED);
                return ImportOutcome::Cancelled;
            }
            *texts[item] = item == IMP_ZIP ? text : CellToStoredText(text);
        }
        if (!cell(r, IMP_PHONE, text)) {
            CTVError error(MSG_READ_FAILED);
            return ImportOutcome::Cancelled;
        }
        e.phones = CellToPairs(text);
        if (!cell(r, IMP_EMAIL, text)) {
            CTVError error(MSG_READ_FAILED);
            return ImportOutcome::Cancelled;
        }
        e.emails = CellToPairs(text);
        for (QString *t : texts)
            *t = t->trimmed();
        if (settings.findAutomatically && IsBlankText(e.name))
            break;
        bool refused = IsBlankText(e.name) || IsBlankText(e.town) || IsBlankText(e.zip);
        for (QString *t : texts)
            refused = refused || HasDisallowedCharacter(*t);
        // A text the database cannot hold would fail the whole import.
        refused = refused || tooLong(e);
        if (refused) {
            ++result.errors;
            continue;
        }
        entries.push_back(std::move(e));
        ++result.accepted;
    }
    report(observer, kProgressRows);
    return ImportOutcome::Imported;
}

std::vector<ImportEntry> ResolveDuplicates(std::vector<ImportEntry> entries, const std::set<ImportKey> &existing,
                                           const DuplicateAsker &ask, int &accepted, int &skipped)
{
    std::vector<ImportEntry> kept;
    kept.reserve(entries.size());
    bool yesToAll = false, noToAll = false;
    for (ImportEntry &e : entries) {
        if (yesToAll || !existing.count(Key(e.name, e.town, e.zip))) {
            kept.push_back(std::move(e));
            continue;
        }
        if (noToAll) {
            --accepted;
            ++skipped;
            continue;
        }
        const unsigned answer = ask(e);
        if (answer == TVB_NO || answer == TVB_NOTOALL) {
            noToAll = answer == TVB_NOTOALL;
            --accepted;
            ++skipped;
            continue;
        }
        yesToAll = answer == TVB_YESTOALL;
        kept.push_back(std::move(e));
    }
    return kept;
}

std::vector<ImportEntry> ResolveDuplicates(std::vector<ImportEntry> entries, const std::set<ImportKey> &existing,
                                           const DuplicateAsker &ask, ImportResult &result)
{
    return ResolveDuplicates(std::move(entries), existing, ask, result.accepted, result.skipped);
}

// An INSERT prepared once and run for many rows: identifiers first, then
// texts (the names, unquoted, reach a server's tables too).
class BoundInsert {
public:
    BoundInsert(CDatabase &db, const char *sql) : m_stmt(db.Engine().Prepare(QString::fromLatin1(sql))) {}

    void run(std::initializer_list<std::int32_t> ids, std::initializer_list<const QString *> texts)
    {
        int index = 0;
        for (std::int32_t id : ids)
            m_stmt->Bind(++index, QVariant(qlonglong(id)));
        for (const QString *t : texts)
            m_stmt->Bind(++index, QVariant(*t));
        m_stmt->Step();
        m_stmt->Reset();
    }

private:
    std::unique_ptr<DbStatement> m_stmt;
};

struct ImportEntryWriter::Statements {
    explicit Statements(CDatabase &db)
        : address(db, "INSERT INTO ADDRESS (ID_ADDRESS_FOLDER, ID_ADDRESS_ADDRESS, NAME, STREET, TOWN, ZIP, COUNTRY, "
                      "NOTE) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
          email(db, "INSERT INTO EMAIL (ID_EMAIL_EMAIL, ID_EMAIL_ADDRESS, EMAIL, NOTE) VALUES (?, ?, ?, ?)"),
          tel(db, "INSERT INTO TEL (ID_TEL_TEL, ID_TEL_ADDRESS, PHONE, NOTE) VALUES (?, ?, ?, ?)")
    {
    }
    BoundInsert address, email, tel;
};

ImportEntryWriter::ImportEntryWriter(CDatabase &db, IdAllocator &ids, int folder)
    : m_statements(std::make_unique<Statements>(db)), m_ids(ids), m_folder(folder)
{
}

ImportEntryWriter::~ImportEntryWriter() = default;

std::int32_t ImportEntryWriter::Write(const ImportEntry &e)
{
    const std::int32_t id = m_ids.Next(IdCounter::Address);
    m_statements->address.run({m_folder, id}, {&e.name, &e.street, &e.town, &e.zip, &e.country, &e.note});
    for (const auto &[value, note] : e.emails)
        m_statements->email.run({m_ids.Next(IdCounter::Email), id}, {&value, &note});
    for (const auto &[value, note] : e.phones)
        m_statements->tel.run({m_ids.Next(IdCounter::Tel), id}, {&value, &note});
    return id;
}

bool WriteImportEntries(CDatabase &db, int folder, const std::vector<ImportEntry> &entries,
                        const ImportObserver &observer, bool *cancelled)
{
    // A cancel inside the transaction rolls it back; it is told apart from
    // a database failure by this exception.
    struct Cancelled {};
    bool stopped = false;
    bool written = false;
    const int depth = db.TransactionDepth();
    try {
        written = DbTransaction(db, [&] {
            IdAllocator ids(db);
            ImportEntryWriter writer(db, ids, folder);
            std::size_t done = 0;
            for (const ImportEntry &e : entries) {
                if (++done % 1024 == 0) {
                    report(observer, kProgressRows + int(done * (100 - kProgressRows) / entries.size()));
                    if (cancelRequested(observer))
                        throw Cancelled{};
                }
                writer.Write(e);
            }
            ids.Finish();
        });
    } catch (const Cancelled &) {
        while (db.TransactionDepth() > depth)
            db.Rollback();
        stopped = true;
        written = false;
    }
    if (cancelled)
        *cancelled = stopped;
    if (stopped)
        CTVInfo info(MSG_CANCELLED);
    if (written)
        report(observer, 100);
    return written;
}

ImportResult RunImport(CDatabase &db, const ImportSettings &settings, const ImportCheck &check,
                       const DuplicateAsker &ask, const ImportObserver &observer)
{
    ImportResult result;
    const int folder = *settings.folder;
    try {
        // 8. The existing keys of the target folder.
        std::set<Key> existing;
        if (!ReadExistingKeys(db, folder, existing))
            return result;

        // Reading the file.
        std::vector<ImportEntry> entries;
        {
            bool cancelled = false;
            ImportObserver reading = observer;
            reading.cancelled = [&] {
                cancelled = cancelled || (observer.cancelled && observer.cancelled());
                return cancelled;
            };
            report(observer, 0);
            const std::unique_ptr<ImportSheet> sheet = OpenImportSheet(settings.fileName, reading);
            if (cancelled) {
                CTVInfo info(MSG_CANCELLED);
                result.outcome = ImportOutcome::StayOpen;
                return result;
            }
            if (!sheet) {
                CTVError error(MSG_READ_FAILED);
                return result;
            }
            report(observer, kProgressRead);
            result.outcome = ReadImportRows(*sheet, settings, check, entries, result, observer);
            if (result.outcome != ImportOutcome::Imported)
                return result;
        }

        // Duplicates.
        const std::vector<ImportEntry> kept = ResolveDuplicates(std::move(entries), existing, ask, result);

        // Writing, in one transaction.
        if (!kept.empty()) {
            bool cancelled = false;
            if (!WriteImportEntries(db, folder, kept, observer, &cancelled)) {
                result.outcome = cancelled ? ImportOutcome::StayOpen : ImportOutcome::Cancelled;
                return result;
            }
            // A pane that cannot be filled again has ended the program.
            if (!NotifyAddressBookChanged())
                return result;
        }
    } catch (const std::bad_alloc &) {
        CTVError error(MSG_MEMORY);
        result.outcome = ImportOutcome::Cancelled;
        return result;
    }
    report(observer, 100);
    result.outcome = ImportOutcome::Imported;
    return result;
}
