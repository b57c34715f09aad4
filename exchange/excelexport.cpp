#include "excelexport.h"

#include "appcontext.h"
#include "recordsets.h"
#include "sqlformat.h"
#include "tvmessage.h"
#include "tvstrings.h"
#include "xlsxsheetwriter.h"
#include "odssheetwriter.h"
#include "xlswriter.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

namespace {

enum { MSG_MEMORY = 7, MSG_DATABASE = 8, MSG_GENERATE_FAILED = 59416, MSG_SHEET_NAME = 59415, MSG_HEADER_FIRST = 59417 };

constexpr int kColumns = 8;
// A 10-point font at 96 dots per inch: MulDiv(100, 96, 720).
constexpr int kPixelHeight = 13;

int widestLine(const QString &text, const std::function<int(const QString &)> &measure)
{
    if (!text.contains(u'\n'))
        return measure(text);
    int widest = 0;
    for (const QString &line : text.split(u'\n'))
        widest = std::max(widest, measure(line));
    return widest;
}

} // namespace

TextMeasure TextMeasure::Default()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QFont arial(QStringLiteral("Arial"));
        arial.setPixelSize(kPixelHeight);
        arial.setBold(true);
        QFont times(QStringLiteral("Times New Roman"));
        times.setPixelSize(kPixelHeight);
        auto headerMetrics = std::make_shared<QFontMetrics>(arial);
        auto bodyMetrics = std::make_shared<QFontMetrics>(times);
        return TextMeasure{[headerMetrics, bodyMetrics](const QString &text, bool header) {
            return (header ? headerMetrics : bodyMetrics)->horizontalAdvance(text);
        }};
    }
    // Average advances of the two faces at 13 pixels.
    return TextMeasure{[](const QString &text, bool header) {
        return int(std::ceil(text.size() * (header ? 7.5 : 6.0)));
    }};
}

int ColumnWidthFromPixels(int pixels)
{
    // The spreadsheets draw 10 points at 96 dpi as 13.33 pixels (the text
    // was measured at 13), keep about 3 pixels of margin on each side and
    // the grid line, and count a width in digits of their default face,
    // about 7 pixels each: the column holds the widest text whole.
    if (pixels <= 0)
        return 0;
    return int(std::ceil((pixels * 40.0 / 39.0 + 8.0) / 7.0 - 1e-9));
}

std::set<int> CollectFolderSet(CDatabase &db, int folder, bool subfolders)
{
    std::set<int> result{folder};
    if (!subfolders)
        return result;
    std::vector<int> pending{folder};
    while (!pending.empty()) {
        const int parent = pending.back();
        pending.pop_back();
        CSetFolder set(&db);
        set.Open(SqlFormat(QStringLiteral("SELECT * FROM FOLDER WHERE ID_PARENT = %d"), parent));
        for (; !set.IsEOF(); set.MoveNext()) {
            // A damaged tree with a cycle must not loop for ever.
            if (result.insert(set.m_ID_FOLDER_FOLDER).second)
                pending.push_back(set.m_ID_FOLDER_FOLDER);
        }
    }
    return result;
}

QString JoinWithNotes(const std::vector<std::pair<QString, QString>> &items)
{
    QString out;
    for (const auto &[value, note] : items) {
        if (!out.isEmpty())
            out += QStringLiteral("; ");
        out += value;
        if (!note.isEmpty())
            out += QStringLiteral(" (") + note + u')';
    }
    return out;
}

QString WithoutCarriageReturns(QString text)
{
    text.remove(u'\r');
    return text;
}

SheetData BuildExportSheet(CDatabase &db, const std::set<int> &folders, const TextMeasure &measure)
{
    SheetData sheet;
    sheet.name = TVLoadStringResource(MSG_SHEET_NAME);
    sheet.columns = kColumns;
    sheet.header = SheetCellStyle{QStringLiteral("Arial"), true, 10, kHeaderFill};
    sheet.body = SheetCellStyle{QStringLiteral("Times New Roman"), false, 10, kBodyFill};

    std::vector<int> pixels(kColumns, 0);
    std::vector<QString> header;
    for (int c = 0; c < kColumns; ++c) {
        header.push_back(TVLoadStringResource(MSG_HEADER_FIRST + c));
        pixels[std::size_t(c)] = widestLine(header.back(), [&](const QString &t) { return measure.width(t, true); });
    }
    sheet.rows.push_back(std::move(header));
    sheet.heights.push_back(16.0);

    // The phones and e-mails, each table read once in its order and grouped
    // by address: the same lists as one query per address, in a fraction of
    // the time.
    using Items = std::vector<std::pair<QString, QString>>;
    QHash<int, Items> phones, emails;
    {
        CSetTel tel(&db);
        tel.Open(QStringLiteral("SELECT * FROM TEL ORDER BY PHONE"));
        for (; !tel.IsEOF(); tel.MoveNext())
            phones[tel.m_ID_TEL_ADDRESS].emplace_back(tel.m_PHONE, tel.m_NOTE);
    }
    {
        CSetEmail mail(&db);
        mail.Open(QStringLiteral("SELECT * FROM EMAIL ORDER BY EMAIL"));
        for (; !mail.IsEOF(); mail.MoveNext())
            emails[mail.m_ID_EMAIL_ADDRESS].emplace_back(mail.m_EMAIL, mail.m_NOTE);
    }

    CSetAddress address(&db);
    address.Open(QStringLiteral("SELECT * FROM ADDRESS ORDER BY NAME"));
    const Items none;
    // Names, towns and countries repeat: each distinct line is measured once.
    QHash<QString, int> bodyWidths;
    auto bodyWidth = [&](const QString &line) {
        const auto found = bodyWidths.constFind(line);
        if (found != bodyWidths.constEnd())
            return *found;
        const int w = measure.width(line, false);
        if (bodyWidths.size() < 200000)
            bodyWidths.insert(line, w);
        return w;
    };
    for (; !address.IsEOF(); address.MoveNext()) {
        if (!folders.count(address.m_ID_ADDRESS_FOLDER))
            continue;
        const int id = address.m_ID_ADDRESS_ADDRESS;
        std::vector<QString> row{WithoutCarriageReturns(address.m_NAME),
                                 WithoutCarriageReturns(address.m_STREET),
                                 WithoutCarriageReturns(address.m_TOWN),
                                 address.m_ZIP,
                                 WithoutCarriageReturns(address.m_COUNTRY),
                                 WithoutCarriageReturns(address.m_NOTE),
                                 JoinWithNotes(phones.contains(id) ? phones[id] : none),
                                 JoinWithNotes(emails.contains(id) ? emails[id] : none)};
        int lines = 1;
        for (int c = 0; c < kColumns; ++c) {
            const QString &text = row[std::size_t(c)];
            if (text.isEmpty())
                continue;
            lines = std::max(lines, int(text.count(u'\n')) + 1);
            pixels[std::size_t(c)] = std::max(
                pixels[std::size_t(c)], widestLine(text, bodyWidth));
        }
        sheet.rows.push_back(std::move(row));
        // Several lines get a row tall enough to show them all.
        sheet.heights.push_back(lines > 1 ? lines * 12.75 : 0.0);
    }
    for (int c = 0; c < kColumns; ++c)
        sheet.widths.push_back(ColumnWidthFromPixels(pixels[std::size_t(c)]));
    return sheet;
}

QString FileExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot <= 0)
        return QString();
    return fileName.mid(dot + 1).toLower();
}

int CheckExportExtension(const QString &fileName, SheetFormat format)
{
    const QString ext = FileExtension(fileName);
    if (format == SheetFormat::Xls)
        return ext == QLatin1String("xls") ? 0 : 59412;
    if (format == SheetFormat::Ods)
        return ext == QLatin1String("ods") ? 0 : 59442;
    return ext == QLatin1String("xlsx") ? 0 : 59413;
}

QString DefaultExportPath(SheetFormat format)
{
    return AppContext::ProgramFile(format == SheetFormat::Xls    ? QStringLiteral("Export/export.xls")
                                   : format == SheetFormat::Ods ? QStringLiteral("Export/export.ods")
                                                                : QStringLiteral("Export/export.xlsx"));
}

bool WriteSheetFile(const SheetData &sheet, const QString &path, SheetFormat format, QString *error)
{
    switch (format) {
    case SheetFormat::Xls:
        return WriteXlsFile(sheet, path, error);
    case SheetFormat::Ods:
        return WriteOdsFile(sheet, path, error);
    case SheetFormat::Xlsx:
        break;
    }
    return WriteXlsxFile(sheet, path, error);
}

bool ExportAddresses(CDatabase &db, int folder, bool subfolders, const QString &path, SheetFormat format,
                     const TextMeasure &measure)
{
    SheetData sheet;
    try {
        const std::set<int> folders = CollectFolderSet(db, folder, subfolders);
        sheet = BuildExportSheet(db, folders, measure);
    } catch (const DbException &) {
        CTVError error(MSG_DATABASE);
        return false;
    } catch (const std::bad_alloc &) {
        CTVError error(MSG_MEMORY);
        return false;
    }
    QString why;
    bool written = false;
    try {
        written = WriteSheetFile(sheet, path, format, &why);
    } catch (const std::bad_alloc &) {
        written = false;
    }
    if (!written) {
        CTVError error(MSG_GENERATE_FAILED);
        return false;
    }
    return true;
}
