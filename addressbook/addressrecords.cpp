#include "addressrecords.h"
#include "ids.h"
#include "recordsets.h"
#include "sqlformat.h"

#include <QStringList>
#include <algorithm>

QString JoinLines(const QString &text)
{
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String(", "));
    return out;
}

bool ContainsDisallowed(const QString &text)
{
    return text.contains(QChar(u'\0'));
}

QString DisallowedCharactersText()
{
    return QStringLiteral("U+0000 (NUL)");
}

qsizetype CharacterCount(const QString &text)
{
    qsizetype n = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i, ++n)
        if (text[i].isHighSurrogate() && i + 1 < size && text[i + 1].isLowSurrogate())
            ++i;
    return n;
}

QString LeftCharacters(const QString &text, qsizetype count)
{
    qsizetype i = 0;
    const qsizetype size = text.size();
    for (qsizetype n = 0; i < size && n < count; ++i, ++n)
        if (text[i].isHighSurrogate() && i + 1 < size && text[i + 1].isLowSurrogate())
            ++i;
    return text.left(i);
}

namespace {

// Characters that take no room and show nothing: format characters
// (zero-width space and joiners, direction marks and embeddings, word
// joiner, byte order mark, soft hyphen), the combining grapheme joiner,
// the Hangul fillers and the variation selectors.
bool invisible(char32_t c)
{
    if (QChar::category(c) == QChar::Other_Format)
        return true;
    return c == 0x034F || c == 0x115F || c == 0x1160 || c == 0x3164 || c == 0xFFA0 || (c >= 0x180B && c <= 0x180F) ||
           (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF);
}

bool blank(char32_t c)
{
    return QChar::isSpace(c) || invisible(c);
}

} // namespace

bool IsBlankText(const QString &text)
{
    for (char32_t c : text.toUcs4())
        if (!blank(c))
            return false;
    return true;
}

QString TrimmedText(const QString &text)
{
    const QList<uint> chars = text.toUcs4();
    qsizetype first = 0, last = chars.size();
    while (first < last && blank(chars[first]))
        ++first;
    while (last > first && blank(chars[last - 1]))
        --last;
    if (first == 0 && last == chars.size())
        return text;
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(chars.constData()) + first, last - first);
}

AddressEntry AddressFromRecord(const CSetAddress &a)
{
    AddressEntry e;
    e.id = a.m_ID_ADDRESS_ADDRESS;
    e.folder = a.m_ID_ADDRESS_FOLDER;
    e.name = a.m_NAME;
    e.street = a.m_STREET;
    e.town = a.m_TOWN;
    e.zip = a.m_ZIP;
    e.country = a.m_COUNTRY;
    e.note = a.m_NOTE;
    return e;
}

ValueNoteList LoadPhones(CDatabase &db, std::int32_t address)
{
    ValueNoteList out;
    CSetTel t(&db);
    t.Open(SqlFormat("SELECT * FROM TEL WHERE ID_TEL_ADDRESS = %d ORDER BY PHONE DESC", address));
    while (!t.IsEOF()) {
        out.insert(out.begin(), {t.m_PHONE, t.m_NOTE});
        t.MoveNext();
    }
    return out;
}

ValueNoteList LoadEmails(CDatabase &db, std::int32_t address)
{
    ValueNoteList out;
    CSetEmail e(&db);
    e.Open(SqlFormat("SELECT * FROM EMAIL WHERE ID_EMAIL_ADDRESS = %d ORDER BY EMAIL DESC", address));
    while (!e.IsEOF()) {
        out.insert(out.begin(), {e.m_EMAIL, e.m_NOTE});
        e.MoveNext();
    }
    return out;
}

bool HasDuplicateAddress(CDatabase &db, const QString &name, const QString &street, const QString &town,
                         std::int32_t folder, std::int32_t exceptAddress)
{
    CSetAddress a(&db);
    if (exceptAddress == -1)
        a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE NAME = '%s' AND STREET = '%s' AND TOWN = '%s' AND "
                         "ID_ADDRESS_FOLDER = %d",
                         name, street, town, folder));
    else
        a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE NAME = '%s' AND STREET = '%s' AND TOWN = '%s' AND "
                         "ID_ADDRESS_FOLDER = %d AND ID_ADDRESS_ADDRESS <> %d",
                         name, street, town, folder, exceptAddress));
    return !a.IsEOF();
}

namespace {

void writePhones(CDatabase &db, IdAllocator &ids, std::int32_t address, const ValueNoteList &phones)
{
    for (const auto &[value, note] : phones) {
        CSetTel t(&db);
        t.Open(QStringLiteral("SELECT * FROM TEL WHERE 0"));
        t.AddNew();
        t.m_ID_TEL_TEL = ids.Next(IdCounter::Tel);
        t.m_ID_TEL_ADDRESS = address;
        t.m_PHONE = value;
        t.m_NOTE = note;
        t.Update();
    }
}

void writeEmails(CDatabase &db, IdAllocator &ids, std::int32_t address, const ValueNoteList &emails)
{
    for (const auto &[value, note] : emails) {
        CSetEmail e(&db);
        e.Open(QStringLiteral("SELECT * FROM EMAIL WHERE 0"));
        e.AddNew();
        e.m_ID_EMAIL_EMAIL = ids.Next(IdCounter::Email);
        e.m_ID_EMAIL_ADDRESS = address;
        e.m_EMAIL = value;
        e.m_NOTE = note;
        e.Update();
    }
}

void assign(CSetAddress &a, const AddressEntry &v)
{
    a.m_NAME = v.name;
    a.m_STREET = v.street;
    a.m_TOWN = v.town;
    a.m_ZIP = v.zip;
    a.m_COUNTRY = v.country;
    a.m_NOTE = v.note;
}

// Runs `body` in a transaction that is rolled back when it throws.
template <typename F> auto inTransaction(CDatabase &db, F &&body)
{
    db.BeginTrans();
    try {
        if constexpr (std::is_void_v<decltype(body())>) {
            body();
            db.CommitTrans();
        } else {
            auto r = body();
            db.CommitTrans();
            return r;
        }
    } catch (...) {
        db.Rollback();
        throw;
    }
}

} // namespace

std::int32_t SaveNewAddress(CDatabase &db, const AddressEntry &v, const ValueNoteList &phones,
                            const ValueNoteList &emails, std::int32_t folder)
{
    return inTransaction(db, [&] {
        // Another desk may have deleted the folder since the tree showed
        // it; the transaction holds the write lock, so it stays as seen here.
        CSetFolder f(&db);
        f.Open(SqlFormat("SELECT * FROM FOLDER WHERE ID_FOLDER_FOLDER = %d", folder));
        if (f.IsEOF())
            throw DbGoneException(QString::fromLatin1(kFolderGoneText));
        f.Close();
        IdAllocator ids(db);
        CSetAddress a(&db);
        a.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE 0"));
        a.AddNew();
        const std::int32_t id = ids.Next(IdCounter::Address);
        a.m_ID_ADDRESS_ADDRESS = id;
        a.m_ID_ADDRESS_FOLDER = folder;
        assign(a, v);
        a.Update();
        writePhones(db, ids, id, phones);
        writeEmails(db, ids, id, emails);
        ids.Finish();
        return id;
    });
}

void SaveEditedAddress(CDatabase &db, const AddressEntry &v, const ValueNoteList &phones, const ValueNoteList &emails,
                       const AddressEntry *asRead)
{
    inTransaction(db, [&] {
        CSetAddress a(&db);
        a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", v.id));
        if (a.IsEOF()) {
            if (v.id < 0) // no stored address was shown at all
                throw DbException(QStringLiteral("No address to modify"));
            throw DbGoneException(QString::fromLatin1(kAddressGoneText));
        }
        // The transaction holds the write lock: what is compared here is
        // what the save replaces.
        if (asRead) {
            const AddressEntry now = AddressFromRecord(a);
            bool same = now.name == asRead->name && now.street == asRead->street && now.town == asRead->town &&
                        now.zip == asRead->zip && now.country == asRead->country && now.note == asRead->note;
            // The lists as sets: the page may hold them in another order.
            auto sameList = [](ValueNoteList a, ValueNoteList b) {
                std::sort(a.begin(), a.end());
                std::sort(b.begin(), b.end());
                return a == b;
            };
            if (same && asRead->phones)
                same = sameList(LoadPhones(db, v.id), *asRead->phones);
            if (same && asRead->emails)
                same = sameList(LoadEmails(db, v.id), *asRead->emails);
            if (!same)
                throw DbGoneException(QString::fromLatin1(kAddressChangedText));
        }
        a.Edit();
        assign(a, v);
        a.Update();
        CSetTel t(&db);
        t.Open(SqlFormat("SELECT * FROM TEL WHERE ID_TEL_ADDRESS = %d", v.id));
        for (; !t.IsEOF(); t.MoveNext())
            t.Delete();
        CSetEmail e(&db);
        e.Open(SqlFormat("SELECT * FROM EMAIL WHERE ID_EMAIL_ADDRESS = %d", v.id));
        for (; !e.IsEOF(); e.MoveNext())
            e.Delete();
        if (!phones.empty() || !emails.empty()) {
            IdAllocator ids(db);
            writePhones(db, ids, v.id, phones);
            writeEmails(db, ids, v.id, emails);
            ids.Finish();
        }
    });
}

void DeleteAddressRow(CDatabase &db, std::int32_t address)
{
    CSetAddress a(&db);
    a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", address));
    a.MoveFirst();
    a.Delete();
    a.Close();
}

std::vector<AddressEntry> AddressesOfFolder(CDatabase &db, std::int32_t folder)
{
    std::vector<AddressEntry> out;
    CSetAddress a(&db);
    a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d ORDER BY NAME, STREET, TOWN, ZIP", folder));
    for (; !a.IsEOF(); a.MoveNext())
        out.push_back(AddressFromRecord(a));
    return out;
}

std::vector<FolderEntry> SubfoldersOf(CDatabase &db, std::int32_t parent)
{
    std::vector<FolderEntry> out;
    CSetFolder f(&db);
    if (parent == -1)
        f.Open(SqlFormat("SELECT * FROM FOLDER WHERE ID_PARENT = %d", -1));
    else
        f.Open(SqlFormat("SELECT * FROM FOLDER WHERE ID_PARENT = %d ORDER BY NAME", parent));
    for (; !f.IsEOF(); f.MoveNext())
        out.push_back(FolderEntry{f.m_ID_FOLDER_FOLDER, f.m_ID_PARENT, f.m_NAME});
    return out;
}

bool FolderHasChildren(CDatabase &db, std::int32_t folder)
{
    CSetFolder f(&db);
    f.Open(SqlFormat("SELECT * FROM FOLDER WHERE ID_PARENT = %d", folder));
    if (!f.IsEOF())
        return true;
    CSetAddress a(&db);
    a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d", folder));
    return !a.IsEOF();
}

std::optional<FolderEntry> FolderById(CDatabase &db, std::int32_t folder)
{
    CSetFolder f(&db);
    f.Open(SqlFormat("SELECT * FROM FOLDER WHERE ID_FOLDER_FOLDER = %d", folder));
    if (f.IsEOF())
        return std::nullopt;
    return FolderEntry{f.m_ID_FOLDER_FOLDER, f.m_ID_PARENT, f.m_NAME};
}

QStringList FolderPathNames(CDatabase &db, std::int32_t folder)
{
    QStringList path;
    CSetFolder f(&db);
    f.Open(SqlFormat("SELECT * FROM FOLDER WHERE FOLDER.ID_FOLDER_FOLDER = %d", folder));
    int guard = 0;
    while (!f.IsEOF() && guard++ < 10000) { // a damaged cycle cannot loop for ever
        path.prepend(f.m_NAME);
        const std::int32_t parent = f.m_ID_PARENT;
        f.Open(SqlFormat("SELECT * FROM FOLDER WHERE ID_FOLDER_FOLDER = %d", parent));
    }
    return path;
}
