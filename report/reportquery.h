#pragma once
// The report's criteria, the statement built from them and the rules by
// which the rows the statement reads become the rows of the result table.
//
// The statement is the one the address search builds from the same six
// texts: "SELECT * FROM ADDRESS WHERE 1", one fixed fragment per non-empty
// text in the order COUNTRY, NAME, STREET, TOWN, ZIP, NOTE (" AND X = '%s'"
// with Exact match, " AND X LIKE '*%s*'" without), then " ORDER BY NAME".
#include "addressentry.h"
#include "database.h"
#include "search.h"

#include <optional>
#include <set>
#include <vector>

struct ReportCriteria {
    // Name, street, town, ZIP, country, note and "Exact match" (initially off).
    SearchCriteria texts;
    // "Unique addresses only" (initially on).
    bool unique = true;
    // The address location: the chosen folders (empty: every folder) and
    // the text the dialog shows for them.
    std::set<std::int32_t> folders;
    QString locationText;
};

// The first text holding a disallowed character, in the order Other
// (country...), Name, Street, Town/City, ZIP, Notes.
std::optional<SearchField> FirstDisallowedReportField(const ReportCriteria &criteria);

// The statement; only for criteria that passed the check above.
QString BuildReportQuery(const ReportCriteria &criteria);

// The result table's rows from the rows the statement read, in the order
// read: with `unique`, a row whose (NAME, STREET, TOWN) equals, exactly, one
// already listed is skipped; with a folder set, a row of a folder outside it
// is skipped; every other row is inserted at the top of the table. The
// result is in table order (so the reverse of the order read).
//
// Only listed rows count as seen: a row skipped for its folder does not hide
// a row of the same triple inside the chosen location.
std::vector<AddressEntry> FillReportRows(const std::vector<AddressEntry> &queryRows, const ReportCriteria &criteria);

// Runs the statement and applies the rules above. Throws DbException (or
// std::bad_alloc); callers wrap it in DbOperation.
std::vector<AddressEntry> LoadReportRows(CDatabase &db, const ReportCriteria &criteria);
