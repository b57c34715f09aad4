#include "xlsreader.h"

#include <QFile>
#include <cmath>
#include <freexl.h>

XlsSheetReader::~XlsSheetReader()
{
    Close();
}

bool XlsSheetReader::Open(const QString &path)
{
    Close();
    const void *handle = nullptr;
    const int rc = freexl_open(QFile::encodeName(path).constData(), &handle);
    // FreeXL may report success with no handle after a parse error.
    if (rc != FREEXL_OK || !handle) {
        if (handle)
            freexl_close(handle);
        return false;
    }
    m_handle = handle;
    unsigned int info = 0;
    if (freexl_get_info(m_handle, FREEXL_BIFF_PASSWORD, &info) != FREEXL_OK || info != FREEXL_BIFF_PLAIN) {
        Close();
        return false;
    }
    if (freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &info) != FREEXL_OK || info == 0) {
        Close();
        return false;
    }
    if (freexl_select_active_worksheet(m_handle, 0) != FREEXL_OK) {
        Close();
        return false;
    }
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(m_handle, &rows, &columns) != FREEXL_OK) {
        Close();
        return false;
    }
    m_rows = rows;
    m_columns = columns;
    return true;
}

void XlsSheetReader::Close()
{
    if (m_handle)
        freexl_close(m_handle);
    m_handle = nullptr;
    m_rows = m_columns = 0;
}

QString NumberText(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    // General shows at most about eleven significant digits.
    QString text = QString::number(value, 'g', 11);
    return text;
}

bool XlsSheetReader::CellText(unsigned row, unsigned column, QString &text) const
{
    text.clear();
    if (!m_handle)
        return false;
    if (row == 0 || column == 0 || row > m_rows || column > m_columns)
        return true;
    FreeXL_CellValue value{};
    if (freexl_get_cell_value(m_handle, row - 1, static_cast<unsigned short>(column - 1), &value) != FREEXL_OK)
        return false;
    switch (value.type) {
    case FREEXL_CELL_INT:
        text = QString::number(value.value.int_value);
        break;
    case FREEXL_CELL_DOUBLE:
        text = NumberText(value.value.double_value);
        break;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        if (value.value.text_value)
            text = QString::fromUtf8(value.value.text_value);
        break;
    default:
        break;
    }
    return true;
}
