// tesmar-xlsread: reads the first worksheet of an .xls, .xlsx or .ods file
// with our own readers (biffreader.h, zipsheetreader.h; the kind is told by
// the file's bytes), or of an .xls file with FreeXL when the first argument
// is --freexl (an independent reader for the tests), and writes its cells
// to standard output. The import runs it as a separate process, so that a
// damaged or hostile file can only end this small process, with its memory
// limited, never the program.
//
// Output on success (exit code 0):
//   "CORVELLE-XLS 1\n", "<last row> <last column>\n", then for each cell
//   that holds text: "<row> <column> <byte count>\n<UTF-8 bytes>\n", and
//   "END\n". Rows and columns count from 1. Any failure: exit code 1.
#include "biffreader.h"
#include "zipsheetreader.h"
#include "xlsreader.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <vector>
#include <cstdio>
#include <cstring>
#include <freexl.h>
#include <string>
#include <sys/resource.h>

namespace {

int fail(const void *handle)
{
    if (handle)
        freexl_close(handle);
    return 1;
}

std::string cellText(const FreeXL_CellValue &value)
{
    switch (value.type) {
    case FREEXL_CELL_INT:
        return std::to_string(value.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return NumberText(value.value.double_value).toStdString();
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return value.value.text_value ? std::string(value.value.text_value) : std::string();
    default:
        return std::string();
    }
}

void writeHeader(std::string &out, unsigned rows, unsigned columns)
{
    out = "CORVELLE-XLS 1\n" + std::to_string(rows) + ' ' + std::to_string(columns) + '\n';
}

void writeCell(std::string &out, unsigned row, unsigned column, const std::string &text)
{
    out += std::to_string(row) + ' ' + std::to_string(column) + ' ' + std::to_string(text.size()) + '\n';
    out += text;
    out += '\n';
    if (out.size() > (1u << 20)) {
        std::fwrite(out.data(), 1, out.size(), stdout);
        out.clear();
    }
}

int finish(std::string &out)
{
    out += "END\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int readOwn(const char *path)
{
    QFile file(QFile::decodeName(path));
    // More than any spreadsheet of addresses: refused before it is read.
    if (!file.open(QIODevice::ReadOnly) || file.size() > (qint64(1) << 30))
        return 1;
    const QByteArray bytes = file.readAll();
    file.close();
    SheetCells sheet;
    QString why;
    if (!ReadSpreadsheet(bytes, sheet, &why)) {
        std::fprintf(stderr, "tesmar-xlsread: %s\n", why.toLocal8Bit().constData());
        return 1;
    }
    std::string out;
    writeHeader(out, sheet.rows, sheet.columns);
    // Row by row, as the import asks for them.
    std::vector<quint64> keys(sheet.cells.keyBegin(), sheet.cells.keyEnd());
    std::sort(keys.begin(), keys.end());
    for (quint64 k : keys)
        writeCell(out, unsigned(k >> 32), unsigned(k & 0xFFFFFFFFu), sheet.cells.value(k).toStdString());
    return finish(out);
}

int readWithFreeXL(const char *path);

} // namespace

int main(int argc, char **argv)
{
    const bool freexl = argc == 3 && std::strcmp(argv[1], "--freexl") == 0;
    if (argc != 2 && !freexl) {
        std::fprintf(stderr, "Usage: tesmar-xlsread FILE.xls|FILE.xlsx|FILE.ods\n       tesmar-xlsread --freexl FILE.xls\n");
        return 2;
    }
    // A hostile file must not make the reader eat the machine's memory. (An
    // AddressSanitizer build reserves far more address space for itself.)
#if !defined(__SANITIZE_ADDRESS__)
    const rlim_t limit = rlim_t(2048) * 1024 * 1024;
    struct rlimit rl = {limit, limit};
    setrlimit(RLIMIT_AS, &rl);
#endif

    return freexl ? readWithFreeXL(argv[2]) : readOwn(argv[1]);
}

namespace {

int readWithFreeXL(const char *path)
{
    const void *handle = nullptr;
    if (freexl_open(path, &handle) != FREEXL_OK || !handle)
        return fail(handle);
    unsigned int info = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &info) != FREEXL_OK || info != FREEXL_BIFF_PLAIN)
        return fail(handle);
    if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &info) != FREEXL_OK || info == 0)
        return fail(handle);
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK)
        return fail(handle);
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK)
        return fail(handle);

    std::string out;
    writeHeader(out, rows, columns);
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value{};
            if (freexl_get_cell_value(handle, r, c, &value) != FREEXL_OK)
                return fail(handle);
            const std::string text = cellText(value);
            if (text.empty())
                continue;
            writeCell(out, r + 1, c + 1, text);
        }
    }
    freexl_close(handle);
    return finish(out);
}

} // namespace
