#include "reportquery.h"

#include <QSet>
#include <algorithm>

std::optional<SearchField> FirstDisallowedReportField(const ReportCriteria &criteria)
{
    return FirstDisallowedField(criteria.texts);
}

QString BuildReportQuery(const ReportCriteria &criteria)
{
    return BuildSearchStatement(criteria.texts);
}

std::vector<AddressEntry> FillReportRows(const std::vector<AddressEntry> &queryRows, const ReportCriteria &criteria)
{
    std::vector<AddressEntry> table;
    table.reserve(queryRows.size());
    // The triples already listed; a NUL joins them, as no address text holds one.
    QSet<QString> seen;
    for (const AddressEntry &row : queryRows) {
        if (!criteria.folders.empty() && criteria.folders.count(row.folder) == 0)
            continue;
        if (criteria.unique) {
            const QString triple = row.name + QChar(0) + row.street + QChar(0) + row.town;
            if (seen.contains(triple))
                continue;
            seen.insert(triple);
        }
        table.push_back(row);
    }
    // Each row goes to the top of the table: the last one read is first.
    std::reverse(table.begin(), table.end());
    return table;
}

std::vector<AddressEntry> LoadReportRows(CDatabase &db, const ReportCriteria &criteria)
{
    return FillReportRows(RunSearch(db, BuildReportQuery(criteria)), criteria);
}
