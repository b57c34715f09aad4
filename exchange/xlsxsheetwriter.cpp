#include "xlsxsheetwriter.h"

#include "fileerrors.h"

#include <QFile>
#include <cstring>
#include <xlsxwriter.h>

namespace {

lxw_format *makeFormat(lxw_workbook *book, const SheetCellStyle &style, bool wrap)
{
    lxw_format *f = workbook_add_format(book);
    if (!f)
        return nullptr;
    const QByteArray name = style.fontName.toUtf8();
    format_set_font_name(f, name.constData());
    format_set_font_size(f, style.pointSize);
    if (style.bold)
        format_set_bold(f);
    format_set_pattern(f, LXW_PATTERN_SOLID);
    format_set_bg_color(f, style.fillRgb);
    format_set_border(f, LXW_BORDER_THIN);
    // Only cells with a line break wrap; single lines keep their whole width.
    if (wrap)
        format_set_text_wrap(f);
    format_set_align(f, LXW_ALIGN_VERTICAL_TOP);
    return f;
}

QString reason(lxw_error e)
{
    return QString::fromUtf8(lxw_strerror(e));
}

} // namespace

bool WriteXlsxFile(const SheetData &sheet, const QString &path, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (sheet.rows.size() > std::size_t(kXlsxMaxRows))
        return fail(QStringLiteral("%1 rows; the format holds %2").arg(sheet.rows.size()).arg(kXlsxMaxRows));
    if (sheet.columns <= 0 || sheet.columns > 16384)
        return fail(QStringLiteral("%1 columns").arg(sheet.columns));

    const QString partial = path + QStringLiteral(".part");
    const QByteArray file = QFile::encodeName(partial);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook *book = workbook_new_opt(file.constData(), &options);
    if (!book)
        return fail(QStringLiteral("cannot create the workbook"));

    bool ok = true;
    QString why;
    auto check = [&](lxw_error e) {
        if (e != LXW_NO_ERROR && ok) {
            ok = false;
            why = reason(e);
        }
    };
    const QByteArray sheetName = sheet.name.toUtf8();
    lxw_worksheet *ws = workbook_add_worksheet(book, sheetName.constData());
    lxw_format *header = makeFormat(book, sheet.header, false);
    lxw_format *body = makeFormat(book, sheet.body, false);
    lxw_format *headerWrap = makeFormat(book, sheet.header, true);
    lxw_format *bodyWrap = makeFormat(book, sheet.body, true);
    if (!ws || !header || !body || !headerWrap || !bodyWrap) {
        ok = false;
        why = QStringLiteral("cannot create the worksheet");
    }
    for (int c = 0; ok && c < sheet.columns; ++c) {
        const double width = c < int(sheet.widths.size()) ? sheet.widths[std::size_t(c)] : LXW_DEF_COL_WIDTH;
        check(worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), width, nullptr));
    }
    QByteArray text;
    for (std::size_t r = 0; ok && r < sheet.rows.size(); ++r) {
        lxw_format *plain = r == 0 ? header : body;
        lxw_format *wrapped = r == 0 ? headerWrap : bodyWrap;
        const double points = r < sheet.heights.size() ? sheet.heights[r] : 0.0;
        if (points > 0)
            check(worksheet_set_row(ws, lxw_row_t(r), points, nullptr));
        const auto &row = sheet.rows[r];
        for (int c = 0; ok && c < sheet.columns; ++c) {
            if (c < int(row.size()) && !row[std::size_t(c)].isEmpty()) {
                if (row[std::size_t(c)].size() > kMaxCellCharacters) {
                    ok = false;
                    why = QStringLiteral("a cell holds more than %1 characters").arg(kMaxCellCharacters);
                    break;
                }
                text = row[std::size_t(c)].toUtf8();
                check(worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), text.constData(),
                                             text.contains('\n') ? wrapped : plain));
            } else {
                check(worksheet_write_blank(ws, lxw_row_t(r), lxw_col_t(c), plain));
            }
        }
    }
    // The workbook is always closed, which frees it; only its result counts.
    const lxw_error closed = workbook_close(book);
    if (ok && closed != LXW_NO_ERROR) {
        ok = false;
        why = reason(closed);
    }
    if (!ok) {
        QFile::remove(partial);
        return fail(why);
    }
    {
        // On disk before the rename makes it the file of that name.
        RawFile written;
        if (!written.OpenRead(partial) || !written.Sync()) {
            QFile::remove(partial);
            return fail(QString::fromLocal8Bit(std::strerror(written.Errno())));
        }
    }
    int renameError = 0;
    if (!ReplaceFile(partial, path, &renameError)) {
        QFile::remove(partial);
        return fail(QString::fromLocal8Bit(std::strerror(renameError)));
    }
    return true;
}
