#include "search.h"
#include "addressrecords.h"
#include "recordsets.h"
#include "sqlformat.h"

namespace {

constexpr SearchField kOrder[] = {SearchField::Country, SearchField::Name, SearchField::Street,
                                  SearchField::Town,    SearchField::Zip,  SearchField::Note};

const char *columnOf(SearchField f)
{
    switch (f) {
    case SearchField::Country: return "COUNTRY";
    case SearchField::Name: return "NAME";
    case SearchField::Street: return "STREET";
    case SearchField::Town: return "TOWN";
    case SearchField::Zip: return "ZIP";
    case SearchField::Note: return "NOTE";
    }
    return "NAME";
}

} // namespace

QString &SearchCriteria::field(SearchField f)
{
    return const_cast<QString &>(std::as_const(*this).field(f));
}

const QString &SearchCriteria::field(SearchField f) const
{
    switch (f) {
    case SearchField::Country: return country;
    case SearchField::Name: return name;
    case SearchField::Street: return street;
    case SearchField::Town: return town;
    case SearchField::Zip: return zip;
    case SearchField::Note: return note;
    }
    return name;
}

void SearchCriteria::Trim()
{
    for (SearchField f : kOrder)
        field(f) = field(f).trimmed();
}

std::optional<SearchField> FirstDisallowedField(const SearchCriteria &criteria)
{
    for (SearchField f : kOrder)
        if (ContainsDisallowed(criteria.field(f)))
            return f;
    return std::nullopt;
}

QString BuildSearchStatement(const SearchCriteria &criteria)
{
    QString sql = QStringLiteral("SELECT * FROM ADDRESS WHERE 1");
    for (SearchField f : kOrder) {
        const QString &value = criteria.field(f);
        if (value.isEmpty())
            continue;
        const QString column = QString::fromLatin1(columnOf(f));
        const QString fragment = criteria.exact ? QStringLiteral(" AND %1 = '%s'").arg(column)
                                                : QStringLiteral(" AND %1 LIKE '*%s*'").arg(column);
        sql += SqlFormat(fragment, value);
    }
    sql += QStringLiteral(" ORDER BY NAME");
    return sql;
}

std::vector<AddressEntry> RunSearch(CDatabase &db, const QString &statement)
{
    std::vector<AddressEntry> rows;
    CSetAddress a(&db);
    a.Open(statement);
    rows.reserve(std::size_t(a.GetRecordCount()));
    for (; !a.IsEOF(); a.MoveNext())
        rows.push_back(AddressFromRecord(a));
    return rows;
}
