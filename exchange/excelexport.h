#pragma once
// The export of a folder's addresses into one worksheet "Page 1": the header
// row (Name, Street, Town / City, ZIP, Country, Note, Phone, E-Mail) in Arial
// 10 bold on light blue, one row per address in Times New Roman 10 on light
// yellow, in the order of the names, phones and e-mails each joined with
// "; " and their notes in parentheses, carriage returns removed so that line
// feeds break lines inside the cells, column widths from the widest text.
#include "sheetdata.h"

#include <QString>
#include <functional>
#include <set>
#include <vector>

class CDatabase;

enum class SheetFormat { Xls = 0, Xlsx = 1, Ods = 2 };

// Fill colours, read as 0xRRGGBB.
constexpr std::uint32_t kHeaderFill = 0xA7D7FE; // light blue
constexpr std::uint32_t kBodyFill = 0xFFFFDC;   // light yellow

// The width of a text in pixels, in the header face (Arial 10 bold) or the
// body face (Times New Roman 10), measured at 96 dots per inch.
struct TextMeasure {
    std::function<int(const QString &text, bool header)> width;
    // The screen's faces through QFontMetrics when a GUI application exists;
    // otherwise a fixed estimate per character (good enough for widths).
    static TextMeasure Default();
};

// Column width in characters from the widest text in pixels: px × 0.135, truncated.
int ColumnWidthFromPixels(int pixels);

// The folder and, with `subfolders`, every folder below it.
std::set<int> CollectFolderSet(CDatabase &db, int folder, bool subfolders);

// Column 7 or 8 of a row: values with " (note)" when the note is not empty,
// joined with "; ".
QString JoinWithNotes(const std::vector<std::pair<QString, QString>> &items);

// Removes every carriage return.
QString WithoutCarriageReturns(QString text);

// Reads the addresses of the folders and builds the sheet. Throws
// DbException on database errors.
SheetData BuildExportSheet(CDatabase &db, const std::set<int> &folders, const TextMeasure &measure);

// "xls", "xlsx" or "ods" of a file name: the text after the last ".", when that dot
// is not the first character, in lower case; otherwise empty.
QString FileExtension(const QString &fileName);

// Message id of the format check of the file name (0 when it fits): 59412
// for format 0 without "xls", 59413 for format 1 without "xlsx", 59442 for
// format 2 without "ods".
int CheckExportExtension(const QString &fileName, SheetFormat format);

// The default output path of a format (program directory/Export/export.xls, .xlsx or .ods).
QString DefaultExportPath(SheetFormat format);

// Runs the export: collects, builds and writes. Shows 8 (database), 7
// (memory) or 59416 (the file could not be written or the format cannot
// hold the data); true on success. The success message is the caller's.
bool ExportAddresses(CDatabase &db, int folder, bool subfolders, const QString &path, SheetFormat format,
                     const TextMeasure &measure = TextMeasure::Default());

// Writes a built sheet in the format; false with a reason.
bool WriteSheetFile(const SheetData &sheet, const QString &path, SheetFormat format, QString *error);
