#pragma once
// Helpers of the label tests: folders and addresses in a test database,
// the words of a PDF file, and working a modal dialog from a timer.
#include "addressentry.h"
#include "sizes.h"

#include <QRectF>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class CDatabase;
class QWidget;

// The root folder of a fresh database.
std::int32_t RootFolder(CDatabase &db);
std::int32_t AddFolder(CDatabase &db, const QString &name, std::int32_t parent);
std::int32_t AddAddress(CDatabase &db, std::int32_t folder, const QString &name, const QString &town,
                        const QString &street = QString(), const QString &zip = QStringLiteral("11000"),
                        const QString &country = QString());

// The label size of a fresh database with this name.
LabelSize LabelSizeNamed(CDatabase &db, const QString &name);
inline constexpr const char *kSheet3x8 = "A4, 3 x 8 labels 70 x 37 mm";

// One word of `pdftotext -bbox`, in points from the page's top-left corner.
struct PdfWord {
    QString text;
    QRectF box;
    int page = 0;
};
std::vector<PdfWord> PdfWords(const QString &pdf);
int PdfPageCount(const QString &pdf);

// Calls `action` on the application's modal dialog once one is shown.
void OnModalDialog(std::function<void(QWidget *)> action);
