#pragma once
// Helpers of the envelope tests: reading PDF files back with poppler-utils.
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <vector>

struct PdfWord {
    QString text;
    QRectF box; // points from the page's top-left corner
    int page = 0;
};
// `pdftotext -bbox`; empty when it fails.
std::vector<PdfWord> ReadPdfWords(const QString &pdf);
// The standard output of a poppler tool run on a file; empty on failure.
QString RunPdfTool(const QString &tool, const QStringList &arguments);
// "Pages:" of pdfinfo; -1 when unreadable.
int PdfPages(const QString &pdf);
// "Page size:" of pdfinfo in points (the first page).
QSizeF PdfPageSize(const QString &pdf);

inline double PointsToMm(double points)
{
    return points * 25.4 / 72.0;
}
