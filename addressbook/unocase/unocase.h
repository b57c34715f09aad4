#pragma once
// The one rule by which address texts are matched and ordered, in the
// database (the UNOCASE collation behind `=`, `<>` and ORDER BY, and the
// umatch function behind containment) and in every list the program sorts.
//
// Texts are compared by the Unicode collation algorithm (ICU, root order)
// at the strength that ignores letter case and character width but keeps
// accents: "Šťastný" = "šťastný", "ＡＢＣ" = "abc", "Stastny" ≠ "Šťastný".
// Characters that show nothing (zero-width space, direction marks, soft
// hyphen, the byte order mark) are ignored everywhere, so "Prague" and
// "Prague" followed by a right-to-left mark are the same text for equality,
// ordering and containment alike. Containment is literal: no character of
// the needle is a wildcard.
//
// This file needs no Qt, so the same code builds the SQLite extension that
// lets the sqlite3 shell and other SQLite tools open the database.
#include <string>

struct sqlite3;

namespace unocase {

// Negative, zero or positive as UTF-8 text `a` sorts before, with or after `b`.
int Compare(const char *a, int aLength, const char *b, int bLength);
// The same on UTF-16 text.
int Compare16(const char16_t *a, int aLength, const char16_t *b, int bLength);

// How umatch compares: the whole text, or the needle anywhere, at the
// start or at the end of it.
enum class Match { Equal = 0, Contains = 1, StartsWith = 2, EndsWith = 3 };
bool Matches(const char *text, int textLength, const char *needle, int needleLength, Match how);

// Names the collation whose order the database's text indexes follow, e.g.
// "icu-72.1/153.112.40": an index built under another version may be out of
// order and is rebuilt.
std::string CollationVersion();

// Registers the UNOCASE collation and the umatch(text, needle, mode)
// function on a connection; an SQLite result code.
int Register(sqlite3 *db);

} // namespace unocase
