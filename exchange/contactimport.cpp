#include "contactimport.h"

#include "dberror.h"
#include "database.h"
#include "recordset.h"
#include "excelexport.h"
#include "exchangehooks.h"
#include "ids.h"
#include "recordsets.h"
#include "sqlformat.h"
#include "addressentry.h"
#include "textencoding.h"
#include "tvmessage.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <QVariant>
#include <new>
#include <unistd.h>
#include <set>
#include <tuple>

namespace {

enum {
    MSG_MEMORY = 7,
    MSG_DATABASE = 8,
    MSG_SUMMARY = 59446,
    MSG_UNREADABLE = 59447,
    MSG_NO_VCARD = 59448,
    MSG_NO_RECORDS = 59449,
    MSG_IMPORT_CANCELLED = 59450,
    MSG_TOO_LARGE = 59451,
    MSG_EXPORT_CANCELLED = 59454,
    MSG_NOT_WRITTEN = 59455,
    MSG_BINARY = 59458,
};

constexpr qsizetype kMaxText = 255;

using Key = std::tuple<QString, QString, QString>;

struct Cancelled {};

// Progress of one phase mapped into [from, to] of the whole.
std::function<bool(int)> phase(const ContactObserver &o, int from, int to)
{
    return [&o, from, to](int percent) {
        if (o.progress)
            o.progress(from + (to - from) * percent / 100);
        return !(o.cancelled && o.cancelled());
    };
}

} // namespace

std::optional<ContactFormat> ContactFormatOfFile(const QString &fileName)
{
    const QString ext = FileExtension(QFileInfo(fileName).fileName());
    if (ext == QLatin1String("vcf") || ext == QLatin1String("vcard"))
        return ContactFormat::VCard;
    if (ext == QLatin1String("csv"))
        return ContactFormat::Csv;
    return std::nullopt;
}

bool IsRefusedContact(const ImportEntry &e)
{
    if (IsBlankText(e.name))
        return true;
    for (const QString *t : {&e.name, &e.street, &e.town, &e.zip, &e.country, &e.note})
        if (CharacterCount(*t) > kMaxText || HasDisallowedCharacter(*t))
            return true;
    for (const ImportPairs *list : {&e.phones, &e.emails})
        for (const auto &[value, note] : *list)
            if (CharacterCount(value) > kMaxText || CharacterCount(note) > kMaxText)
                return true;
    return false;
}

bool ReadContactFile(const QString &path, ContactFormat format, const std::optional<CsvMapping> &csvMapping,
                     ContactFile &out, const ContactObserver &observer, bool *cancelled)
{
    if (cancelled)
        *cancelled = false;
    out = ContactFile{};
    QFile f(path);
    const QFileInfo info(path);
    if (!info.isFile() || !f.open(QIODevice::ReadOnly)) {
        CTVError error(MSG_UNREADABLE, TVB_OK, path, f.errorString().isEmpty() ? QStringLiteral("not a file") : f.errorString());
        return false;
    }
    if (f.size() > kContactFileLimit) {
        CTVError error(MSG_TOO_LARGE, TVB_OK, path, int(kContactFileLimit / (1024 * 1024)));
        return false;
    }
    QByteArray bytes;
    bytes.reserve(f.size());
    while (!f.atEnd()) {
        const QByteArray chunk = f.read(1 << 20);
        if (chunk.isEmpty() && f.error() != QFileDevice::NoError) {
            CTVError error(MSG_UNREADABLE, TVB_OK, path, f.errorString());
            return false;
        }
        bytes += chunk;
        if (bytes.size() > kContactFileLimit) {
            CTVError error(MSG_TOO_LARGE, TVB_OK, path, int(kContactFileLimit / (1024 * 1024)));
            return false;
        }
        if (!phase(observer, 0, 10)(int(f.size() ? bytes.size() * 100 / f.size() : 100))) {
            if (cancelled)
                *cancelled = true;
            return false;
        }
    }
    if (format == ContactFormat::VCard) {
        VCardFile file = ParseVCardFile(bytes, phase(observer, 10, 40));
        if (observer.cancelled && observer.cancelled()) {
            if (cancelled)
                *cancelled = true;
            return false;
        }
        if (!file.foundCard) {
            CTVError error(MSG_NO_VCARD, TVB_OK, path);
            return false;
        }
        bytes.clear();
        out.encoding = file.encoding;
        out.damaged = file.damaged;
        out.addresses.reserve(file.cards.size());
        for (const VCard &card : file.cards) {
            VCardAddress a = VCardToAddress(card);
            out.addresses.push_back(ContactAddress{std::move(a.entry), a.noteShortened});
        }
        return true;
    }
    CsvTable table = ParseCsvFile(bytes, phase(observer, 10, 40));
    if (observer.cancelled && observer.cancelled()) {
        if (cancelled)
            *cancelled = true;
        return false;
    }
    bytes.clear();
    if (table.binary) {
        CTVError error(MSG_BINARY, TVB_OK, path);
        return false;
    }
    if (table.rows.empty()) {
        CTVError error(MSG_NO_RECORDS, TVB_OK, path);
        return false;
    }
    out.encoding = table.encoding;
    out.damaged = table.unterminated ? 1 : 0;
    out.firstRecord = table.rows.front();
    if (csvMapping)
        out.mapping = *csvMapping;
    else {
        out.mapping = RecogniseCsvHeader(table.rows.front());
        if (out.mapping.layout == CsvLayout::None)
            out.mapping = CsvMappingFromColumns({1, 2, 3, 4, 5, 6, 7, 8}, false);
    }
    out.layout = out.mapping.layout;
    out.addresses.reserve(table.rows.size());
    for (std::size_t r = out.mapping.headerRow ? 1 : 0; r < table.rows.size(); ++r) {
        CsvAddress a = CsvRecordToAddress(table.rows[r], out.mapping);
        out.addresses.push_back(ContactAddress{std::move(a.entry), a.noteShortened});
    }
    return true;
}

ContactImportResult RunContactImport(CDatabase &db, const QString &path, ContactFormat format, int folder,
                                     const DuplicateAsker &ask, const ContactObserver &observer,
                                     const std::optional<CsvMapping> &csvMapping)
{
    ContactImportResult result;
    auto cancel = [&] {
        result.outcome = ImportOutcome::Cancelled;
        result.cancelled = true;
        result.accepted = result.skipped = result.errors = result.shortened = 0;
        CTVInfo info(MSG_IMPORT_CANCELLED);
        return result;
    };
    try {
        // The existing keys of the target folder.
        std::set<Key> existing;
        if (!DbOperation(db, [&] {
                CSetAddress set(&db);
                set.Open(SqlFormat(QStringLiteral("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d"), folder));
                for (; !set.IsEOF(); set.MoveNext())
                    existing.emplace(set.m_NAME, set.m_TOWN, set.m_ZIP);
            }))
            return result;

        ContactFile file;
        bool wasCancelled = false;
        if (!ReadContactFile(path, format, csvMapping, file, observer, &wasCancelled))
            return wasCancelled ? cancel() : result;

        std::vector<ImportEntry> entries;
        entries.reserve(file.addresses.size());
        result.errors = file.damaged;
        for (ContactAddress &a : file.addresses) {
            if (IsRefusedContact(a.entry)) {
                ++result.errors;
                continue;
            }
            result.shortened += a.noteShortened ? 1 : 0;
            entries.push_back(std::move(a.entry));
            ++result.accepted;
        }
        file.addresses.clear();

        // Duplicates, with the spreadsheet import's question and answers.
        std::vector<ImportEntry> kept =
            ResolveDuplicates(std::move(entries), existing, ask, result.accepted, result.skipped);
        if (observer.cancelled && observer.cancelled())
            return cancel();

        // Writing, in one transaction; Cancel rolls it back.
        if (!kept.empty()) {
            const int depth = db.TransactionDepth();
            try {
                db.BeginTrans();
                IdAllocator ids(db);
                ImportEntryWriter writer(db, ids, folder);
                const auto progress = phase(observer, 50, 100);
                for (std::size_t i = 0; i < kept.size(); ++i) {
                    if ((i & 255) == 0 && !progress(int(i * 100 / kept.size())))
                        throw Cancelled{};
                    writer.Write(kept[i]);
                }
                ids.Finish();
                if (!progress(100))
                    throw Cancelled{};
                db.CommitTrans();
            } catch (const Cancelled &) {
                while (db.TransactionDepth() > depth)
                    db.Rollback();
                return cancel();
            } catch (const DbException &) {
                while (db.TransactionDepth() > depth)
                    db.Rollback();
                CTVError error(MSG_DATABASE);
                return result;
            } catch (const std::bad_alloc &) {
                while (db.TransactionDepth() > depth)
                    db.Rollback();
                throw;
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
    result.outcome = ImportOutcome::Imported;
    return result;
}

void ShowContactImportSummary(const ContactImportResult &r)
{
    CTVInfo info(MSG_SUMMARY, TVB_OK, r.accepted, r.skipped, r.errors, r.shortened);
}

std::vector<ImportEntry> ReadExportAddresses(CDatabase &db, int folder, bool subfolders)
{
    const std::set<int> folders = CollectFolderSet(db, folder, subfolders);
    QHash<int, ImportPairs> phones, emails;
    {
        CSetTel tel(&db);
        tel.Open(QStringLiteral("SELECT * FROM TEL ORDER BY PHONE"));
        for (; !tel.IsEOF(); tel.MoveNext())
            phones[tel.m_ID_TEL_ADDRESS].emplace_back(tel.m_PHONE, tel.m_NOTE);
    }
    {
        CSetEmail mail(&db);
        mail.Open(QStringLiteral("SELECT * FROM EMAIL ORDER BY EMAIL"));
        for (; !mail.IsEOF(); mail.MoveNext())
            emails[mail.m_ID_EMAIL_ADDRESS].emplace_back(mail.m_EMAIL, mail.m_NOTE);
    }
    std::vector<ImportEntry> out;
    CSetAddress address(&db);
    address.Open(QStringLiteral("SELECT * FROM ADDRESS ORDER BY NAME"));
    for (; !address.IsEOF(); address.MoveNext()) {
        if (!folders.count(address.m_ID_ADDRESS_FOLDER))
            continue;
        ImportEntry e{address.m_NAME, address.m_STREET, address.m_TOWN, address.m_ZIP,
                      address.m_COUNTRY, address.m_NOTE, {}, {}};
        const int id = address.m_ID_ADDRESS_ADDRESS;
        if (auto it = phones.find(id); it != phones.end())
            e.phones = std::move(*it);
        if (auto it = emails.find(id); it != emails.end())
            e.emails = std::move(*it);
        out.push_back(std::move(e));
    }
    return out;
}

ContactExportOutcome ExportContacts(CDatabase &db, int folder, bool subfolders, const QString &path,
                                    ContactFormat format, VCardVersion version, int *exported,
                                    const ContactObserver &observer)
{
    std::vector<ImportEntry> addresses;
    try {
        addresses = ReadExportAddresses(db, folder, subfolders);
    } catch (const DbException &) {
        CTVError error(MSG_DATABASE);
        return ContactExportOutcome::Failed;
    } catch (const std::bad_alloc &) {
        CTVError error(MSG_MEMORY);
        return ContactExportOutcome::Failed;
    }
    // Written to FILE.part and renamed over FILE when complete, so that a
    // cancelled or failed export leaves an earlier FILE as it was.
    const QString part = path + QStringLiteral(".part");
    QFile file(part);
    auto fail = [&](const QString &why) {
        file.close();
        QFile::remove(part);
        CTVError error(MSG_NOT_WRITTEN, TVB_OK, path, why);
        return ContactExportOutcome::Failed;
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        CTVError error(MSG_NOT_WRITTEN, TVB_OK, path, file.errorString());
        return ContactExportOutcome::Failed;
    }
    QByteArray buffer;
    if (format == ContactFormat::Csv)
        buffer = CsvHeaderRecord();
    const auto progress = phase(observer, 0, 100);
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        if ((i & 255) == 0 && !progress(int(i * 100 / addresses.size()))) {
            file.close();
            QFile::remove(part);
            CTVInfo info(MSG_EXPORT_CANCELLED);
            return ContactExportOutcome::Cancelled;
        }
        buffer += format == ContactFormat::Csv ? AddressToCsvRecord(addresses[i])
                                               : AddressToVCard(addresses[i], version);
        if (buffer.size() > (1 << 20)) {
            if (file.write(buffer) != buffer.size())
                return fail(file.errorString());
            buffer.clear();
        }
    }
    if (file.write(buffer) != buffer.size() || !file.flush())
        return fail(file.errorString());
    if (::fsync(file.handle()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    file.close();
    if (::rename(QFile::encodeName(part).constData(), QFile::encodeName(path).constData()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (exported)
        *exported = int(addresses.size());
    progress(100);
    return ContactExportOutcome::Exported;
}
