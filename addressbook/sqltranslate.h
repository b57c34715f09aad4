#pragma once
// Translates the program's SQL texts (the Jet subset: SELECT * FROM T
// [WHERE cond {AND cond}] [ORDER BY col [DESC] {, col [DESC]}], conditions
// 1, 0, a bare boolean column, col = literal, col <> literal and
// col LIKE 'pattern', columns plain, bracketed or qualified T.COL) into an
// statement of the engine's dialect. Every literal becomes a bound
// parameter; text equality and ordering use the case-insensitive UNOCASE
// collation (on a server: the text columns' own "unocase" collation);
// LIKE '*x*' means "contains x" literally (no other character is special),
// through the umatch function both engines provide.
#include "engine.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

struct TranslatedQuery {
    QString table;
    QString where;   // condition with ? placeholders, or empty
    QString orderBy; // ORDER BY terms, or empty
    std::vector<QVariant> parameters;
};

// Throws DbException for a text outside the subset.
TranslatedQuery TranslateJetSql(const QString &sql, SqlDialect dialect = SqlDialect::SQLite);
