#pragma once
// Value parsing and string helpers used by every input dialog.
#include "tvexport.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <cstdint>

// True when `text` is a decimal number (comma or full stop as the separator,
// an optional leading minus) within [minimum, maximum]; the value is stored.
TEVROKIT_EXPORT bool TVIsDouble(QString text, double &value, double minimum, double maximum);
// True when `text` is a whole number (optional leading minus) within bounds.
TEVROKIT_EXPORT bool TVIsLong(QString text, std::int32_t &value, int minimum, int maximum);
TEVROKIT_EXPORT bool TVIsInt(QString text, int &value, int minimum, int maximum);

// A date as the integer YYYYMMDD and back (at 00:00:00).
TEVROKIT_EXPORT int TVOleDateToIntDate(const QDate &date);
TEVROKIT_EXPORT int TVOleDateToIntDate(const QDateTime &date);
TEVROKIT_EXPORT void TVIntDateToOleDate(int value, QDateTime &date);

// Opens a link in the browser or mail client; true when some way succeeded.
TEVROKIT_EXPORT bool TVHyperlink(const QString &link);
