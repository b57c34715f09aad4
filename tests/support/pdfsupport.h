#pragma once
// Test helpers reading PDF files back with poppler-utils (pdftotext, pdfinfo,
// pdffonts).
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <vector>

// One word of `pdftotext -bbox`, in points from the page's top-left corner;
// the text with its XML entities (&amp; &quot; &lt; &gt; &apos;) replaced.
struct PdfWord {
    QString text;
    QRectF box;
    int page = 0;
};
// The words of every page; empty when pdftotext fails.
std::vector<PdfWord> PdfWords(const QString &pdf);
// "Pages:" of pdfinfo; -1 when the file cannot be read.
int PdfPageCount(const QString &pdf);
// "Page size:" of pdfinfo in points (the first page); empty when unreadable.
QSizeF PdfPageSize(const QString &pdf);
// The standard output of a poppler tool run on a file; empty on failure.
QString RunPdfTool(const QString &tool, const QStringList &arguments);
