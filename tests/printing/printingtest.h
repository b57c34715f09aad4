#pragma once
// Helpers of the printing tests. The words of a PDF file and working a modal
// dialog come from tests/support (pdfsupport.h, testsupport.h).
#include "device.h"
#include "pdfsupport.h"
#include "recordsets.h"
#include "testsupport.h"

#include <QString>

class CDatabase;

// A printer-like device: A4 at `dpi`, the whole page printable.
DeviceMetrics A4Metrics(int dpi);

// Adds a KALIBRACE row directly (tests only).
void InsertCalibration(CDatabase &db, int id, int envsize, int labsize, double x, double y, bool isDefault,
                       bool landscape);
// Number of KALIBRACE rows a query yields.
int CountCalibrations(CDatabase &db, const QString &sql);
