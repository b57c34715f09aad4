#pragma once
// Helpers of the report tests. The root folder, the words of a PDF file and
// working a modal dialog come from tests/support (testsupport.h, pdfsupport.h).
#include "addressentry.h"
#include "database.h"
#include "pdfsupport.h"
#include "testsupport.h"

#include <QStringList>
#include <QString>
#include <vector>

// Stores an address (no phones, no e-mails) and returns it with its identifier.
AddressEntry AddAddress(CDatabase &db, std::int32_t folder, const QString &name, const QString &street = QStringLiteral("Main Street 1"),
                        const QString &town = QStringLiteral("Brno"), const QString &zip = QStringLiteral("60200"),
                        const QString &country = QString(), const QString &note = QString());
// The names of a list of rows, in order.
QStringList NamesOf(const std::vector<AddressEntry> &rows);

// Readable texts in the messages of failed checks.
#include <ostream>
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
