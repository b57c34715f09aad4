#pragma once
// Helpers of the exchange tests: folders and addresses written through the
// record sets, a comparable dump of a folder's addresses, file helpers and
// the independent readers. RootFolder comes from tests/support (testsupport.h).
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class CDatabase;

using Pairs = std::vector<std::pair<QString, QString>>;

struct TestAddress {
    QString name, street, town, zip, country, note;
    Pairs phones, emails;
};

int AddFolder(CDatabase &db, int parent, const QString &name);
int AddAddress(CDatabase &db, int folder, const TestAddress &a);
// Every address of a folder as one sorted text per address.
QStringList DumpFolder(CDatabase &db, int folder);
// Every address of the database, whatever its folder.
QStringList DumpAll(CDatabase &db);
int CountAddresses(CDatabase &db, int folder);

QByteArray ReadAll(const QString &path);
void WriteAll(const QString &path, const QByteArray &data);

// The cells of the first sheet, one row per line, cells joined with a tab,
// line feeds inside cells written as "\n"; through Spreadsheet::ParseExcel,
// FreeXL (our reader) and, for .xlsx, Python's zip and XML modules.
QStringList DumpWithParseExcel(const QString &path);
QStringList DumpWithFreeXL(const QString &path);
QStringList DumpXlsx(const QString &path);
bool HaveParseExcel();
bool HavePython();

// A CSV file (comma, double quotes, line breaks inside quoted cells) as rows of cells.
std::vector<QStringList> ReadCsv(const QString &path);
