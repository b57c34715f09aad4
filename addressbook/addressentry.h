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

// The characters refused in address texts, folder names and search
// criteria, because such texts are placed inside SQL text literals.
inline constexpr const char *kDisallowedCharacters = "[]%*'";
bool ContainsDisallowed(const QString &text);
