#include "zipsheetreader.h"

#include "numberformat.h"
#include "zippackage.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <map>
#include <new>
#include <vector>

namespace {

// Limits of single items: a number format's code, the maps of an
// OpenDocument data style, the characters of one cell.
constexpr qsizetype kMaxFormatCode = 1024;
constexpr std::size_t kMaxStyleMaps = 8;
constexpr qsizetype kMaxCellCharacters = qsizetype(4) << 20;

bool fail(QString *why, const QString &reason)
{
    if (why)
        *why = reason;
    return false;
}

// The cells of the sheet being read, with the limits every reader keeps.
class CellSink {
public:
    explicit CellSink(SheetCells &out) : m_out(out) {}

    // Row and column from 1. Empty texts are not kept.
    bool place(unsigned row, unsigned column, const QString &text)
    {
        if (text.isEmpty())
            return true;
        if (row < 1 || column < 1 || row > kZipSheetMaxRows || column > kZipSheetMaxColumns)
            return setError(QStringLiteral("a cell lies outside the largest sheet (%1 rows, %2 columns)")
                                .arg(kZipSheetMaxRows)
                                .arg(kZipSheetMaxColumns));
        const quint64 key = CellKey(row, column);
        auto it = m_out.cells.find(key);
        if (it == m_out.cells.end()) {
            if (m_out.cells.size() >= kZipSheetMaxCells)
                return setError(QStringLiteral("more than %1 cells with a value").arg(kZipSheetMaxCells));
            m_characters += text.size();
            m_out.cells.insert(key, text);
        } else {
            m_characters += text.size() - it->size();
            *it = text;
        }
        if (m_characters > kZipSheetMaxCharacters)
            return setError(QStringLiteral("more text than %1 characters").arg(kZipSheetMaxCharacters));
        m_out.rows = std::max(m_out.rows, row);
        m_out.columns = std::max(m_out.columns, column);
        return true;
    }
    const QString &error() const { return m_error; }

private:
    bool setError(const QString &e)
    {
        m_error = e;
        return false;
    }
    SheetCells &m_out;
    qsizetype m_characters = 0;
    QString m_error;
};

// The reader's error as a reason, with the part's name; a document type
// declaration (entity tricks) counts as an error too.
bool xmlFailed(const QXmlStreamReader &xml, const QString &part, QString *why)
{
    return fail(why, QStringLiteral("%1: XML not well formed at line %2 (%3)")
                         .arg(part)
                         .arg(xml.lineNumber())
                         .arg(xml.errorString()));
}

// Reads the next token; false at the end or on an error (see `xml.hasError()`).
bool nextToken(QXmlStreamReader &xml)
{
    const QXmlStreamReader::TokenType t = xml.readNext();
    if (t == QXmlStreamReader::DTD) {
        xml.raiseError(QStringLiteral("document type declarations are not allowed"));
        return false;
    }
    return t != QXmlStreamReader::Invalid && t != QXmlStreamReader::EndDocument;
}

// ---------------------------------------------------------------- .xlsx

// "_x000D_" and the like: characters XML cannot carry, as OOXML writes them.
QString decodeOoxmlEscapes(const QString &text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    static const QRegularExpression re(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString out;
    qsizetype last = 0;
    for (auto it = re.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        out += QChar(char16_t(m.captured(1).toUShort(nullptr, 16)));
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

// A relationship's target as a part name: relative to the folder of the
// part that names it, or from the package root when it starts with "/".
QString resolveTarget(const QString &fromPart, const QString &target)
{
    QString path;
    if (target.startsWith(u'/')) {
        path = target.mid(1);
    } else {
        const qsizetype slash = fromPart.lastIndexOf(u'/');
        path = (slash >= 0 ? fromPart.left(slash + 1) : QString()) + target;
    }
    QStringList out;
    for (const QString &piece : path.split(u'/')) {
        if (piece.isEmpty() || piece == QLatin1String("."))
            continue;
        if (piece == QLatin1String("..")) {
            if (!out.isEmpty())
                out.removeLast();
            continue;
        }
        out << piece;
    }
    return out.join(u'/');
}

QString relsPartOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return (slash >= 0 ? part.left(slash + 1) : QString()) + QStringLiteral("_rels/") + part.mid(slash + 1) +
           QStringLiteral(".rels");
}

struct Relationship {
    QString id, type, target;
};

bool readRelationships(ZipPackage &zip, const QString &relsPart, const QString &fromPart,
                       std::vector<Relationship> &out, QString *why)
{
    QByteArray bytes;
    if (!zip.Read(relsPart, bytes, why, qint64(16) << 20))
        return false;
    QXmlStreamReader xml(bytes);
    while (nextToken(xml)) {
        if (xml.isStartElement() && xml.name() == QLatin1String("Relationship")) {
            const QXmlStreamAttributes a = xml.attributes();
            if (a.value(QLatin1String("TargetMode")) == QLatin1String("External"))
                continue;
            out.push_back({a.value(QLatin1String("Id")).toString(), a.value(QLatin1String("Type")).toString(),
                           resolveTarget(fromPart, a.value(QLatin1String("Target")).toString())});
        }
    }
    if (xml.hasError())
        return xmlFailed(xml, relsPart, why);
    return true;
}

const Relationship *findType(const std::vector<Relationship> &rels, QLatin1String suffix)
{
    for (const Relationship &r : rels)
        if (r.type.endsWith(suffix))
            return &r;
    return nullptr;
}

// The text of an <si> or <is> element: its <t> runs, without the phonetic
// guides (<rPh>). The reader stands on the start of the element.
QString readRichText(QXmlStreamReader &xml)
{
    QString text;
    int depth = 1;
    while (depth > 0 && nextToken(xml)) {
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("rPh") || xml.name() == QLatin1String("phoneticPr")) {
                xml.skipCurrentElement();
            } else if (xml.name() == QLatin1String("t")) {
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
            } else {
                ++depth;
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    return decodeOoxmlEscapes(text);
}

bool readSharedStrings(ZipPackage &zip, const QString &part, QStringList &strings, QString *why)
{
    QByteArray bytes;
    if (!zip.Read(part, bytes, why))
        return false;
    QXmlStreamReader xml(bytes);
    while (nextToken(xml))
        if (xml.isStartElement() && xml.name() == QLatin1String("si"))
            strings << readRichText(xml);
    if (xml.hasError())
        return xmlFailed(xml, part, why);
    return true;
}

struct XlsxStyles {
    QHash<int, QString> formats; // numFmtId → format code of the file's own formats
    std::vector<int> xfFormat;   // cell format (s="…") → numFmtId

    QString code(int xf) const
    {
        if (xf < 0 || std::size_t(xf) >= xfFormat.size())
            return QString();
        const int id = xfFormat[std::size_t(xf)];
        const auto custom = formats.constFind(id);
        return custom != formats.constEnd() ? *custom : BuiltInNumberFormat(id);
    }
};

bool readStyles(ZipPackage &zip, const QString &part, XlsxStyles &styles, QString *why)
{
    QByteArray bytes;
    if (!zip.Read(part, bytes, why, qint64(64) << 20))
        return false;
    QXmlStreamReader xml(bytes);
    bool inCellXfs = false;
    while (nextToken(xml)) {
        if (xml.isStartElement()) {
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.name() == QLatin1String("numFmt")) {
                // A code longer than any real one (Excel keeps 255
                // characters) would cost its length at every cell: General.
                const QStringView code = a.value(QLatin1String("formatCode"));
                styles.formats.insert(a.value(QLatin1String("numFmtId")).toInt(),
                                      code.size() <= kMaxFormatCode ? code.toString() : QStringLiteral("General"));
            } else if (xml.name() == QLatin1String("cellXfs")) {
                inCellXfs = true;
            } else if (inCellXfs && xml.name() == QLatin1String("xf")) {
                styles.xfFormat.push_back(a.value(QLatin1String("numFmtId")).toInt());
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("cellXfs")) {
            inCellXfs = false;
        }
    }
    if (xml.hasError())
        return xmlFailed(xml, part, why);
    return true;
}

// "BC12" → column 55, row 12; false when it is no cell reference.
bool parseCellReference(QStringView ref, unsigned &row, unsigned &column)
{
    qsizetype i = 0;
    quint64 c = 0, r = 0;
    while (i < ref.size() && ref[i].isLetter() && ref[i].unicode() < 128) {
        c = c * 26 + quint64(ref[i].toUpper().unicode() - u'A' + 1);
        if (++i > 3)
            return false;
    }
    const qsizetype letters = i;
    while (i < ref.size() && ref[i] >= u'0' && ref[i] <= u'9') {
        r = r * 10 + quint64(ref[i].unicode() - u'0');
        if (i - letters > 7)
            return false;
        ++i;
    }
    if (letters == 0 || i == letters || i != ref.size())
        return false;
    row = unsigned(r);
    column = unsigned(c);
    return true;
}

bool readWorksheet(ZipPackage &zip, const QString &part, const QStringList &strings, const XlsxStyles &styles,
                   bool date1904, SheetCells &out, QString *why)
{
    QByteArray bytes;
    if (!zip.Read(part, bytes, why))
        return false;
    QXmlStreamReader xml(bytes);
    CellSink sink(out);
    unsigned row = 0, column = 0;
    while (nextToken(xml)) {
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("row")) {
            const QStringView r = xml.attributes().value(QLatin1String("r"));
            bool ok = true;
            const unsigned number = r.isEmpty() ? row + 1 : r.toUInt(&ok);
            if (!ok || number < 1 || number > kZipSheetMaxRows)
                return fail(why, QStringLiteral("%1: row number %2 outside the sheet").arg(part, r.toString()));
            row = number;
            column = 0;
            continue;
        }
        if (xml.name() != QLatin1String("c"))
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        const QStringView ref = a.value(QLatin1String("r"));
        unsigned cellRow = row, cellColumn = column + 1;
        if (!ref.isEmpty() && !parseCellReference(ref, cellRow, cellColumn))
            return fail(why, QStringLiteral("%1: cell reference \"%2\" not readable").arg(part, ref.toString()));
        if (cellRow < 1 || cellRow > kZipSheetMaxRows || cellColumn < 1 || cellColumn > kZipSheetMaxColumns)
            return fail(why, QStringLiteral("%1: cell %2 outside the sheet").arg(part, ref.toString()));
        row = cellRow;
        column = cellColumn;
        const QString type = a.value(QLatin1String("t")).toString();
        const int xf = a.value(QLatin1String("s")).toInt();
        QString value, inlineText;
        bool hasValue = false, hasInline = false;
        while (nextToken(xml)) {
            if (xml.isEndElement() && xml.name() == QLatin1String("c"))
                break;
            if (!xml.isStartElement())
                continue;
            if (xml.name() == QLatin1String("v")) {
                value = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                hasValue = true;
            } else if (xml.name() == QLatin1String("is")) {
                inlineText = readRichText(xml);
                hasInline = true;
            } else {
                xml.skipCurrentElement();
            }
        }
        if (xml.hasError())
            break;
        QString text;
        if (type == QLatin1String("inlineStr")) {
            text = hasInline ? inlineText : decodeOoxmlEscapes(value);
        } else if (!hasValue) {
            continue; // a formatted empty cell, or a formula without a result
        } else if (type == QLatin1String("s")) {
            bool ok = false;
            const int index = value.trimmed().toInt(&ok);
            if (!ok || index < 0 || index >= strings.size())
                return fail(why, QStringLiteral("%1: cell %2 names shared string %3 of %4")
                                     .arg(part, ref.toString(), value)
                                     .arg(strings.size()));
            text = strings[index];
        } else if (type == QLatin1String("str")) {
            text = decodeOoxmlEscapes(value); // the cached text result of a formula
        } else if (type == QLatin1String("b")) {
            text = value.trimmed() == QLatin1String("0") ? QStringLiteral("FALSE") : QStringLiteral("TRUE");
        } else if (type == QLatin1String("e")) {
            text = value;
        } else if (type == QLatin1String("d")) {
            double serial = 0;
            if (!IsoDateToSerial(value, serial))
                return fail(why, QStringLiteral("%1: cell %2 holds no date").arg(part, ref.toString()));
            text = FormatCellNumber(serial, styles.code(xf), false);
        } else {
            bool ok = false;
            const double number = value.trimmed().toDouble(&ok);
            if (!ok)
                return fail(why, QStringLiteral("%1: cell %2 holds no number").arg(part, ref.toString()));
            const QString code = styles.code(xf);
            text = code.isEmpty() ? GeneralNumberText(number) : FormatCellNumber(number, code, date1904);
        }
        if (!sink.place(cellRow, cellColumn, text))
            return fail(why, part + QStringLiteral(": ") + sink.error());
    }
    if (xml.hasError())
        return xmlFailed(xml, part, why);
    return true;
}

// ---------------------------------------------------------------- .ods

const QString kOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kTable = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kStyle = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
const QString kNumber = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0");
const QString kCalcExt = QStringLiteral("urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0");
const QString kLoExt = QStringLiteral("urn:org:documentfoundation:names:experimental:office:xmlns:loext:1.0");

bool is(const QXmlStreamReader &xml, const QString &ns, QLatin1String name)
{
    return xml.namespaceUri() == ns && xml.name() == name;
}

// A data style of the document, as the format code the numbers of .xls
// and .xlsx go through.
struct DataStyle {
    QString code;
    bool percentage = false;
    bool minusAsText = false; // the style writes its own "-" (the negative part of a mapped style)
    struct Map {
        QString op;
        double value = 0;
        QString style;
    };
    std::vector<Map> maps;
};

// Each character of a literal escaped, so that no letter of it reads as a code.
QString literalCode(const QString &text, bool percentage)
{
    QString out;
    for (QChar c : text) {
        if (percentage && c == u'%')
            out += c;
        else
            out += u'\\' + QString(c);
    }
    return out;
}

int intAttribute(const QXmlStreamAttributes &a, const QString &ns, QLatin1String name, int fallback)
{
    bool ok = false;
    const int v = a.value(ns, name).toInt(&ok);
    return ok ? std::clamp(v, 0, 30) : fallback;
}

QString repeatChar(QChar c, int n)
{
    return QString(std::clamp(n, 0, 30), c);
}

// The integer and decimal digits of <number:number>.
QString numberCode(const QXmlStreamAttributes &a)
{
    const bool hasDecimals = a.hasAttribute(kNumber, QLatin1String("decimal-places"));
    const int minInteger = intAttribute(a, kNumber, QLatin1String("min-integer-digits"), 0);
    if (!hasDecimals && !a.hasAttribute(kNumber, QLatin1String("grouping")) && minInteger <= 1)
        return QStringLiteral("General");
    const int decimals = intAttribute(a, kNumber, QLatin1String("decimal-places"), 0);
    int minDecimals = intAttribute(a, kNumber, QLatin1String("min-decimal-places"), decimals);
    minDecimals = intAttribute(a, kLoExt, QLatin1String("min-decimal-places"), minDecimals);
    minDecimals = std::min(minDecimals, decimals);
    QString integer;
    if (a.value(kNumber, QLatin1String("grouping")) == QLatin1String("true")) {
        const int digits = std::max(minInteger, 4);
        integer = repeatChar(u'#', digits - minInteger) + repeatChar(u'0', minInteger);
        integer.insert(integer.size() - 3, u',');
    } else {
        integer = minInteger > 0 ? repeatChar(u'0', minInteger) : QStringLiteral("#");
    }
    if (decimals > 0)
        integer += u'.' + repeatChar(u'0', minDecimals) + repeatChar(u'#', decimals - minDecimals);
    return integer;
}

// Reads a data style element (number:number-style, date-style, …); the
// reader stands on its start.
void readDataStyle(QXmlStreamReader &xml, QHash<QString, DataStyle> &styles)
{
    const QString name = xml.attributes().value(kStyle, QLatin1String("name")).toString();
    const QString kind = xml.name().toString();
    DataStyle style;
    style.percentage = kind == QLatin1String("percentage-style");
    const bool time = kind == QLatin1String("time-style");
    const bool elapsed = time && xml.attributes().value(kNumber, QLatin1String("truncate-on-overflow")) ==
                                     QLatin1String("false");
    bool firstHour = true, seenNumber = false;
    int depth = 1;
    while (depth > 0 && nextToken(xml)) {
        if (xml.isEndElement()) {
            --depth;
            continue;
        }
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        const bool longForm = a.value(kNumber, QLatin1String("style")) == QLatin1String("long");
        const QStringView n = xml.name();
        if (xml.namespaceUri() == kStyle && n == QLatin1String("map")) {
            const QString condition = a.value(kStyle, QLatin1String("condition")).toString().remove(u' ');
            static const QRegularExpression re(QStringLiteral("^value\\(\\)(<=|>=|<>|!=|<|>|=)(-?[0-9.]+)$"));
            const QRegularExpressionMatch m = re.match(condition);
            if (m.hasMatch() && style.maps.size() < kMaxStyleMaps)
                style.maps.push_back({m.captured(1) == QLatin1String("!=") ? QStringLiteral("<>") : m.captured(1),
                                      m.captured(2).toDouble(),
                                      a.value(kStyle, QLatin1String("apply-style-name")).toString()});
            xml.skipCurrentElement();
            continue;
        }
        if (xml.namespaceUri() != kNumber) {
            xml.skipCurrentElement();
            continue;
        }
        if (n == QLatin1String("number")) {
            style.code += numberCode(a);
            seenNumber = true;
        } else if (n == QLatin1String("scientific-number")) {
            const int decimals = intAttribute(a, kNumber, QLatin1String("decimal-places"), 2);
            const int exponent = std::max(1, intAttribute(a, kNumber, QLatin1String("min-exponent-digits"), 2));
            style.code += QStringLiteral("0") + (decimals > 0 ? u'.' + repeatChar(u'0', decimals) : QString()) +
                          QStringLiteral("E+") + repeatChar(u'0', exponent);
            seenNumber = true;
        } else if (n == QLatin1String("fraction")) {
            const int denominator = a.value(kNumber, QLatin1String("denominator-value")).toInt();
            const int digits = std::max(1, intAttribute(a, kNumber, QLatin1String("min-denominator-digits"), 1));
            style.code += QStringLiteral("# ") +
                          repeatChar(u'?', std::max(1, intAttribute(a, kNumber, QLatin1String("min-numerator-digits"), 1))) +
                          u'/' + (denominator > 0 ? QString::number(denominator) : repeatChar(u'?', digits));
            seenNumber = true;
        } else if (n == QLatin1String("text")) {
            const QString t = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            if (!seenNumber && t.contains(u'-'))
                style.minusAsText = true;
            style.code += literalCode(t, style.percentage);
            continue; // readElementText consumed the end
        } else if (n == QLatin1String("currency-symbol")) {
            style.code += literalCode(xml.readElementText(QXmlStreamReader::IncludeChildElements), false);
            continue;
        } else if (n == QLatin1String("text-content")) {
            style.code += u'@';
        } else if (n == QLatin1String("day")) {
            style.code += longForm ? QStringLiteral("dd") : QStringLiteral("d");
        } else if (n == QLatin1String("month")) {
            const bool textual = a.value(kNumber, QLatin1String("textual")) == QLatin1String("true");
            style.code += textual ? (longForm ? QStringLiteral("mmmm") : QStringLiteral("mmm"))
                                  : (longForm ? QStringLiteral("mm") : QStringLiteral("m"));
        } else if (n == QLatin1String("year")) {
            style.code += longForm ? QStringLiteral("yyyy") : QStringLiteral("yy");
        } else if (n == QLatin1String("day-of-week")) {
            style.code += longForm ? QStringLiteral("dddd") : QStringLiteral("ddd");
        } else if (n == QLatin1String("hours")) {
            const QString h = longForm ? QStringLiteral("hh") : QStringLiteral("h");
            style.code += elapsed && firstHour ? u'[' + h + u']' : h;
            firstHour = false;
        } else if (n == QLatin1String("minutes")) {
            style.code += longForm ? QStringLiteral("mm") : QStringLiteral("m");
        } else if (n == QLatin1String("seconds")) {
            style.code += longForm ? QStringLiteral("ss") : QStringLiteral("s");
            const int decimals = intAttribute(a, kNumber, QLatin1String("decimal-places"), 0);
            if (decimals > 0)
                style.code += u'.' + repeatChar(u'0', decimals);
        } else if (n == QLatin1String("am-pm")) {
            style.code += QStringLiteral("AM/PM");
        } else if (n == QLatin1String("boolean")) {
            style.code += QStringLiteral("General");
        }
        // Anything else (era, quarter, week, embedded text) shows nothing here.
        xml.skipCurrentElement();
    }
    if (style.code.size() > kMaxFormatCode)
        style.code = QStringLiteral("General");
    if (!name.isEmpty())
        styles.insert(name, style);
}

struct OdsStyles {
    QHash<QString, DataStyle> data;
    struct Cell {
        QString parent, data;
    };
    QHash<QString, Cell> cells; // cell style → parent and data style

    // The data style a cell style shows its numbers with; null for none.
    const DataStyle *dataOf(const QString &cellStyle) const
    {
        QString name = cellStyle;
        for (int depth = 0; depth < 16 && !name.isEmpty(); ++depth) {
            const auto it = cells.constFind(name);
            if (it == cells.constEnd())
                return nullptr;
            if (!it->data.isEmpty()) {
                const auto d = data.constFind(it->data);
                return d != data.constEnd() ? &*d : nullptr;
            }
            name = it->parent;
        }
        return nullptr;
    }

    QString format(double value, const DataStyle &style, int depth = 0) const
    {
        for (const DataStyle::Map &m : style.maps) {
            const bool holds = m.op == QLatin1String("<")    ? value < m.value
                               : m.op == QLatin1String("<=") ? value <= m.value
                               : m.op == QLatin1String(">")  ? value > m.value
                               : m.op == QLatin1String(">=") ? value >= m.value
                               : m.op == QLatin1String("<>") ? value != m.value
                                                             : value == m.value;
            const auto mapped = data.constFind(m.style);
            if (holds && mapped != data.constEnd() && depth < 4)
                return format(value, *mapped, depth + 1);
        }
        // The part for negative numbers writes its own sign.
        const double shown = !style.maps.empty() && style.minusAsText && value < 0 ? -value : value;
        return FormatCellNumber(shown, style.code, false);
    }
};

// Reads the styles of one part: data styles and cell styles, wherever they stand.
bool readOdsStyles(const QByteArray &bytes, const QString &part, OdsStyles &styles, QString *why)
{
    QXmlStreamReader xml(bytes);
    while (nextToken(xml)) {
        if (!xml.isStartElement())
            continue;
        if (is(xml, kOffice, QLatin1String("body")))
            break; // the styles stand before the sheets
        if (xml.namespaceUri() == kNumber && xml.name().endsWith(QLatin1String("-style"))) {
            readDataStyle(xml, styles.data);
        } else if (is(xml, kStyle, QLatin1String("style")) &&
                   xml.attributes().value(kStyle, QLatin1String("family")) == QLatin1String("table-cell")) {
            const QXmlStreamAttributes a = xml.attributes();
            styles.cells.insert(a.value(kStyle, QLatin1String("name")).toString(),
                                {a.value(kStyle, QLatin1String("parent-style-name")).toString(),
                                 a.value(kStyle, QLatin1String("data-style-name")).toString()});
        }
    }
    if (xml.hasError())
        return xmlFailed(xml, part, why);
    return true;
}

// A repeat count of a row or column: at least 1. Counts beyond the sheet
// are kept as they are (up to 2^40, so that sums cannot overflow): empty
// cells and rows may run past the sheet's end, values may not.
quint64 repeatCount(const QXmlStreamAttributes &a, QLatin1String name)
{
    bool ok = false;
    const qulonglong v = a.value(kTable, name).toULongLong(&ok);
    return ok && v >= 1 ? std::min<quint64>(v, quint64(1) << 40) : 1;
}

// The text of one paragraph (<text:p>) with its spans, spaces, tabs and
// line breaks; the reader stands on its start.
void readParagraph(QXmlStreamReader &xml, QString &out)
{
    int depth = 1;
    while (depth > 0 && nextToken(xml)) {
        if (out.size() > kMaxCellCharacters) {
            xml.raiseError(QStringLiteral("a cell holds more than %1 characters").arg(kMaxCellCharacters));
            return;
        }
        if (xml.isCharacters()) {
            out += xml.text();
        } else if (xml.isEndElement()) {
            --depth;
        } else if (xml.isStartElement()) {
            if (is(xml, kText, QLatin1String("s"))) {
                bool ok = false;
                const int n = xml.attributes().value(kText, QLatin1String("c")).toInt(&ok);
                out += QString(ok ? std::clamp(n, 1, 4096) : 1, u' ');
                xml.skipCurrentElement();
            } else if (is(xml, kText, QLatin1String("tab"))) {
                out += u'\t';
                xml.skipCurrentElement();
            } else if (is(xml, kText, QLatin1String("line-break"))) {
                out += u'\n';
                xml.skipCurrentElement();
            } else if (is(xml, kOffice, QLatin1String("annotation")) || is(xml, kText, QLatin1String("note")) ||
                       xml.namespaceUri() != kText) {
                xml.skipCurrentElement(); // comments, frames: not part of the shown text
            } else {
                ++depth; // span, a, …
            }
        }
    }
}

struct OdsCell {
    unsigned column = 0; // from 1
    quint64 repeat = 1;
    QString text;
};

// The shown text of a cell; the reader stands on its start, and is left on its end.
QString readOdsCell(QXmlStreamReader &xml, const OdsStyles &styles, const QString &defaultStyle)
{
    const QXmlStreamAttributes a = xml.attributes();
    const QString type = a.value(kOffice, QLatin1String("value-type")).toString();
    const bool error = a.value(kCalcExt, QLatin1String("value-type")) == QLatin1String("error");
    QString paragraphs;
    bool first = true;
    int depth = 1;
    while (depth > 0 && nextToken(xml)) {
        if (xml.isEndElement()) {
            --depth;
        } else if (xml.isStartElement()) {
            if (is(xml, kText, QLatin1String("p")) || is(xml, kText, QLatin1String("h"))) {
                if (!first)
                    paragraphs += u'\n';
                first = false;
                readParagraph(xml, paragraphs);
            } else if (is(xml, kText, QLatin1String("list"))) {
                ++depth; // list items hold paragraphs
            } else if (is(xml, kText, QLatin1String("list-item"))) {
                ++depth;
            } else {
                xml.skipCurrentElement(); // comments, frames, nested tables
            }
        }
    }
    if (type.isEmpty() || error)
        return paragraphs;
    if (type == QLatin1String("string")) {
        const QStringView v = a.value(kOffice, QLatin1String("string-value"));
        return a.hasAttribute(kOffice, QLatin1String("string-value")) ? v.toString() : paragraphs;
    }
    if (type == QLatin1String("boolean")) {
        const QStringView v = a.value(kOffice, QLatin1String("boolean-value"));
        return v == QLatin1String("true") || v == QLatin1String("1") ? QStringLiteral("TRUE")
                                                                     : QStringLiteral("FALSE");
    }
    double value = 0;
    bool ok = false;
    if (type == QLatin1String("date")) {
        ok = IsoDateToSerial(a.value(kOffice, QLatin1String("date-value")).toString(), value);
    } else if (type == QLatin1String("time")) {
        ok = IsoDurationToDays(a.value(kOffice, QLatin1String("time-value")).toString(), value);
    } else {
        value = a.value(kOffice, QLatin1String("value")).toDouble(&ok);
    }
    if (!ok || !std::isfinite(value))
        return paragraphs;
    const QString styleName = a.hasAttribute(kTable, QLatin1String("style-name"))
                                  ? a.value(kTable, QLatin1String("style-name")).toString()
                                  : defaultStyle;
    const DataStyle *style = styles.dataOf(styleName);
    if (style && !style->code.isEmpty())
        return styles.format(value, *style);
    // Without a format of its own a number shows as in General; a date, a
    // time or an amount as its writer showed it.
    if (type == QLatin1String("float") || paragraphs.isEmpty())
        return GeneralNumberText(value);
    return paragraphs;
}

// The default cell styles of the columns, as ranges that follow one another.
struct ColumnStyles {
    struct Range {
        quint64 last; // from 1
        QString style;
    };
    std::map<quint64, Range> ranges; // by the first column
    void add(quint64 first, quint64 last, const QString &style) { ranges[first] = {last, style}; }
    QString at(unsigned column) const
    {
        auto it = ranges.upper_bound(column);
        if (it == ranges.begin())
            return QString();
        --it;
        return column <= it->second.last ? it->second.style : QString();
    }
};

bool readOdsSheet(const QByteArray &bytes, const OdsStyles &styles, SheetCells &out, QString *why)
{
    const QString part = QStringLiteral("content.xml");
    QXmlStreamReader xml(bytes);
    CellSink sink(out);
    // Find the first sheet.
    bool found = false;
    while (nextToken(xml)) {
        if (xml.isStartElement() && is(xml, kTable, QLatin1String("table"))) {
            found = true;
            break;
        }
    }
    if (xml.hasError())
        return xmlFailed(xml, part, why);
    if (!found)
        return fail(why, QStringLiteral("content.xml: no sheet"));

    ColumnStyles columns;
    quint64 nextColumn = 1;
    quint64 row = 1; // of the next row, from 1
    int depth = 1;   // inside the sheet: row groups, header rows, column groups
    while (depth > 0 && nextToken(xml)) {
        if (xml.isEndElement()) {
            --depth;
            continue;
        }
        if (!xml.isStartElement())
            continue;
        if (is(xml, kTable, QLatin1String("table-column"))) {
            const QXmlStreamAttributes a = xml.attributes();
            const quint64 n = repeatCount(a, QLatin1String("number-columns-repeated"));
            const QString style = a.value(kTable, QLatin1String("default-cell-style-name")).toString();
            if (nextColumn <= kZipSheetMaxColumns && !style.isEmpty())
                columns.add(nextColumn, std::min<quint64>(nextColumn + n - 1, kZipSheetMaxColumns), style);
            nextColumn = std::min<quint64>(nextColumn + n, kZipSheetMaxColumns + 1);
            xml.skipCurrentElement();
            continue;
        }
        if (!is(xml, kTable, QLatin1String("table-row"))) {
            const QStringView n = xml.name();
            if (xml.namespaceUri() == kTable &&
                (n == QLatin1String("table-header-rows") || n == QLatin1String("table-rows") ||
                 n == QLatin1String("table-row-group") || n == QLatin1String("table-columns") ||
                 n == QLatin1String("table-header-columns") || n == QLatin1String("table-column-group"))) {
                ++depth;
            } else {
                xml.skipCurrentElement(); // forms, shapes, named ranges, …
            }
            continue;
        }
        // A row: its cells, then as many copies as it is repeated.
        const QXmlStreamAttributes ra = xml.attributes();
        const quint64 rowRepeat = repeatCount(ra, QLatin1String("number-rows-repeated"));
        const QString rowStyle = ra.value(kTable, QLatin1String("default-cell-style-name")).toString();
        std::vector<OdsCell> cells;
        quint64 column = 1;
        while (nextToken(xml)) {
            if (xml.isEndElement())
                break; // the row's end
            if (!xml.isStartElement())
                continue;
            if (!is(xml, kTable, QLatin1String("table-cell")) && !is(xml, kTable, QLatin1String("covered-table-cell"))) {
                xml.skipCurrentElement();
                continue;
            }
            const quint64 repeat =
                repeatCount(xml.attributes(), QLatin1String("number-columns-repeated"));
            QString style = rowStyle;
            if (style.isEmpty() && column <= kZipSheetMaxColumns)
                style = columns.at(unsigned(column));
            const QString text = readOdsCell(xml, styles, style);
            if (xml.hasError())
                break;
            if (!text.isEmpty()) {
                if (column + repeat - 1 > kZipSheetMaxColumns)
                    return fail(why, QStringLiteral("content.xml: a value lies beyond column %1").arg(kZipSheetMaxColumns));
                cells.push_back({unsigned(column), repeat, text});
            }
            column = std::min<quint64>(column + repeat, kZipSheetMaxColumns + 1);
        }
        if (xml.hasError())
            break;
        if (!cells.empty()) {
            if (row + rowRepeat - 1 > kZipSheetMaxRows)
                return fail(why, QStringLiteral("content.xml: a value lies beyond row %1").arg(kZipSheetMaxRows));
            for (quint64 r = row; r < row + rowRepeat; ++r)
                for (const OdsCell &c : cells)
                    for (quint64 k = 0; k < c.repeat; ++k)
                        if (!sink.place(unsigned(r), unsigned(c.column + k), c.text))
                            return fail(why, part + QStringLiteral(": ") + sink.error());
        }
        row = std::min<quint64>(row + rowRepeat, quint64(kZipSheetMaxRows) + 1);
    }
    if (xml.hasError())
        return xmlFailed(xml, part, why);
    return true;
}

} // namespace

bool ReadXlsxWorkbook(const QByteArray &file, SheetCells &sheet, QString *why)
{
    sheet = SheetCells();
    try {
        ZipPackage zip(file);
        if (!zip.IsOpen())
            return fail(why, QStringLiteral("not a ZIP archive"));
        // The workbook part, as the package's relationships name it.
        QString workbook = QStringLiteral("xl/workbook.xml");
        std::vector<Relationship> rootRels;
        if (zip.Has(QStringLiteral("_rels/.rels")) &&
            readRelationships(zip, QStringLiteral("_rels/.rels"), QString(), rootRels, nullptr))
            if (const Relationship *r = findType(rootRels, QLatin1String("/officeDocument")))
                workbook = r->target;
        QByteArray bytes;
        if (!zip.Read(workbook, bytes, why, qint64(64) << 20))
            return false;
        bool date1904 = false;
        QStringList sheetIds;
        {
            QXmlStreamReader xml(bytes);
            while (nextToken(xml)) {
                if (!xml.isStartElement())
                    continue;
                if (xml.name() == QLatin1String("workbookPr")) {
                    const QStringView v = xml.attributes().value(QLatin1String("date1904"));
                    date1904 = v == QLatin1String("1") || v == QLatin1String("true");
                } else if (xml.name() == QLatin1String("sheet")) {
                    for (const QXmlStreamAttribute &a : xml.attributes())
                        if (a.name() == QLatin1String("id") && !a.namespaceUri().isEmpty())
                            sheetIds << a.value().toString();
                }
            }
            if (xml.hasError())
                return xmlFailed(xml, workbook, why);
        }
        std::vector<Relationship> rels;
        if (!readRelationships(zip, relsPartOf(workbook), workbook, rels, why))
            return false;
        // The first sheet in the workbook's order that is a worksheet (not a chart).
        QString worksheet;
        for (const QString &id : sheetIds) {
            for (const Relationship &r : rels)
                if (r.id == id && r.type.endsWith(QLatin1String("/worksheet")))
                    worksheet = r.target;
            if (!worksheet.isEmpty())
                break;
        }
        if (worksheet.isEmpty())
            return fail(why, QStringLiteral("%1: no worksheet").arg(workbook));
        QStringList strings;
        if (const Relationship *r = findType(rels, QLatin1String("/sharedStrings")))
            if (!readSharedStrings(zip, r->target, strings, why))
                return false;
        XlsxStyles styles;
        if (const Relationship *r = findType(rels, QLatin1String("/styles")))
            if (!readStyles(zip, r->target, styles, why))
                return false;
        if (!readWorksheet(zip, worksheet, strings, styles, date1904, sheet, why)) {
            sheet = SheetCells();
            return false;
        }
        return true;
    } catch (const std::bad_alloc &) {
        sheet = SheetCells();
        return fail(why, QStringLiteral("not enough memory"));
    }
}

bool ReadOdsWorkbook(const QByteArray &file, SheetCells &sheet, QString *why)
{
    sheet = SheetCells();
    try {
        ZipPackage zip(file);
        if (!zip.IsOpen())
            return fail(why, QStringLiteral("not a ZIP archive"));
        if (zip.Has(QStringLiteral("mimetype"))) {
            QByteArray mime;
            if (!zip.Read(QStringLiteral("mimetype"), mime, why, 4096))
                return false;
            if (!mime.trimmed().startsWith("application/vnd.oasis.opendocument.spreadsheet"))
                return fail(why, QStringLiteral("an OpenDocument file, but no spreadsheet (%1)")
                                     .arg(QString::fromUtf8(mime.trimmed().left(100))));
        }
        OdsStyles styles;
        QByteArray bytes;
        if (zip.Has(QStringLiteral("styles.xml"))) {
            if (!zip.Read(QStringLiteral("styles.xml"), bytes, why, qint64(64) << 20) ||
                !readOdsStyles(bytes, QStringLiteral("styles.xml"), styles, why))
                return false;
        }
        if (!zip.Read(QStringLiteral("content.xml"), bytes, why))
            return false;
        if (!readOdsStyles(bytes, QStringLiteral("content.xml"), styles, why))
            return false;
        if (!readOdsSheet(bytes, styles, sheet, why)) {
            sheet = SheetCells();
            return false;
        }
        return true;
    } catch (const std::bad_alloc &) {
        sheet = SheetCells();
        return fail(why, QStringLiteral("not enough memory"));
    }
}

SpreadsheetKind DetectSpreadsheet(const QByteArray &file)
{
    if (file.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return SpreadsheetKind::Xls;
    if (!file.startsWith("PK"))
        return SpreadsheetKind::Unknown;
    ZipPackage zip(file);
    if (!zip.IsOpen())
        return SpreadsheetKind::Unknown;
    if (zip.Has(QStringLiteral("content.xml")) || zip.Has(QStringLiteral("mimetype")))
        return SpreadsheetKind::Ods;
    if (zip.Has(QStringLiteral("[Content_Types].xml")) || zip.Has(QStringLiteral("xl/workbook.xml")))
        return SpreadsheetKind::Xlsx;
    return SpreadsheetKind::Unknown;
}

bool ReadSpreadsheet(const QByteArray &file, SheetCells &sheet, QString *why)
{
    switch (DetectSpreadsheet(file)) {
    case SpreadsheetKind::Xls:
        return ReadXlsWorkbook(file, sheet, why);
    case SpreadsheetKind::Xlsx:
        return ReadXlsxWorkbook(file, sheet, why);
    case SpreadsheetKind::Ods:
        return ReadOdsWorkbook(file, sheet, why);
    case SpreadsheetKind::Unknown:
        break;
    }
    sheet = SheetCells();
    return fail(why, QStringLiteral("neither an Excel workbook (.xls, .xlsx) nor an OpenDocument spreadsheet (.ods)"));
}
