#pragma once
// In-memory folders and addresses as the panes and pages hold them.
#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

using ValueNoteList = std::vector<std::pair<QString, QString>>; // (value, note)

struct FolderEntry {
    std::int32_t id = -1;
    std::int32_t parent = -1;
    QString name;
};

struct AddressEntry {
    std::int32_t id = -1;
    std::int32_t folder = -1;
    QString name, street, town, zip, country, note;
    // Caches of the address's e-mails and phones; absent until first needed.
    std::optional<ValueNoteList> emails;
    std::optional<ValueNoteList> phones;
};

// A multi-line text on one line: each CR LF pair becomes ", ".
QString JoinLines(const QString &text);

// Every value reaches the database as a bound parameter, so brackets,
// per cent, asterisk and apostrophe are ordinary characters (O'Brien).
// The one character refused in address texts, folder names, search
// criteria and imported texts is U+0000: the database's length check and
// its text functions stop at it, so it would hide the rest of the text.
bool ContainsDisallowed(const QString &text);
// The refused characters as message 11 names them.
QString DisallowedCharactersText();

// The most characters a text column holds.
inline constexpr int kMaxTextCharacters = 255;
// The length of a text in characters (code points), as the database counts
// it: an emoji or a CJK extension letter is one character, not two units.
qsizetype CharacterCount(const QString &text);
// The first `count` characters of the text, never half of a surrogate pair.
QString LeftCharacters(const QString &text, qsizetype count);
// True when the text holds nothing but white space and invisible characters
// (zero-width spaces and joiners, direction marks, soft hyphens, the byte
// order mark): such a name, town or ZIP counts as empty.
bool IsBlankText(const QString &text);
// The text without white space and invisible characters at either end.
QString TrimmedText(const QString &text);
