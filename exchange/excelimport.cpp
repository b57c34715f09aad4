#include "excelimport.h"

#include "addressentry.h"

#include "dberror.h"
#include "exchangehooks.h"
#include "ids.h"
#include "recordsets.h"
#include "sqlformat.h"
#include "tvmessage.h"
#include "tvparse.h"
#include "xlsreader.h"

#include <QStringList>
#include <new>

namespace {

enum {
    MSG_MEMORY = 7,
    MSG_DATABASE = 8,
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

using Key = std::tuple<QString, QString, QString>;

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
    // 2.
    if (s.fileName.size() <= 4 || s.fileName.right(3).toLower() != QLatin1String("xls"))
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
        const qsizetype open = p.indexOf(u'(', 1);
        if (open > 0 && p.endsWith(u')'))
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

ImportResult RunImport(CDatabase &db, const ImportSettings &settings, const ImportCheck &check,
                       const DuplicateAsker &ask)
{
    ImportResult result;
    const int folder = *settings.folder;
    try {
        // 8. The existing keys of the target folder.
        std::set<Key> existing;
        const bool keysRead = DbOperation(db, [&] {
            CSetAddress set(&db);
            set.Open(SqlFormat(QStringLiteral("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d"), folder));
            for (; !set.IsEOF(); set.MoveNext())
                existing.emplace(set.m_NAME, set.m_TOWN, set.m_ZIP);
        });
        if (!keysRead)
            return result;

        // Reading the file.
        std::vector<ImportEntry> entries;
        {
            XlsSheetReader reader;
            if (!reader.Open(settings.fileName)) {
                CTVError error(MSG_READ_FAILED);
                return result;
            }
            if (reader.LastColumn() < unsigned(check.highestColumn)) {
                reader.Close();
                CTVError error(MSG_FEW_COLUMNS);
                result.outcome = ImportOutcome::StayOpen;
                return result;
            }
            if (reader.LastRow() < unsigned(check.beginRow)) {
                reader.Close();
                CTVError error(MSG_FEWER_ROWS_THAN_BEGIN);
                result.outcome = ImportOutcome::StayOpen;
                return result;
            }
            unsigned last = reader.LastRow();
            if (!settings.findAutomatically) {
                if (reader.LastRow() < unsigned(check.endRow))
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
                return reader.CellText(row, unsigned(column), text);
            };
            QString text;
            for (unsigned r = unsigned(check.beginRow); r <= last; ++r) {
                ImportEntry e;
                QString *texts[] = {&e.name, &e.street, &e.town, &e.zip, &e.country, &e.note};
                for (int item = IMP_NAME; item <= IMP_NOTE; ++item) {
                    if (!cell(r, item, text)) {
                        CTVError error(MSG_READ_FAILED);
                        return result;
                    }
                    *texts[item] = item == IMP_ZIP ? text : CellToStoredText(text);
                }
                if (!cell(r, IMP_PHONE, text)) {
                    CTVError error(MSG_READ_FAILED);
                    return result;
                }
                e.phones = CellToPairs(text);
                if (!cell(r, IMP_EMAIL, text)) {
                    CTVError error(MSG_READ_FAILED);
                    return result;
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
        }

        // Duplicates.
        std::vector<ImportEntry> kept;
        kept.reserve(entries.size());
        bool yesToAll = false, noToAll = false;
        for (ImportEntry &e : entries) {
            if (yesToAll || !existing.count(Key(e.name, e.town, e.zip))) {
                kept.push_back(std::move(e));
                continue;
            }
            if (noToAll) {
                --result.accepted;
                ++result.skipped;
                continue;
            }
            const unsigned answer = ask(e);
            if (answer == TVB_NO || answer == TVB_NOTOALL) {
                noToAll = answer == TVB_NOTOALL;
                --result.accepted;
                ++result.skipped;
                continue;
            }
            yesToAll = answer == TVB_YESTOALL;
            kept.push_back(std::move(e));
        }

        // Writing, in one transaction.
        if (!kept.empty()) {
            const bool written = DbTransaction(db, [&] {
                CSetAddress address(&db);
                address.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE 0"));
                IdAllocator ids(db);
                CSetTel tel(&db);
                tel.Open(QStringLiteral("SELECT * FROM TEL WHERE 0"));
                CSetEmail email(&db);
                email.Open(QStringLiteral("SELECT * FROM EMAIL WHERE 0"));
                for (const ImportEntry &e : kept) {
                    address.AddNew();
                    address.m_ID_ADDRESS_ADDRESS = ids.Next(IdCounter::Address);
                    address.m_ID_ADDRESS_FOLDER = folder;
                    address.m_NAME = e.name;
                    address.m_STREET = e.street;
                    address.m_TOWN = e.town;
                    address.m_ZIP = e.zip;
                    address.m_COUNTRY = e.country;
                    address.m_NOTE = e.note;
                    const std::int32_t id = address.m_ID_ADDRESS_ADDRESS;
                    address.Update();
                    for (const auto &[value, note] : e.emails) {
                        email.AddNew();
                        email.m_ID_EMAIL_EMAIL = ids.Next(IdCounter::Email);
                        email.m_ID_EMAIL_ADDRESS = id;
                        email.m_EMAIL = value;
                        email.m_NOTE = note;
                        email.Update();
                    }
                    for (const auto &[value, note] : e.phones) {
                        tel.AddNew();
                        tel.m_ID_TEL_TEL = ids.Next(IdCounter::Tel);
                        tel.m_ID_TEL_ADDRESS = id;
                        tel.m_PHONE = value;
                        tel.m_NOTE = note;
                        tel.Update();
                    }
                }
                ids.Finish();
            });
            if (!written)
                return result;
            NotifyAddressBookChanged();
        }
    } catch (const std::bad_alloc &) {
        CTVError error(MSG_MEMORY);
        result.outcome = ImportOutcome::Cancelled;
        return result;
    }
    result.outcome = ImportOutcome::Imported;
    return result;
}
