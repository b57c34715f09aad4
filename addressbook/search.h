#pragma once
// Address search: the six criteria, the statement built from them and the
// rows it finds.
#include "addressentry.h"
#include "database.h"

#include <optional>
#include <vector>

enum SearchMessage {
    MSG_SEARCH_NOTHING_FOUND = 39,
    MSG_SEARCH_NO_SELECTION = 40,
    MSG_SEARCH_LIST_EMPTY = 41,
};

// The criteria fields, in the order they are checked and appended.
enum class SearchField { Country, Name, Street, Town, Zip, Note };

struct SearchCriteria {
    QString name, street, town, zip, country, note;
    bool exact = false;

    QString &field(SearchField f);
    const QString &field(SearchField f) const;
    // Trims leading and trailing white space off every field.
    void Trim();
};

// The first field (in the order Other (country), Name, Street, Town/City,
// ZIP, Notes) holding a disallowed character.
std::optional<SearchField> FirstDisallowedField(const SearchCriteria &criteria);

// The statement: "SELECT * FROM ADDRESS WHERE 1", one fragment per
// non-empty field in the order COUNTRY, NAME, STREET, TOWN, ZIP, NOTE, and
// " ORDER BY NAME". Only for criteria without disallowed characters.
QString BuildSearchStatement(const SearchCriteria &criteria);

// Runs a statement of BuildSearchStatement; the rows in the order read.
std::vector<AddressEntry> RunSearch(CDatabase &db, const QString &statement);
