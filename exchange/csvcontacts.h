#pragma once
// Contacts in CSV files (RFC 4180 and what mail programs actually write):
// the encoding, separator and quote found from the text, the header row
// recognised when it is the layout of Google Contacts, Outlook, Thunderbird,
// this program's own export or simply names a few address items, and
// otherwise the column mapping of the spreadsheet import (A to H). Also the
// CSV export of addresses. No widgets.
#include "excelimport.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

struct CsvTable {
    std::vector<QStringList> rows; // records, empty lines left out
    QChar separator = u',';
    QChar quote = u'"';
    QString encoding;        // "UTF-8", "Windows-1250", ...
    bool unterminated = false; // the file ends inside a quoted field (the last record is dropped)
    bool binary = false;       // control characters or undecodable bytes: not a text file (no rows)
};

// Decodes the bytes (byte-order mark, UTF-16, UTF-8, else Windows-1250 or
// 1252), finds separator and quote and reads every record. `progress` gets
// 0..100 and returns false to stop (the table is then empty).
CsvTable ParseCsvFile(const QByteArray &bytes, const std::function<bool(int)> &progress = {});
// The same for a decoded text with a known separator and quote.
std::vector<QStringList> ParseCsvText(const QString &text, QChar separator, QChar quote, bool *unterminated = nullptr);
// The separator (",", ";", tab or "|") that cuts the first records into the
// same number of fields most often; "," when none does.
QChar DetectCsvSeparator(const QString &text);

enum class CsvLayout { None, Corvelle, Google, Outlook, Thunderbird, Other };
QString CsvLayoutName(CsvLayout layout);

// What one column means.
struct CsvColumnRole {
    enum Kind {
        Ignore, Display, Prefix, First, Middle, Last, Suffix, Organization,
        Street, Street2, Street3, Extended, PoBox, City, Region, Zip, Country, Formatted,
        Phone,       // one phone; `note` from the header ("work", "mobile")
        PhoneValue,  // Google's "Phone N - Value", note from "Phone N - Label"
        PhoneLabel,
        PhoneList,   // "111; 222 (home)" as the spreadsheet export writes it
        Email, EmailValue, EmailLabel, EmailList,
        Notes,
    };
    Kind kind = Ignore;
    int group = 0;  // address group or Google's item number
    QString note;   // for Phone and Email
};

struct CsvMapping {
    CsvLayout layout = CsvLayout::None;
    bool headerRow = false; // the first record names the columns and is not imported
    std::vector<CsvColumnRole> roles; // one per column
};

// The mapping a header row gives; layout None (and no roles) when the first
// record does not look like a header.
CsvMapping RecogniseCsvHeader(const QStringList &firstRecord);
// The first column (1 = A) a mapping reads for an import item (IMP_NAME ...
// IMP_EMAIL): the whole name, else its first part, else the organisation;
// the first street line; a phone or e-mail value. 0 when it reads none.
int FirstColumnOfItem(const CsvMapping &mapping, int item);
// The mapping of the spreadsheet import's columns (1 = A, 0 = not imported).
CsvMapping CsvMappingFromColumns(const std::array<int, IMP_COUNT> &columns, bool headerRow);

struct CsvAddress {
    ImportEntry entry;
    bool noteShortened = false;
};

// One record as an address (stored texts, lines joined with CR LF).
CsvAddress CsvRecordToAddress(const QStringList &record, const CsvMapping &mapping);

// Spreads a printed address label over the address: the last line with a
// postal code is the town line (code as ZIP, the rest as TOWN), the lines
// before it the street, the lines after it the country.
void SplitAddressLabel(const QString &label, ImportEntry &entry);

// The CSV export: UTF-8 with a byte-order mark, the header row of the
// spreadsheet export (Name, Street, Town / City, ZIP, Country, Note, Phone,
// E-Mail), one record per address, fields quoted when they hold a comma, a
// quote, a line break or blanks at an end; records end with CR LF.
QByteArray CsvHeaderRecord();
QByteArray AddressToCsvRecord(const ImportEntry &address);
