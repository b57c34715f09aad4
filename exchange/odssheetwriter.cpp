#include "odssheetwriter.h"

#include "fileerrors.h"
#include "zippackage.h"

#include <QFile>
#include <QHash>
#include <QXmlStreamWriter>
#include <cstring>
#include <map>

namespace {

const char *const kOffice = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
const char *const kStyle = "urn:oasis:names:tc:opendocument:xmlns:style:1.0";
const char *const kText = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
const char *const kTable = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
const char *const kFo = "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0";
const char *const kSvg = "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0";
const char *const kManifest = "urn:oasis:names:tc:opendocument:xmlns:manifest:1.0";
const char *const kMime = "application/vnd.oasis.opendocument.spreadsheet";

QString colour(std::uint32_t rgb)
{
    return QStringLiteral("#%1").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0'));
}

// One line of a cell as a paragraph: runs of spaces, leading spaces and
// tabs as the elements that keep them (XML would fold them); characters
// XML cannot carry are left out.
void writeParagraph(QXmlStreamWriter &w, const QString &line)
{
    const QString textNs = QString::fromLatin1(kText);
    w.writeStartElement(textNs, QStringLiteral("p"));
    QString run;
    int spaces = 0;
    bool atStart = true;
    auto spaceElement = [&](int n) {
        w.writeEmptyElement(textNs, QStringLiteral("s"));
        if (n > 1)
            w.writeAttribute(textNs, QStringLiteral("c"), QString::number(n));
    };
    // Pending spaces before more text: one plain space between words, the
    // rest (and any at the start or the end) as <text:s>.
    auto flush = [&](bool end) {
        if (spaces == 0)
            return;
        if (atStart || end) {
            if (!run.isEmpty())
                w.writeCharacters(run);
            run.clear();
            spaceElement(spaces);
        } else {
            run += u' ';
            if (spaces > 1) {
                w.writeCharacters(run);
                run.clear();
                spaceElement(spaces - 1);
            }
        }
        spaces = 0;
    };
    for (QChar c : line) {
        if (c == u' ') {
            ++spaces;
            continue;
        }
        if (c == u'\t') {
            flush(true);
            if (!run.isEmpty())
                w.writeCharacters(run);
            run.clear();
            w.writeEmptyElement(textNs, QStringLiteral("tab"));
            atStart = false;
            continue;
        }
        if (c.unicode() < 0x20 || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
            continue; // no XML character
        flush(false);
        run += c;
        atStart = false;
    }
    flush(true);
    if (!run.isEmpty())
        w.writeCharacters(run);
    w.writeEndElement();
}

void writeCellStyle(QXmlStreamWriter &w, const QString &name, const SheetCellStyle &s, bool wrap)
{
    w.writeStartElement(QString::fromLatin1(kStyle), QStringLiteral("style"));
    w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("name"), name);
    w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("family"), QStringLiteral("table-cell"));
    w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("parent-style-name"), QStringLiteral("Default"));
    w.writeEmptyElement(QString::fromLatin1(kStyle), QStringLiteral("table-cell-properties"));
    w.writeAttribute(QString::fromLatin1(kFo), QStringLiteral("background-color"), colour(s.fillRgb));
    w.writeAttribute(QString::fromLatin1(kFo), QStringLiteral("border"), QStringLiteral("0.06pt solid #000000"));
    w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("vertical-align"), QStringLiteral("top"));
    w.writeAttribute(QString::fromLatin1(kFo), QStringLiteral("wrap-option"),
                     wrap ? QStringLiteral("wrap") : QStringLiteral("no-wrap"));
    w.writeEmptyElement(QString::fromLatin1(kStyle), QStringLiteral("text-properties"));
    w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("font-name"), s.fontName);
    const QString size = QStringLiteral("%1pt").arg(s.pointSize);
    const QString weight = s.bold ? QStringLiteral("bold") : QStringLiteral("normal");
    w.writeAttribute(QString::fromLatin1(kFo), QStringLiteral("font-size"), size);
    w.writeAttribute(QString::fromLatin1(kFo), QStringLiteral("font-weight"), weight);
    w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("font-name-asian"), s.fontName);
    w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("font-size-asian"), size);
    w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("font-weight-asian"), weight);
    w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("font-name-complex"), s.fontName);
    w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("font-size-complex"), size);
    w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("font-weight-complex"), weight);
    w.writeEndElement();
}

void startDocument(QXmlStreamWriter &w, const QString &root)
{
    w.writeStartDocument();
    w.writeNamespace(QString::fromLatin1(kOffice), QStringLiteral("office"));
    w.writeNamespace(QString::fromLatin1(kStyle), QStringLiteral("style"));
    w.writeNamespace(QString::fromLatin1(kText), QStringLiteral("text"));
    w.writeNamespace(QString::fromLatin1(kTable), QStringLiteral("table"));
    w.writeNamespace(QString::fromLatin1(kFo), QStringLiteral("fo"));
    w.writeNamespace(QString::fromLatin1(kSvg), QStringLiteral("svg"));
    w.writeStartElement(QString::fromLatin1(kOffice), root);
    w.writeAttribute(QString::fromLatin1(kOffice), QStringLiteral("version"), QStringLiteral("1.2"));
}

void writeFontFaces(QXmlStreamWriter &w, const SheetData &sheet)
{
    w.writeStartElement(QString::fromLatin1(kOffice), QStringLiteral("font-face-decls"));
    QStringList seen;
    for (const QString &font : {sheet.header.fontName, sheet.body.fontName}) {
        if (font.isEmpty() || seen.contains(font))
            continue;
        seen << font;
        w.writeEmptyElement(QString::fromLatin1(kStyle), QStringLiteral("font-face"));
        w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("name"), font);
        w.writeAttribute(QString::fromLatin1(kSvg), QStringLiteral("font-family"), u'\'' + font + u'\'');
    }
    w.writeEndElement();
}

QByteArray contentXml(const SheetData &sheet)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    startDocument(w, QStringLiteral("document-content"));
    writeFontFaces(w, sheet);

    // Row heights in use, each a row style.
    std::map<double, QString> heights;
    for (double h : sheet.heights)
        if (h > 0 && !heights.count(h))
            heights.emplace(h, QStringLiteral("ro%1").arg(heights.size() + 2));

    w.writeStartElement(QString::fromLatin1(kOffice), QStringLiteral("automatic-styles"));
    for (int c = 0; c < sheet.columns; ++c) {
        w.writeStartElement(QString::fromLatin1(kStyle), QStringLiteral("style"));
        w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("name"), QStringLiteral("co%1").arg(c + 1));
        w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("family"), QStringLiteral("table-column"));
        w.writeEmptyElement(QString::fromLatin1(kStyle), QStringLiteral("table-column-properties"));
        // A width in characters of the default font's digit (7 pixels at
        // 96 dpi, plus 5 pixels of margin), as the Excel formats count it.
        const double chars = c < int(sheet.widths.size()) ? sheet.widths[std::size_t(c)] : 8.43;
        w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("column-width"),
                         QStringLiteral("%1in").arg((chars * 7 + 5) / 96.0, 0, 'f', 4));
        w.writeEndElement();
    }
    auto rowStyle = [&](const QString &name, double points) {
        w.writeStartElement(QString::fromLatin1(kStyle), QStringLiteral("style"));
        w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("name"), name);
        w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("family"), QStringLiteral("table-row"));
        w.writeEmptyElement(QString::fromLatin1(kStyle), QStringLiteral("table-row-properties"));
        if (points > 0) {
            w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("row-height"),
                             QStringLiteral("%1pt").arg(points, 0, 'f', 2));
            w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("use-optimal-row-height"),
                             QStringLiteral("false"));
        } else {
            w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("use-optimal-row-height"),
                             QStringLiteral("true"));
        }
        w.writeEndElement();
    };
    rowStyle(QStringLiteral("ro1"), 0);
    for (const auto &[points, name] : heights)
        rowStyle(name, points);
    writeCellStyle(w, QStringLiteral("ce1"), sheet.header, false);
    writeCellStyle(w, QStringLiteral("ce2"), sheet.body, false);
    writeCellStyle(w, QStringLiteral("ce3"), sheet.header, true);
    writeCellStyle(w, QStringLiteral("ce4"), sheet.body, true);
    w.writeEndElement(); // automatic-styles

    w.writeStartElement(QString::fromLatin1(kOffice), QStringLiteral("body"));
    w.writeStartElement(QString::fromLatin1(kOffice), QStringLiteral("spreadsheet"));
    w.writeStartElement(QString::fromLatin1(kTable), QStringLiteral("table"));
    w.writeAttribute(QString::fromLatin1(kTable), QStringLiteral("name"), sheet.name);
    for (int c = 0; c < sheet.columns; ++c) {
        w.writeEmptyElement(QString::fromLatin1(kTable), QStringLiteral("table-column"));
        w.writeAttribute(QString::fromLatin1(kTable), QStringLiteral("style-name"), QStringLiteral("co%1").arg(c + 1));
    }
    const QString tableNs = QString::fromLatin1(kTable), officeNs = QString::fromLatin1(kOffice);
    for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
        const double points = r < sheet.heights.size() ? sheet.heights[r] : 0.0;
        w.writeStartElement(tableNs, QStringLiteral("table-row"));
        w.writeAttribute(tableNs, QStringLiteral("style-name"), points > 0 ? heights[points] : QStringLiteral("ro1"));
        const auto &row = sheet.rows[r];
        for (int c = 0; c < sheet.columns; ++c) {
            const QString text = c < int(row.size()) ? row[std::size_t(c)] : QString();
            const bool wrap = text.contains(u'\n');
            const QString style = r == 0 ? (wrap ? QStringLiteral("ce3") : QStringLiteral("ce1"))
                                         : (wrap ? QStringLiteral("ce4") : QStringLiteral("ce2"));
            if (text.isEmpty()) {
                w.writeEmptyElement(tableNs, QStringLiteral("table-cell"));
                w.writeAttribute(tableNs, QStringLiteral("style-name"), style);
                continue;
            }
            w.writeStartElement(tableNs, QStringLiteral("table-cell"));
            w.writeAttribute(tableNs, QStringLiteral("style-name"), style);
            w.writeAttribute(officeNs, QStringLiteral("value-type"), QStringLiteral("string"));
            for (const QString &line : text.split(u'\n'))
                writeParagraph(w, line);
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeEndElement(); // table
    w.writeEndElement(); // spreadsheet
    w.writeEndElement(); // body
    w.writeEndDocument();
    return out;
}

QByteArray stylesXml(const SheetData &sheet)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    startDocument(w, QStringLiteral("document-styles"));
    writeFontFaces(w, sheet);
    w.writeStartElement(QString::fromLatin1(kOffice), QStringLiteral("styles"));
    w.writeStartElement(QString::fromLatin1(kStyle), QStringLiteral("style"));
    w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("name"), QStringLiteral("Default"));
    w.writeAttribute(QString::fromLatin1(kStyle), QStringLiteral("family"), QStringLiteral("table-cell"));
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

QByteArray manifestXml()
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeNamespace(QString::fromLatin1(kManifest), QStringLiteral("manifest"));
    w.writeStartElement(QString::fromLatin1(kManifest), QStringLiteral("manifest"));
    w.writeAttribute(QString::fromLatin1(kManifest), QStringLiteral("version"), QStringLiteral("1.2"));
    auto entry = [&](const QString &path, const QString &type) {
        w.writeEmptyElement(QString::fromLatin1(kManifest), QStringLiteral("file-entry"));
        w.writeAttribute(QString::fromLatin1(kManifest), QStringLiteral("full-path"), path);
        w.writeAttribute(QString::fromLatin1(kManifest), QStringLiteral("media-type"), type);
    };
    entry(QStringLiteral("/"), QString::fromLatin1(kMime));
    entry(QStringLiteral("content.xml"), QStringLiteral("text/xml"));
    entry(QStringLiteral("styles.xml"), QStringLiteral("text/xml"));
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

} // namespace

bool WriteOdsFile(const SheetData &sheet, const QString &path, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (sheet.rows.size() > std::size_t(kOdsMaxRows))
        return fail(QStringLiteral("%1 rows; the format holds %2").arg(sheet.rows.size()).arg(kOdsMaxRows));
    if (sheet.columns <= 0 || sheet.columns > 16384)
        return fail(QStringLiteral("%1 columns").arg(sheet.columns));
    const QString partial = path + QStringLiteral(".part");
    bool ok = false;
    {
        ZipWriter zip(partial);
        if (!zip.IsOpen())
            return fail(QStringLiteral("cannot create %1").arg(partial));
        // The media type first and stored, so that the file tells its kind
        // at a fixed place.
        ok = zip.Add(QStringLiteral("mimetype"), QByteArray(kMime), false) &&
             zip.Add(QStringLiteral("content.xml"), contentXml(sheet)) &&
             zip.Add(QStringLiteral("styles.xml"), stylesXml(sheet)) &&
             zip.Add(QStringLiteral("META-INF/manifest.xml"), manifestXml());
        ok = zip.Close() && ok;
    }
    if (!ok) {
        QFile::remove(partial);
        return fail(QStringLiteral("cannot write %1").arg(partial));
    }
    {
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
