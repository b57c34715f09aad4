#include "unocase.h"

#ifdef UNOCASE_EXTENSION
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT3
#else
#include <sqlite3.h>
#endif

#include <unicode/ucol.h>
#include <unicode/usearch.h>
#include <unicode/ustring.h>
#include <unicode/uversion.h>

#include <memory>
#include <string>

namespace unocase {
namespace {

// The root order of the Unicode collation algorithm at secondary strength:
// base letters and accents count, letter case and width do not.
UCollator *collator()
{
    static UCollator *c = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator *coll = ucol_open("", &status);
        if (U_FAILURE(status))
            return static_cast<UCollator *>(nullptr);
        ucol_setStrength(coll, UCOL_SECONDARY);
        return coll;
    }();
    return c;
}

int sign(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// Letters, digits and blanks of ASCII: for such texts the order is the byte
// order of their lower-case forms (blank < digits < letters).
bool plain(const char *s, int n)
{
    for (int i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' '))
            return false;
    }
    return true;
}

// Printable ASCII: every such character is one collation element of its
// own, equal to another only in the other letter case, so containment is a
// case-blind byte search.
bool printable(const char *s, int n)
{
    for (int i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return true;
}

inline unsigned char lower(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

bool asciiFind(const char *h, int hn, const char *n, int nn, Match how)
{
    auto at = [&](int i) {
        for (int j = 0; j < nn; ++j)
            if (lower(static_cast<unsigned char>(h[i + j])) != lower(static_cast<unsigned char>(n[j])))
                return false;
        return true;
    };
    if (nn > hn)
        return false;
    switch (how) {
    case Match::StartsWith: return at(0);
    case Match::EndsWith: return at(hn - nn);
    default:
        for (int i = 0; i + nn <= hn; ++i)
            if (at(i))
                return true;
        return false;
    }
}

std::u16string utf16(const char *s, int n)
{
    std::u16string out;
    if (n <= 0)
        return out;
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    out.resize(std::size_t(n));
    u_strFromUTF8WithSub(reinterpret_cast<UChar *>(out.data()), n, &length, s, n, 0xFFFD, nullptr, &status);
    out.resize(U_SUCCESS(status) ? std::size_t(length) : 0);
    return out;
}

bool ignorable(const std::u16string &s)
{
    return Compare16(s.data(), int(s.size()), u"", 0) == 0;
}

// A search for one needle, kept while a statement walks its rows.
class Searcher
{
public:
    explicit Searcher(std::u16string needle) : m_needle(std::move(needle)), m_ignorable(ignorable(m_needle)) {}
    ~Searcher()
    {
        if (m_search)
            usearch_close(m_search);
    }
    Searcher(const Searcher &) = delete;
    Searcher &operator=(const Searcher &) = delete;

    bool find(const std::u16string &text, Match how)
    {
        if (m_ignorable) // nothing to find: found everywhere
            return true;
        if (text.empty() || !collator())
            return false;
        UErrorCode status = U_ZERO_ERROR;
        const UChar *t = reinterpret_cast<const UChar *>(text.data());
        if (!m_search) {
            m_search = usearch_openFromCollator(reinterpret_cast<const UChar *>(m_needle.data()), int32_t(m_needle.size()),
                                                t, int32_t(text.size()), collator(), nullptr, &status);
        } else {
            usearch_setText(m_search, t, int32_t(text.size()), &status);
        }
        if (U_FAILURE(status) || !m_search)
            return false;
        if (how == Match::EndsWith) {
            const int32_t at = usearch_last(m_search, &status);
            if (U_FAILURE(status) || at == USEARCH_DONE)
                return false;
            const int32_t end = at + usearch_getMatchedLength(m_search);
            return ignorable(text.substr(std::size_t(end)));
        }
        const int32_t at = usearch_first(m_search, &status);
        if (U_FAILURE(status) || at == USEARCH_DONE)
            return false;
        return how != Match::StartsWith || ignorable(text.substr(0, std::size_t(at)));
    }

private:
    std::u16string m_needle;
    bool m_ignorable;
    UStringSearch *m_search = nullptr;
};

bool matches(const char *h, int hn, const char *n, int nn, Match how, Searcher *searcher)
{
    if (how == Match::Equal)
        return Compare(h, hn, n, nn) == 0;
    if (printable(h, hn) && printable(n, nn))
        return asciiFind(h, hn, n, nn, how);
    std::unique_ptr<Searcher> own;
    if (!searcher) {
        own = std::make_unique<Searcher>(utf16(n, nn));
        searcher = own.get();
    }
    return searcher->find(utf16(h, hn), how);
}

int collate(void *, int an, const void *a, int bn, const void *b)
{
    return Compare(static_cast<const char *>(a), an, static_cast<const char *>(b), bn);
}

void destroySearcher(void *p)
{
    delete static_cast<Searcher *>(p);
}

// umatch(text, needle, mode): mode 0 equal, 1 contains, 2 starts with,
// 3 ends with. A NULL text or needle matches nothing.
void umatch(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    const char *h = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int hn = sqlite3_value_bytes(argv[0]);
    const char *n = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
    const int nn = sqlite3_value_bytes(argv[1]);
    const int mode = sqlite3_value_int(argv[2]);
    const Match how = (mode >= 0 && mode <= 3) ? Match(mode) : Match::Equal;
    // The needle is the same for every row of a statement: its searcher is
    // kept with the statement's argument.
    auto *searcher = static_cast<Searcher *>(sqlite3_get_auxdata(ctx, 1));
    const bool fresh = searcher == nullptr;
    if (fresh && how != Match::Equal)
        searcher = new Searcher(utf16(n, nn));
    const bool result = matches(h, hn, n, nn, how, searcher);
    sqlite3_result_int(ctx, result ? 1 : 0);
    if (fresh && searcher)
        sqlite3_set_auxdata(ctx, 1, searcher, destroySearcher); // may free it at once
}

} // namespace

int Compare(const char *a, int an, const char *b, int bn)
{
    if (plain(a, an) && plain(b, bn)) {
        const int n = an < bn ? an : bn;
        for (int i = 0; i < n; ++i) {
            const unsigned char x = lower(static_cast<unsigned char>(a[i]));
            const unsigned char y = lower(static_cast<unsigned char>(b[i]));
            if (x != y)
                return x < y ? -1 : 1;
        }
        return an == bn ? 0 : (an < bn ? -1 : 1);
    }
    UCollator *c = collator();
    if (!c)
        return sign(std::string(a, std::size_t(an)).compare(std::string(b, std::size_t(bn))));
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = ucol_strcollUTF8(c, a, an, b, bn, &status);
    return U_FAILURE(status) ? 0 : int(r);
}

int Compare16(const char16_t *a, int an, const char16_t *b, int bn)
{
    UCollator *c = collator();
    if (!c)
        return sign(std::u16string(a, std::size_t(an)).compare(std::u16string(b, std::size_t(bn))));
    return int(ucol_strcoll(c, reinterpret_cast<const UChar *>(a), an, reinterpret_cast<const UChar *>(b), bn));
}

bool Matches(const char *text, int textLength, const char *needle, int needleLength, Match how)
{
    return matches(text, textLength, needle, needleLength, how, nullptr);
}

std::string CollationVersion()
{
    char icu[U_MAX_VERSION_STRING_LENGTH] = {};
    char rules[U_MAX_VERSION_STRING_LENGTH] = {};
    UVersionInfo v;
    u_getVersion(v);
    u_versionToString(v, icu);
    if (UCollator *c = collator()) {
        ucol_getVersion(c, v);
        u_versionToString(v, rules);
    }
    return std::string("icu-") + icu + "/" + rules;
}

int Register(sqlite3 *db)
{
    int rc = sqlite3_create_collation_v2(db, "UNOCASE", SQLITE_UTF8, nullptr, collate, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "umatch", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, umatch, nullptr,
                                        nullptr, nullptr);
    return rc;
}

} // namespace unocase
