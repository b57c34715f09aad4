#pragma once
// The text a spreadsheet shows for a number through the cell's number
// format: the format codes shared by .xls and .xlsx files ("00000" keeps
// the leading zeros of a ZIP, "0.00" fixed decimals, "0%" percent,
// "DD.MM.YYYY" and "h:mm:ss" dates and times in the format's own pattern,
// "@" text, "General"). The separators are the English ones (decimal point,
// comma between thousands), as the files store them.
#include <QString>

// The format code of a built-in number format index (0 to 49) of the .xls
// and .xlsx formats; an empty text for an index without one.
QString BuiltInNumberFormat(int index);

// `value` as the format shows it. `date1904`: the workbook counts dates
// from 1904-01-01 instead of 1899-12-30.
QString FormatCellNumber(double value, const QString &format, bool date1904 = false);

// The text a sheet shows for a number in the General format: a whole
// number without a decimal point, otherwise up to ten or eleven significant
// digits.
QString GeneralNumberText(double value);
