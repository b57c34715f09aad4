#pragma once
// Helpers of the report tests.
#include "addressentry.h"
#include "database.h"

#include <QRectF>
#include <QStringList>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

// The root folder of a fresh database.
std::int32_t RootFolder(CDatabase &db);
// Stores an address (no phones, no e-mails) and returns it with its identifier.
AddressEntry AddAddress(CDatabase &db, std::int32_t folder, const QString &name, const QString &street = QStringLiteral("Main Street 1"),
                        const QString &town = QStringLiteral("Brno"), const QString &zip = QStringLiteral("60200"),
                        const QString &country = QString(), const QString &note = QString());
// The names of a list of rows, in order.
QStringList NamesOf(const std::vector<AddressEntry> &rows);

// One word of `pdftotext -bbox`, in points from the page's top-left corner.
struct PdfWord {
    QString text;
    QRectF box;
    int page = 0;
};
std::vector<PdfWord> PdfWords(const QString &pdf);
// Pages of a PDF file by pdfinfo; -1 when it cannot be read.
int PdfPageCount(const QString &pdf);

// Calls `action` on the application's modal dialog once it is shown.
void OnModalDialog(std::function<void(QWidget *)> action);

// Readable texts in the messages of failed checks.
#include <ostream>
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
