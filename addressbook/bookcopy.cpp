#include "bookcopy.h"
#include "database.h"
#include "recordset.h"
#include "recordsets.h"

#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Bound values per statement: within SQLite's limit (32766) and the
// server's (65535).
constexpr std::size_t kValuesPerStatement = 30000;
constexpr std::size_t kRowsPerStatement = 500;

QString columnList(CDatabase &db, const TableDescription &table)
{
    QStringList names;
    for (const ColumnDescription &c : table.columns)
        names << db.Quote(c.name);
    return names.join(QStringLiteral(", "));
}

QString insertText(CDatabase &db, const TableDescription &table, std::size_t rows)
{
    QStringList marks;
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        marks << QStringLiteral("?");
    const QString row = QStringLiteral("(") + marks.join(QStringLiteral(", ")) + QStringLiteral(")");
    QStringList values;
    for (std::size_t i = 0; i < rows; ++i)
        values << row;
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(db.Quote(table.name), columnList(db, table), values.join(QStringLiteral(", ")));
}

} // namespace

std::int64_t CountAddressBookRows(CDatabase &db)
{
    std::int64_t total = 0;
    for (const TableDescription &table : AllTables())
        total += db.QueryInteger(QStringLiteral("SELECT count(*) FROM %1").arg(db.Quote(table.name)));
    return total;
}

void ReplaceAddressBookRows(CDatabase &from, CDatabase &to,
                            const std::function<bool(std::int64_t, std::int64_t)> &step)
{
    const std::int64_t total = CountAddressBookRows(from);
    std::int64_t done = 0;

    // Empty the target first. Phones and e-mails before the addresses, so
    // that the file's delete trigger has nothing left to look for; a server
    // empties its tables at once (in the caller's transaction all the same).
    QStringList clear;
    if (to.IsServer()) {
        QStringList names;
        for (const TableDescription &table : AllTables())
            names << to.Quote(table.name);
        clear << QStringLiteral("TRUNCATE %1").arg(names.join(QStringLiteral(", ")));
    } else {
        std::vector<const TableDescription *> order;
        for (const TableDescription &table : AllTables())
            order.push_back(&table);
        std::stable_partition(order.begin(), order.end(), [](const TableDescription *t) {
            return t->name == QLatin1String("TEL") || t->name == QLatin1String("EMAIL");
        });
        for (const TableDescription *table : order)
            clear << QStringLiteral("DELETE FROM %1").arg(to.Quote(table->name));
    }
    to.ExecuteRaw(clear.join(QStringLiteral("; ")));

    for (const TableDescription &table : AllTables()) {
        const std::size_t columns = table.columns.size();
        const std::size_t perStatement = std::max<std::size_t>(1, std::min(kRowsPerStatement, kValuesPerStatement / columns));
        const std::unique_ptr<DbStatement> read = from.Engine().Prepare(
            QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(columnList(from, table), from.Quote(table.name)));
        std::unique_ptr<DbStatement> full;
        std::vector<std::vector<QVariant>> rows;
        rows.reserve(perStatement);
        auto flush = [&] {
            if (rows.empty())
                return;
            std::unique_ptr<DbStatement> partial;
            DbStatement *insert;
            if (rows.size() == perStatement) {
                if (!full)
                    full = to.Engine().Prepare(insertText(to, table, perStatement));
                insert = full.get();
            } else {
                partial = to.Engine().Prepare(insertText(to, table, rows.size()));
                insert = partial.get();
            }
            int index = 1;
            for (const std::vector<QVariant> &row : rows)
                for (const QVariant &value : row)
                    insert->Bind(index++, value);
            insert->Step();
            insert->Reset();
            done += std::int64_t(rows.size());
            rows.clear();
            if (step && !step(done, total))
                throw CopyAborted();
        };
        while (read->Step()) {
            std::vector<QVariant> row;
            row.reserve(columns);
            for (std::size_t i = 0; i < columns; ++i) {
                QVariant value = read->Column(int(i), table.columns[i].type);
                // No bytes stay NULL ("no picture"), as the record sets store them.
                if (table.columns[i].type == ColumnType::Binary && value.toByteArray().isEmpty())
                    value = QVariant();
                row.push_back(std::move(value));
            }
            rows.push_back(std::move(row));
            if (rows.size() == perStatement)
                flush();
        }
        flush();
    }
    if (step && !step(total, total))
        throw CopyAborted();
}
