#pragma once
// Excel 97-2003 workbooks (BIFF8 in a compound file) with one worksheet of
// text cells. Strings go into the shared string table as 8-bit text when
// every character is Latin-1, as UTF-16 otherwise, split over CONTINUE
// records as the format requires. Two cell formats (header and body) carry
// their font, wrap text, thin borders and a solid fill taken from a custom
// palette entry; rows have their heights and columns their widths.
#include "sheetdata.h"

#include <QByteArray>
#include <QString>

// The Workbook stream (globals and the one worksheet). On a sheet the format
// cannot hold (too many rows or columns, a cell longer than 32,767
// characters) returns an empty array and a reason.
QByteArray BuildXlsWorkbookStream(const SheetData &sheet, QString *error);

// The stream in its compound file, written to `path` through a file beside
// it that replaces `path` only when complete.
bool WriteXlsFile(const SheetData &sheet, const QString &path, QString *error);

// Palette slots that the two fills take.
constexpr int kXlsHeaderFillIcv = 0x2C;
constexpr int kXlsBodyFillIcv = 0x2B;
