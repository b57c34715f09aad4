#pragma once
// Helpers of the printing tests.
#include "device.h"
#include "recordsets.h"

#include <QRectF>
#include <QString>
#include <functional>
#include <vector>

class CDatabase;

// A printer-like device: A4 at `dpi`, the whole page printable.
DeviceMetrics A4Metrics(int dpi);

// One word of `pdftotext -bbox`, coordinates in points from the page's
// top-left corner.
struct PdfWord {
    QString text;
    QRectF box;
    int page = 0;
};
// Runs pdftotext -bbox on a file; empty when it fails.
std::vector<PdfWord> PdfWords(const QString &pdf);
// Pages of a PDF file by pdfinfo; -1 when it cannot be read.
int PdfPageCount(const QString &pdf);

// Calls `action` on the application's modal dialog once it is shown (from
// a timer), so that a test can work a dialog that a command opens with exec.
void OnModalDialog(std::function<void(QWidget *)> action);

// Adds a KALIBRACE row directly (tests only).
void InsertCalibration(CDatabase &db, int id, int envsize, int labsize, double x, double y, bool isDefault,
                       bool landscape);
// Number of KALIBRACE rows a query yields.
int CountCalibrations(CDatabase &db, const QString &sql);
