#include "biffreader.h"

#include "compoundfile.h"
#include "numberformat.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

enum : std::uint16_t {
    R_FORMULA = 0x0006,
    R_EOF = 0x000A,
    R_DATEMODE = 0x0022,
    R_FILEPASS = 0x002F,
    R_CONTINUE = 0x003C,
    R_BOUNDSHEET = 0x0085,
    R_MULRK = 0x00BD,
    R_RSTRING = 0x00D6,
    R_XF = 0x00E0,
    R_SST = 0x00FC,
    R_LABELSST = 0x00FD,
    R_DIMENSIONS = 0x0200,
    R_BLANK = 0x0201,
    R_NUMBER = 0x0203,
    R_LABEL = 0x0204,
    R_BOOLERR = 0x0205,
    R_STRING = 0x0207,
    R_RK = 0x027E,
    R_ARRAY = 0x0221,
    R_TABLE = 0x0236,
    R_SHRFMLA = 0x04BC,
    R_FORMAT = 0x041E,
    R_BOF = 0x0809,
};

constexpr unsigned kMaxRows = 65536, kMaxColumns = 256;

std::uint16_t u16(const char *p)
{
    return std::uint16_t(quint8(p[0]) | quint8(p[1]) << 8);
}

std::uint32_t u32(const char *p)
{
    return std::uint32_t(quint8(p[0])) | std::uint32_t(quint8(p[1])) << 8 | std::uint32_t(quint8(p[2])) << 16 |
           std::uint32_t(quint8(p[3])) << 24;
}

double f64(const char *p)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | quint8(p[i]);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

double rkValue(std::uint32_t rk)
{
    double v;
    if (rk & 2) {
        v = double(std::int32_t(rk) >> 2);
    } else {
        const std::uint64_t bits = std::uint64_t(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, 8);
    }
    return (rk & 1) ? v / 100.0 : v;
}

struct Record {
    std::uint16_t id = 0;
    qsizetype offset = 0; // of the data in the stream
    qsizetype size = 0;
};

// The records of a stream, one after the other.
class Records {
public:
    explicit Records(const QByteArray &s, qsizetype at = 0) : m_s(s), m_pos(at) {}
    // False at the end of the stream; `damaged` when a record is cut short.
    bool next(Record &r)
    {
        if (m_pos + 4 > m_s.size())
            return false;
        r.id = u16(m_s.constData() + m_pos);
        r.size = u16(m_s.constData() + m_pos + 2);
        r.offset = m_pos + 4;
        if (r.offset + r.size > m_s.size()) {
            damaged = true;
            return false;
        }
        m_pos = r.offset + r.size;
        return true;
    }
    // The record that would come next, without taking it.
    bool peek(Record &r) const
    {
        Records copy(m_s, m_pos);
        return copy.next(r);
    }
    qsizetype position() const { return m_pos; }
    bool damaged = false;

private:
    const QByteArray &m_s;
    qsizetype m_pos;
};

// A record's data with the CONTINUE records after it, read as one run of
// bytes; strings that cross from one part into the next find the repeated
// option byte at the start of the next part.
class Segments {
public:
    Segments(const QByteArray &s, const Record &first) : m_s(s) { m_parts.push_back({first.offset, first.size}); }
    void add(const Record &r) { m_parts.push_back({r.offset, r.size}); }

    bool ok() const { return !m_failed; }
    bool atEnd() const
    {
        std::size_t p = m_part;
        qsizetype at = m_at;
        while (p < m_parts.size() && at >= m_parts[p].second) {
            ++p;
            at = 0;
        }
        return p >= m_parts.size();
    }
    // Bytes that remain in the current part.
    qsizetype leftInPart() const { return m_part < m_parts.size() ? m_parts[m_part].second - m_at : 0; }

    bool byte(quint8 &out)
    {
        while (m_part < m_parts.size() && m_at >= m_parts[m_part].second) {
            ++m_part;
            m_at = 0;
        }
        if (m_part >= m_parts.size())
            return fail();
        out = quint8(m_s[m_parts[m_part].first + m_at]);
        ++m_at;
        return true;
    }
    bool read16(std::uint16_t &out)
    {
        quint8 a, b;
        if (!byte(a) || !byte(b))
            return false;
        out = std::uint16_t(a | b << 8);
        return true;
    }
    bool read32(std::uint32_t &out)
    {
        std::uint16_t a, b;
        if (!read16(a) || !read16(b))
            return false;
        out = std::uint32_t(a) | std::uint32_t(b) << 16;
        return true;
    }
    bool skip(std::uint64_t n)
    {
        while (n > 0) {
            if (m_part >= m_parts.size())
                return fail();
            const qsizetype left = m_parts[m_part].second - m_at;
            if (left <= 0) {
                ++m_part;
                m_at = 0;
                continue;
            }
            const qsizetype step = qsizetype(std::min<std::uint64_t>(n, std::uint64_t(left)));
            m_at += step;
            n -= std::uint64_t(step);
        }
        return true;
    }
    // A string's characters: `count` UTF-16 units, one byte each while the
    // option byte says so; at each new part a new option byte.
    bool chars(std::uint32_t count, bool highByte, QString &out)
    {
        out.clear();
        out.reserve(qsizetype(std::min<std::uint32_t>(count, 65536)));
        while (count > 0) {
            if (m_part < m_parts.size() && m_at >= m_parts[m_part].second) {
                ++m_part;
                m_at = 0;
                if (m_part >= m_parts.size())
                    return fail();
                quint8 flags;
                if (!byte(flags))
                    return false;
                highByte = flags & 1;
                continue;
            }
            if (m_part >= m_parts.size())
                return fail();
            const char *base = m_s.constData() + m_parts[m_part].first;
            const qsizetype left = m_parts[m_part].second - m_at;
            if (highByte) {
                const qsizetype n = std::min<qsizetype>(left / 2, qsizetype(count));
                if (n == 0) {
                    if (left == 1) // a character split between parts: damage
                        return fail();
                    continue;
                }
                for (qsizetype i = 0; i < n; ++i)
                    out += QChar(u16(base + m_at + 2 * i));
                m_at += 2 * n;
                count -= std::uint32_t(n);
            } else {
                const qsizetype n = std::min<qsizetype>(left, qsizetype(count));
                out += QString::fromLatin1(base + m_at, n);
                m_at += n;
                count -= std::uint32_t(n);
            }
        }
        return true;
    }
    // XLUnicodeRichExtendedString (SST) or XLUnicodeString (LABEL, STRING).
    bool string(QString &out, bool rich)
    {
        std::uint16_t cch;
        quint8 flags;
        if (!read16(cch) || !byte(flags))
            return false;
        std::uint16_t runs = 0;
        std::uint32_t ext = 0;
        if (rich && (flags & 0x08) && !read16(runs))
            return false;
        if (rich && (flags & 0x04) && !read32(ext))
            return false;
        if (!chars(cch, flags & 1, out))
            return false;
        return skip(std::uint64_t(runs) * 4 + ext);
    }

private:
    bool fail()
    {
        m_failed = true;
        return false;
    }
    const QByteArray &m_s;
    std::vector<std::pair<qsizetype, qsizetype>> m_parts;
    std::size_t m_part = 0;
    qsizetype m_at = 0;
    bool m_failed = false;
};

// A record and the CONTINUE records that follow it.
Segments withContinues(const QByteArray &s, Records &records, const Record &first)
{
    Segments seg(s, first);
    Record next;
    while (records.peek(next) && next.id == R_CONTINUE) {
        records.next(next);
        seg.add(next);
    }
    return seg;
}

QString errorText(quint8 code)
{
    switch (code) {
    case 0x00: return QStringLiteral("#NULL!");
    case 0x07: return QStringLiteral("#DIV/0!");
    case 0x0F: return QStringLiteral("#VALUE!");
    case 0x17: return QStringLiteral("#REF!");
    case 0x1D: return QStringLiteral("#NAME?");
    case 0x24: return QStringLiteral("#NUM!");
    default: return QStringLiteral("#N/A");
    }
}

struct Globals {
    bool date1904 = false;
    QHash<int, QString> formats;      // FORMAT records: index → code
    std::vector<std::uint16_t> xfFormat; // per XF: its number format index
    std::vector<QString> strings;     // the shared strings
    qsizetype sheetAt = -1;           // BOF of the first worksheet
};

bool fail(QString *why, const char *reason)
{
    if (why)
        *why = QString::fromLatin1(reason);
    return false;
}

bool readGlobals(const QByteArray &s, Globals &g, QString *why)
{
    Records records(s);
    Record r;
    if (!records.next(r) || r.id != R_BOF || r.size < 4)
        return fail(why, "no workbook globals");
    const char *d = s.constData() + r.offset;
    if (u16(d) != 0x0600 || u16(d + 2) != 0x0005)
        return fail(why, "not an Excel 97-2003 (BIFF8) workbook");
    while (records.next(r)) {
        d = s.constData() + r.offset;
        switch (r.id) {
        case R_EOF:
            if (g.sheetAt < 0)
                return fail(why, "no worksheet");
            return true;
        case R_FILEPASS:
            return fail(why, "the workbook is protected by a password");
        case R_DATEMODE:
            if (r.size >= 2)
                g.date1904 = u16(d) != 0;
            break;
        case R_FORMAT: {
            if (r.size < 2)
                break;
            Segments seg = withContinues(s, records, r);
            std::uint16_t index;
            QString code;
            if (seg.read16(index) && seg.string(code, false))
                g.formats.insert(index, code);
            break;
        }
        case R_XF:
            if (r.size >= 4)
                g.xfFormat.push_back(u16(d + 2));
            break;
        case R_BOUNDSHEET:
            // The first worksheet (type 0); charts and macro sheets are passed over.
            if (r.size >= 6 && quint8(d[5]) == 0 && g.sheetAt < 0)
                g.sheetAt = qsizetype(u32(d));
            break;
        case R_SST: {
            Segments seg = withContinues(s, records, r);
            std::uint32_t total, unique;
            if (!seg.read32(total) || !seg.read32(unique))
                return fail(why, "shared strings damaged");
            QString text;
            for (std::uint32_t i = 0; i < unique && !seg.atEnd(); ++i) {
                if (!seg.string(text, true))
                    return fail(why, "shared strings damaged");
                g.strings.push_back(text);
            }
            break;
        }
        default:
            break;
        }
    }
    return fail(why, records.damaged ? "record cut short" : "workbook globals without an end");
}

class SheetBuilder {
public:
    SheetBuilder(const Globals &g, SheetCells &out) : m_g(g), m_out(out) {}

    bool place(unsigned row, unsigned column, const QString &text)
    {
        if (row >= kMaxRows || column >= kMaxColumns)
            return false;
        used(row, column);
        if (!text.isEmpty())
            m_out.cells.insert(CellKey(row + 1, column + 1), text);
        else
            m_out.cells.remove(CellKey(row + 1, column + 1));
        return true;
    }
    void used(unsigned row, unsigned column)
    {
        if (row < kMaxRows && column < kMaxColumns) {
            m_out.rows = std::max(m_out.rows, row + 1);
            m_out.columns = std::max(m_out.columns, column + 1);
        }
    }
    QString number(double value, unsigned xf) const
    {
        const int index = xf < m_g.xfFormat.size() ? m_g.xfFormat[xf] : 0;
        const auto custom = m_g.formats.constFind(index);
        const QString code = custom != m_g.formats.constEnd() ? *custom : BuiltInNumberFormat(index);
        if (code.isEmpty())
            return GeneralNumberText(value);
        return FormatCellNumber(value, code, m_g.date1904);
    }

private:
    const Globals &m_g;
    SheetCells &m_out;
};

bool readSheet(const QByteArray &s, const Globals &g, SheetCells &out, QString *why)
{
    if (g.sheetAt < 0 || g.sheetAt >= s.size())
        return fail(why, "worksheet outside the stream");
    Records records(s, g.sheetAt);
    Record r;
    if (!records.next(r) || r.id != R_BOF || r.size < 4)
        return fail(why, "worksheet without a start");
    SheetBuilder sheet(g, out);
    int nested = 0; // charts and other objects inside the sheet
    // The cell of the last formula whose text result follows in STRING.
    bool stringPending = false;
    unsigned pendingRow = 0, pendingColumn = 0;
    while (records.next(r)) {
        const char *d = s.constData() + r.offset;
        if (r.id == R_BOF) {
            ++nested;
            continue;
        }
        if (r.id == R_EOF) {
            if (nested-- == 0)
                return true;
            continue;
        }
        if (nested > 0)
            continue;
        // A formula's text result follows it, after its shared or array
        // formula if it has one.
        if (r.id != R_STRING && r.id != R_CONTINUE && r.id != R_SHRFMLA && r.id != R_ARRAY && r.id != R_TABLE)
            stringPending = false;
        switch (r.id) {
        case R_DIMENSIONS:
            // The used range as the writer saw it (formatted empty cells too).
            if (r.size >= 14) {
                const std::uint32_t rowEnd = u32(d + 4);
                const std::uint16_t colEnd = u16(d + 10);
                if (rowEnd > 0 && colEnd > 0)
                    sheet.used(std::min<std::uint32_t>(rowEnd, kMaxRows) - 1,
                               std::min<unsigned>(colEnd, kMaxColumns) - 1);
            }
            break;
        case R_LABELSST:
            if (r.size >= 10) {
                const std::uint32_t index = u32(d + 6);
                if (index >= g.strings.size())
                    return fail(why, "shared string index outside the table");
                sheet.place(u16(d), u16(d + 2), g.strings[index]);
            }
            break;
        case R_LABEL:
        case R_RSTRING: {
            if (r.size < 8)
                break;
            Segments seg = withContinues(s, records, r);
            QString text;
            if (!seg.skip(6) || !seg.string(text, false))
                return fail(why, "text cell damaged");
            sheet.place(u16(d), u16(d + 2), text);
            break;
        }
        case R_NUMBER:
            if (r.size >= 14)
                sheet.place(u16(d), u16(d + 2), sheet.number(f64(d + 6), u16(d + 4)));
            break;
        case R_RK:
            if (r.size >= 10)
                sheet.place(u16(d), u16(d + 2), sheet.number(rkValue(u32(d + 6)), u16(d + 4)));
            break;
        case R_MULRK:
            if (r.size >= 6) {
                const unsigned row = u16(d), first = u16(d + 2);
                const qsizetype n = (r.size - 6) / 6;
                for (qsizetype i = 0; i < n; ++i) {
                    const char *e = d + 4 + 6 * i;
                    sheet.place(row, first + unsigned(i), sheet.number(rkValue(u32(e + 2)), u16(e)));
                }
            }
            break;
        case R_BOOLERR:
            if (r.size >= 8) {
                const quint8 value = quint8(d[6]);
                const bool error = d[7] != 0;
                sheet.place(u16(d), u16(d + 2),
                            error ? errorText(value) : (value ? QStringLiteral("TRUE") : QStringLiteral("FALSE")));
            }
            break;
        case R_BLANK:
            if (r.size >= 6)
                sheet.used(u16(d), u16(d + 2));
            break;
        case R_FORMULA:
            if (r.size >= 20) {
                const unsigned row = u16(d), column = u16(d + 2);
                const char *v = d + 6;
                if (quint8(v[6]) == 0xFF && quint8(v[7]) == 0xFF) {
                    switch (quint8(v[0])) {
                    case 0: // text: in the STRING record that follows
                        sheet.used(row, column);
                        stringPending = true;
                        pendingRow = row;
                        pendingColumn = column;
                        break;
                    case 1:
                        sheet.place(row, column, v[2] ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
                        break;
                    case 2:
                        sheet.place(row, column, errorText(quint8(v[2])));
                        break;
                    default: // an empty text
                        sheet.place(row, column, QString());
                        break;
                    }
                } else {
                    sheet.place(row, column, sheet.number(f64(v), u16(d + 4)));
                }
            }
            break;
        case R_STRING:
            if (stringPending) {
                Segments seg = withContinues(s, records, r);
                QString text;
                if (!seg.string(text, false))
                    return fail(why, "formula result damaged");
                sheet.place(pendingRow, pendingColumn, text);
                stringPending = false;
            }
            break;
        default:
            break;
        }
    }
    return fail(why, records.damaged ? "record cut short" : "worksheet without an end");
}

} // namespace

bool ReadXlsWorkbook(const QByteArray &file, SheetCells &sheet, QString *why)
{
    sheet = SheetCells();
    QByteArray stream;
    if (!ReadCompoundStream(file, {QStringLiteral("Workbook"), QStringLiteral("Book")}, stream, why))
        return false;
    Globals g;
    if (!readGlobals(stream, g, why) || !readSheet(stream, g, sheet, why)) {
        sheet = SheetCells();
        return false;
    }
    return true;
}
