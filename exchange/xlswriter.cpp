#include "xlswriter.h"

#include "compoundfile.h"
#include "fileerrors.h"

#include <QFile>
#include <QHash>
#include <cstring>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kMaxRecordData = 8224;

enum : std::uint16_t {
    R_BOF = 0x0809,
    R_EOF = 0x000A,
    R_CODEPAGE = 0x0042,
    R_WINDOW1 = 0x003D,
    R_FONT = 0x0031,
    R_XF = 0x00E0,
    R_STYLE = 0x0293,
    R_PALETTE = 0x0092,
    R_BOUNDSHEET = 0x0085,
    R_SST = 0x00FC,
    R_CONTINUE = 0x003C,
    R_EXTSST = 0x00FF,
    R_DIMENSIONS = 0x0200,
    R_COLINFO = 0x007D,
    R_ROW = 0x0208,
    R_LABELSST = 0x00FD,
    R_BLANK = 0x0201,
    R_WINDOW2 = 0x023E,
};

// The default BIFF8 palette, entries 8 to 63, as 0xRRGGBB.
const std::uint32_t kDefaultPalette[56] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000,
    0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF,
    0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000,
    0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, 0x003366, 0x339966,
    0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

// Cells with a line break use the wrapping twin of their style; all others
// stay on one line, so a spreadsheet never cuts a single-line text short.
constexpr std::uint16_t kXfCellDefault = 15, kXfHeader = 16, kXfBody = 17, kXfHeaderWrap = 18, kXfBodyWrap = 19;
constexpr std::uint16_t kFontHeader = 5, kFontBody = 6;
constexpr int kBorderColourIcv = 8; // black

class Bytes {
public:
    explicit Bytes(QByteArray &b) : m_b(b) {}
    void u8(unsigned v) { m_b.append(char(v & 0xFF)); }
    void u16(unsigned v)
    {
        u8(v);
        u8(v >> 8);
    }
    void u32(std::uint32_t v)
    {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void raw(const QByteArray &data) { m_b.append(data); }

private:
    QByteArray &m_b;
};

void record(QByteArray &stream, std::uint16_t id, const QByteArray &data)
{
    Bytes b(stream);
    b.u16(id);
    b.u16(unsigned(data.size()));
    stream.append(data);
}

bool isLatin1(const QString &s)
{
    for (QChar c : s)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

// ShortXLUnicodeString: cch u8, flags, characters.
QByteArray shortString(const QString &s)
{
    QByteArray out;
    Bytes b(out);
    const QString t = s.left(255);
    const bool wide = !isLatin1(t);
    b.u8(unsigned(t.size()));
    b.u8(wide ? 1 : 0);
    for (QChar c : t) {
        if (wide)
            b.u16(c.unicode());
        else
            b.u8(c.unicode());
    }
    return out;
}

QByteArray font(const QString &name, bool bold, bool italic, int twips, unsigned family)
{
    QByteArray d;
    Bytes b(d);
    b.u16(unsigned(twips));
    b.u16((bold ? 0x0001 : 0) | (italic ? 0x0002 : 0));
    b.u16(0x7FFF);
    b.u16(bold ? 700 : 400);
    b.u16(0);    // superscript / subscript
    b.u8(0);     // underline
    b.u8(family);
    b.u8(0);     // character set
    b.u8(0);
    b.raw(shortString(name));
    return d;
}

QByteArray xf(std::uint16_t ifnt, bool style, std::uint8_t alignment, std::uint8_t used, bool borders,
              int fillIcv)
{
    QByteArray d;
    Bytes b(d);
    b.u16(ifnt);
    b.u16(0); // General
    b.u16(style ? 0xFFF5 : 0x0001);
    b.u8(alignment);
    b.u8(0); // rotation
    b.u8(0); // indent, shrink, reading order
    b.u8(used);
    std::uint32_t lines = 0, colours = 0;
    if (borders) {
        lines = 0x1 | 0x1 << 4 | 0x1 << 8 | 0x1 << 12 | std::uint32_t(kBorderColourIcv) << 16 |
                std::uint32_t(kBorderColourIcv) << 23;
        colours = std::uint32_t(kBorderColourIcv) | std::uint32_t(kBorderColourIcv) << 7;
    }
    if (fillIcv > 0)
        colours |= 1u << 26; // solid
    b.u32(lines);
    b.u32(colours);
    b.u16(fillIcv > 0 ? (unsigned(fillIcv) | 0x41u << 7) : (0x40u | 0x41u << 7));
    return d;
}

QByteArray bof(std::uint16_t type)
{
    QByteArray d;
    Bytes b(d);
    b.u16(0x0600);
    b.u16(type);
    b.u16(0x0DBB);
    b.u16(0x07CC);
    b.u32(0);
    b.u32(6);
    return d;
}

// The shared string table with its CONTINUE records and the EXTSST index,
// appended to `stream`.
void writeStringTable(QByteArray &stream, const std::vector<QString> &strings, std::uint32_t total)
{
    const std::uint32_t unique = std::uint32_t(strings.size());
    const std::uint32_t perBucket = std::max<std::uint32_t>(unique / 128 + 1, 8);
    struct Bucket {
        std::uint32_t streamOffset;
        std::uint16_t recordOffset;
    };
    std::vector<Bucket> buckets;

    QByteArray rec;
    bool first = true;
    auto flush = [&] {
        record(stream, first ? R_SST : R_CONTINUE, rec);
        first = false;
        rec.clear();
    };
    {
        Bytes b(rec);
        b.u32(total);
        b.u32(unique);
    }
    for (std::uint32_t i = 0; i < unique; ++i) {
        const QString &s = strings[i];
        const bool wide = !isLatin1(s);
        const int charSize = wide ? 2 : 1;
        // The string's header stays with its first character.
        const int need = 3 + (s.isEmpty() ? 0 : charSize);
        if (kMaxRecordData - rec.size() < need)
            flush();
        if (i % perBucket == 0)
            buckets.push_back({std::uint32_t(stream.size() + 4 + rec.size()), std::uint16_t(4 + rec.size())});
        Bytes b(rec);
        b.u16(unsigned(s.size()));
        b.u8(wide ? 1 : 0);
        qsizetype pos = 0;
        while (pos < s.size()) {
            qsizetype room = (kMaxRecordData - rec.size()) / charSize;
            if (room == 0) {
                flush();
                Bytes c(rec);
                c.u8(wide ? 1 : 0); // a continued string repeats its flags
                room = (kMaxRecordData - rec.size()) / charSize;
            }
            const qsizetype n = std::min(room, s.size() - pos);
            if (wide) {
                for (qsizetype k = 0; k < n; ++k)
                    b.u16(s.at(pos + k).unicode());
            } else {
                for (qsizetype k = 0; k < n; ++k)
                    b.u8(s.at(pos + k).unicode());
            }
            pos += n;
        }
    }
    flush();

    QByteArray ext;
    Bytes e(ext);
    e.u16(perBucket);
    for (const Bucket &bucket : buckets) {
        e.u32(bucket.streamOffset);
        e.u16(bucket.recordOffset);
        e.u16(0);
    }
    record(stream, R_EXTSST, ext);
}

} // namespace

QByteArray BuildXlsWorkbookStream(const SheetData &sheet, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return QByteArray();
    };
    if (sheet.rows.size() > std::size_t(kXlsMaxRows))
        return fail(QStringLiteral("%1 rows; the format holds %2").arg(sheet.rows.size()).arg(kXlsMaxRows));
    if (sheet.columns <= 0 || sheet.columns > 256)
        return fail(QStringLiteral("%1 columns; the format holds 256").arg(sheet.columns));

    // Shared strings, in order of first use.
    QHash<QString, std::uint32_t> index;
    std::vector<QString> strings;
    std::uint32_t total = 0;
    for (const auto &row : sheet.rows) {
        if (row.size() > std::size_t(sheet.columns))
            return fail(QStringLiteral("a row has more cells than the sheet has columns"));
        for (const QString &cell : row) {
            if (cell.isEmpty())
                continue;
            if (cell.size() > kMaxCellCharacters)
                return fail(QStringLiteral("a cell holds %1 characters; the format holds %2")
                                .arg(cell.size())
                                .arg(kMaxCellCharacters));
            ++total;
            if (!index.contains(cell)) {
                index.insert(cell, std::uint32_t(strings.size()));
                strings.push_back(cell);
            }
        }
    }

    QByteArray stream;
    stream.reserve(qsizetype(total) * 14 + qsizetype(sheet.rows.size()) * 20 + 65536);

    // Globals.
    record(stream, R_BOF, bof(0x0005));
    {
        QByteArray d;
        Bytes(d).u16(1200);
        record(stream, R_CODEPAGE, d);
    }
    {
        QByteArray d;
        Bytes b(d);
        b.u16(0);
        b.u16(0);
        b.u16(0x3000);
        b.u16(0x2000);
        b.u16(0x0038);
        b.u16(0);
        b.u16(0);
        b.u16(1);
        b.u16(600);
        record(stream, R_WINDOW1, d);
    }
    const QString arial = QStringLiteral("Arial");
    record(stream, R_FONT, font(arial, false, false, 200, 2));
    record(stream, R_FONT, font(arial, true, false, 200, 2));
    record(stream, R_FONT, font(arial, false, true, 200, 2));
    record(stream, R_FONT, font(arial, true, true, 200, 2));
    // Index 4 does not exist in the format, so these are 5 and 6.
    auto family = [](const QString &name) { return name.contains(QLatin1String("Times")) ? 1u : 2u; };
    record(stream, R_FONT, font(sheet.header.fontName, sheet.header.bold, false, sheet.header.pointSize * 20,
                                family(sheet.header.fontName)));
    record(stream, R_FONT, font(sheet.body.fontName, sheet.body.bold, false, sheet.body.pointSize * 20,
                                family(sheet.body.fontName)));
    // XF 0 the Normal style, 1-14 further style XFs, 15 the default cell XF,
    // 16 header cells, 17 body cells.
    record(stream, R_XF, xf(0, true, 0x20, 0x00, false, 0));
    for (int i = 1; i <= 14; ++i)
        record(stream, R_XF, xf(0, true, 0x20, 0xF4, false, 0));
    record(stream, R_XF, xf(0, false, 0x20, 0x00, false, 0));
    const std::uint8_t top = 0x00, wrapTop = 0x08; // vertical alignment top; fWrap
    record(stream, R_XF, xf(kFontHeader, false, top, 0x78, true, kXlsHeaderFillIcv));
    record(stream, R_XF, xf(kFontBody, false, top, 0x78, true, kXlsBodyFillIcv));
    record(stream, R_XF, xf(kFontHeader, false, wrapTop, 0x78, true, kXlsHeaderFillIcv));
    record(stream, R_XF, xf(kFontBody, false, wrapTop, 0x78, true, kXlsBodyFillIcv));
    {
        QByteArray d;
        Bytes b(d);
        b.u16(0x8000);
        b.u8(0x00);
        b.u8(0xFF);
        record(stream, R_STYLE, d);
    }
    {
        std::uint32_t palette[56];
        std::copy(std::begin(kDefaultPalette), std::end(kDefaultPalette), palette);
        palette[kXlsHeaderFillIcv - 8] = sheet.header.fillRgb;
        palette[kXlsBodyFillIcv - 8] = sheet.body.fillRgb;
        QByteArray d;
        Bytes b(d);
        b.u16(56);
        for (std::uint32_t rgb : palette) {
            b.u8(rgb >> 16);
            b.u8(rgb >> 8);
            b.u8(rgb);
            b.u8(0);
        }
        record(stream, R_PALETTE, d);
    }
    qsizetype boundSheetPos = 0;
    {
        QByteArray d;
        Bytes b(d);
        b.u32(0); // patched below
        b.u8(0);
        b.u8(0);
        b.raw(shortString(sheet.name));
        boundSheetPos = stream.size() + 4;
        record(stream, R_BOUNDSHEET, d);
    }
    writeStringTable(stream, strings, total);
    record(stream, R_EOF, QByteArray());

    // The worksheet.
    const std::uint32_t sheetOffset = std::uint32_t(stream.size());
    for (int i = 0; i < 4; ++i)
        stream[boundSheetPos + i] = char((sheetOffset >> (8 * i)) & 0xFF);
    record(stream, R_BOF, bof(0x0010));
    {
        QByteArray d;
        Bytes b(d);
        b.u32(0);
        b.u32(std::uint32_t(sheet.rows.size())); // exclusive
        b.u16(0);
        b.u16(unsigned(sheet.columns)); // exclusive
        b.u16(0);
        record(stream, R_DIMENSIONS, d);
    }
    for (int c = 0; c < sheet.columns; ++c) {
        const double chars = c < int(sheet.widths.size()) ? sheet.widths[std::size_t(c)] : 10.0;
        const unsigned width = unsigned(std::clamp(std::lround(chars * 256.0), 0L, 255L * 256L));
        QByteArray d;
        Bytes b(d);
        b.u16(unsigned(c));
        b.u16(unsigned(c));
        b.u16(width);
        b.u16(kXfCellDefault);
        b.u16(0x0002);
        b.u16(0);
        record(stream, R_COLINFO, d);
    }
    QByteArray d;
    for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
        const auto &row = sheet.rows[r];
        const double points = r < sheet.heights.size() ? sheet.heights[r] : 0.0;
        d.clear();
        Bytes b(d);
        b.u16(unsigned(r));
        b.u16(0);
        b.u16(unsigned(sheet.columns));
        if (points > 0) {
            b.u16(unsigned(std::clamp(std::lround(points * 20.0), 1L, 8179L)));
            b.u16(0);
            b.u16(0);
            b.u32(0x0140);
        } else {
            b.u16(255);
            b.u16(0);
            b.u16(0);
            b.u32(0x0100);
        }
        record(stream, R_ROW, d);
        for (int c = 0; c < sheet.columns; ++c) {
            const QString empty;
            const QString &cell = c < int(row.size()) ? row[std::size_t(c)] : empty;
            const bool wrap = cell.contains(u'\n');
            const std::uint16_t ixfe = r == 0 ? (wrap ? kXfHeaderWrap : kXfHeader) : (wrap ? kXfBodyWrap : kXfBody);
            d.clear();
            Bytes cb(d);
            cb.u16(unsigned(r));
            cb.u16(unsigned(c));
            cb.u16(ixfe);
            if (cell.isEmpty()) {
                record(stream, R_BLANK, d);
            } else {
                cb.u32(index.value(cell));
                record(stream, R_LABELSST, d);
            }
        }
    }
    {
        QByteArray w;
        Bytes b(w);
        b.u16(0x06B6);
        b.u16(0);
        b.u16(0);
        b.u16(0x40);
        for (int i = 0; i < 5; ++i)
            b.u16(0);
        record(stream, R_WINDOW2, w);
    }
    record(stream, R_EOF, QByteArray());
    return stream;
}

bool WriteXlsFile(const SheetData &sheet, const QString &path, QString *error)
{
    const QByteArray stream = BuildXlsWorkbookStream(sheet, error);
    if (stream.isEmpty())
        return false;
    const QByteArray file = BuildCompoundFile(stream);
    // Written to one fixed name beside the target and renamed when complete:
    // a killed run leaves FILE.part, which the next run simply overwrites.
    const QString partial = path + QStringLiteral(".part");
    RawFile out;
    int renameError = 0;
    if (!out.Create(partial) || !out.WriteAll(file.constData(), std::size_t(file.size())) || !out.Sync() ||
        !out.Close()) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(out.Errno()));
        out.Close();
        QFile::remove(partial);
        return false;
    }
    if (!ReplaceFile(partial, path, &renameError)) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(renameError));
        QFile::remove(partial);
        return false;
    }
    return true;
}
