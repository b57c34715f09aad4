// The .xlsx and .ods readers on packages made for one point each: what
// the sheet shows (strings, formula results, formats, dates, repeats), the
// first sheet whichever is active, and damaged or hostile packages refused
// with a reason (bad XML, entity tricks, zip bombs, huge repeats and sheets).
#include "excelimport.h"
#include "exchangetestutil.h"
#include "testsupport.h"
#include "zippackage.h"
#include "zipsheetreader.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

using Parts = std::vector<std::pair<QString, QByteArray>>;

QByteArray zipOf(const Parts &parts)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/p.zip");
    ZipWriter w(path);
    EXPECT_TRUE(w.IsOpen());
    for (const auto &[name, data] : parts)
        EXPECT_TRUE(w.Add(name, data, name != QLatin1String("mimetype")));
    EXPECT_TRUE(w.Close());
    return ReadAll(path);
}

const char *const kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

// An .xlsx package around one sheet's <sheetData> content.
Parts xlsxParts(const QByteArray &sheetData, const QByteArray &sharedStrings = {}, const QByteArray &numFmts = {},
                const QByteArray &xfs = "<xf numFmtId=\"0\"/>", const QByteArray &workbookPr = {})
{
    const QByteArray ns = kMain;
    Parts p;
    p.push_back({QStringLiteral("[Content_Types].xml"),
                 "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"});
    p.push_back({QStringLiteral("_rels/.rels"),
                 "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                 "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                 "relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"});
    // A chart sheet first, the worksheet second, and the third sheet active.
    p.push_back({QStringLiteral("xl/workbook.xml"),
                 "<workbook xmlns=\"" + ns + "\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                 "relationships\">" + workbookPr + "<bookViews><workbookView activeTab=\"2\"/></bookViews><sheets>"
                 "<sheet name=\"Chart\" sheetId=\"1\" r:id=\"rId9\"/><sheet name=\"Data\" sheetId=\"2\" r:id=\"rId2\"/>"
                 "<sheet name=\"Other\" sheetId=\"3\" r:id=\"rId3\"/></sheets></workbook>"});
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    p.push_back({QStringLiteral("xl/_rels/workbook.xml.rels"),
                 "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                 "<Relationship Id=\"rId9\" Type=\"" + rel + "chartsheet\" Target=\"chartsheets/sheet1.xml\"/>"
                 "<Relationship Id=\"rId3\" Type=\"" + rel + "worksheet\" Target=\"/xl/worksheets/other.xml\"/>"
                 "<Relationship Id=\"rId2\" Type=\"" + rel + "worksheet\" Target=\"worksheets/../worksheets/data.xml\"/>"
                 "<Relationship Id=\"rId4\" Type=\"" + rel + "sharedStrings\" Target=\"sharedStrings.xml\"/>"
                 "<Relationship Id=\"rId5\" Type=\"" + rel + "styles\" Target=\"styles.xml\"/></Relationships>"});
    p.push_back({QStringLiteral("xl/styles.xml"), "<styleSheet xmlns=\"" + ns + "\"><numFmts>" + numFmts +
                                                      "</numFmts><cellStyleXfs><xf numFmtId=\"49\"/></cellStyleXfs>"
                                                      "<cellXfs>" + xfs + "</cellXfs></styleSheet>"});
    p.push_back({QStringLiteral("xl/sharedStrings.xml"), "<sst xmlns=\"" + ns + "\">" + sharedStrings + "</sst>"});
    p.push_back({QStringLiteral("xl/worksheets/data.xml"),
                 "<worksheet xmlns=\"" + ns + "\"><dimension ref=\"A1:ZZ99999\"/><sheetData>" + sheetData +
                     "</sheetData></worksheet>"});
    p.push_back({QStringLiteral("xl/worksheets/other.xml"),
                 "<worksheet xmlns=\"" + ns + "\"><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>active"
                 "</t></is></c></row></sheetData></worksheet>"});
    return p;
}

QString cell(const SheetCells &s, unsigned row, unsigned column)
{
    return s.cells.value(CellKey(row, column));
}

const char *const kOdsNamespaces =
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\""
    " xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\"";

// An .ods package around the first table's content (the second table is active
// in the settings), with data styles and cell styles.
Parts odsParts(const QByteArray &table, const QByteArray &styles = {},
               const QByteArray &mimetype = "application/vnd.oasis.opendocument.spreadsheet")
{
    const QByteArray ns = kOdsNamespaces;
    Parts p;
    p.push_back({QStringLiteral("mimetype"), mimetype});
    p.push_back({QStringLiteral("styles.xml"),
                 "<office:document-styles" + ns + "><office:styles>"
                 "<number:number-style style:name=\"NZip\"><number:number number:decimal-places=\"0\" "
                 "number:min-integer-digits=\"5\"/></number:number-style>"
                 "<style:style style:name=\"Default\" style:family=\"table-cell\"/>"
                 "<style:style style:name=\"ZipCommon\" style:family=\"table-cell\" style:data-style-name=\"NZip\"/>"
                 "</office:styles></office:document-styles>"});
    p.push_back({QStringLiteral("settings.xml"), "<office:document-settings" + ns + "/>"});
    p.push_back({QStringLiteral("content.xml"),
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content" + ns +
                     "><office:automatic-styles>" + styles +
                     "</office:automatic-styles><office:body><office:spreadsheet>"
                     "<table:table table:name=\"First\">" + table + "</table:table>"
                     "<table:table table:name=\"Active\"><table:table-row><table:table-cell office:value-type=\"string\">"
                     "<text:p>active</text:p></table:table-cell></table:table-row></table:table>"
                     "</office:spreadsheet></office:body></office:document-content>"});
    return p;
}

QByteArray odsText(const QByteArray &text)
{
    return "<table:table-cell office:value-type=\"string\"><text:p>" + text + "</text:p></table:table-cell>";
}

} // namespace

TEST(XlsxReaderTest, CellsReadAsTheSheetShowsThem)
{
    const QString longText(10000, u'x');
    const QByteArray strings =
        "<si><t>Plain</t></si>"
        "<si><r><t>Rich </t></r><r><rPr><b/></rPr><t xml:space=\"preserve\">text</t></r><rPh><t>PHONETIC</t></rPh></si>"
        "<si><t>Line 1_x000D__x000A_Line 2</t></si>"
        "<si><t>" + longText.toUtf8() + "</t></si>";
    const QByteArray formats = "<numFmt numFmtId=\"164\" formatCode=\"00000\"/><numFmt numFmtId=\"165\" "
                               "formatCode=\"dd\\.mm\\.yyyy\"/><numFmt numFmtId=\"166\" formatCode=\"0.0%\"/>";
    const QByteArray xfs = "<xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf numFmtId=\"2\"/><xf numFmtId=\"165\"/>"
                           "<xf numFmtId=\"166\"/><xf numFmtId=\"21\"/><xf numFmtId=\"49\"/>";
    const QByteArray data =
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c><c r=\"C1\" t=\"s\"><v>2</v></c>"
        "<c r=\"D1\" t=\"s\"><v>3</v></c></row>"
        // Numbers through their formats; a formula's cached number and text.
        "<row r=\"2\"><c r=\"A2\" s=\"1\"><v>1234</v></c><c r=\"B2\" s=\"2\"><v>12.5</v></c>"
        "<c r=\"C2\" s=\"3\"><v>45366</v></c><c r=\"D2\" s=\"4\"><v>0.125</v></c><c r=\"E2\" s=\"5\"><v>0.5</v></c>"
        "<c r=\"F2\" s=\"1\"><f>1000+234</f><v>1234</v></c><c r=\"G2\" t=\"str\"><f>UPPER(\"a\")</f><v>A</v></c>"
        "<c r=\"H2\" s=\"6\"><v>11000</v></c></row>"
        // Cells without references follow one another; an empty cell and a
        // formula without a result are empty.
        "<row><c t=\"inlineStr\"><is><t>inline</t></is></c><c s=\"1\"/><c><f>A1</f></c><c t=\"b\"><v>1</v></c>"
        "<c t=\"e\"><v>#DIV/0!</v></c><c><v>0.1</v></c></row>"
        "<row r=\"9\"><c r=\"B9\" t=\"inlineStr\"><is><t>last</t></is></c></row>";
    SheetCells s;
    QString why;
    ASSERT_TRUE(ReadXlsxWorkbook(zipOf(xlsxParts(data, strings, formats, xfs)), s, &why)) << why.toStdString();
    EXPECT_EQ(s.rows, 9u);    // the cells, not the claimed dimension
    EXPECT_EQ(s.columns, 8u);
    EXPECT_EQ(cell(s, 1, 1), QStringLiteral("Plain"));
    EXPECT_EQ(cell(s, 1, 2), QStringLiteral("Rich text"));
    EXPECT_EQ(cell(s, 1, 3), QStringLiteral("Line 1\r\nLine 2"));
    EXPECT_EQ(cell(s, 1, 4), longText);
    const QStringList row2 = {"01234", "12.50", "15.03.2024", "12.5%", "12:00:00", "01234", "A", "11000"};
    for (int c = 0; c < row2.size(); ++c)
        EXPECT_EQ(cell(s, 2, unsigned(c + 1)), row2[c]) << "column " << c + 1;
    const QStringList row3 = {"inline", "", "", "TRUE", "#DIV/0!", "0.1"};
    for (int c = 0; c < row3.size(); ++c)
        EXPECT_EQ(cell(s, 3, unsigned(c + 1)), row3[c]) << "column " << c + 1;
    EXPECT_EQ(cell(s, 9, 2), QStringLiteral("last"));

    // A format code longer than any real one counts as General.
    SheetCells g;
    ASSERT_TRUE(ReadXlsxWorkbook(zipOf(xlsxParts("<row r=\"1\"><c r=\"A1\" s=\"1\"><v>1234</v></c></row>", {},
                                                 "<numFmt numFmtId=\"164\" formatCode=\"" + QByteArray(5000, '0') + "\"/>",
                                                 "<xf numFmtId=\"0\"/><xf numFmtId=\"164\"/>")),
                                 g, &why))
        << why.toStdString();
    EXPECT_EQ(cell(g, 1, 1), QStringLiteral("1234"));

    // Dates counted from 1904 when the workbook says so.
    SheetCells d;
    ASSERT_TRUE(ReadXlsxWorkbook(zipOf(xlsxParts("<row r=\"1\"><c r=\"A1\" s=\"3\"><v>43904</v></c></row>", {},
                                                 formats, xfs, "<workbookPr date1904=\"1\"/>")),
                                 d, &why))
        << why.toStdString();
    EXPECT_EQ(cell(d, 1, 1), QStringLiteral("15.03.2024"));
}

TEST(XlsxReaderTest, DamagedAndHostilePackagesAreRefusedWithAReason)
{
    auto refused = [](const Parts &parts, const char *expected) {
        SheetCells s;
        QString why;
        EXPECT_FALSE(ReadXlsxWorkbook(zipOf(parts), s, &why)) << expected;
        EXPECT_TRUE(why.contains(QString::fromLatin1(expected))) << why.toStdString();
        EXPECT_TRUE(s.cells.isEmpty());
    };
    refused(xlsxParts("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>5</v></c></row>", "<si><t>a</t></si>"), "shared string");
    refused(xlsxParts("<row r=\"1\"><c r=\"A1\"><v>1</v></c>"), "not well formed");
    refused(xlsxParts("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>"), "outside the sheet");
    refused(xlsxParts("<row r=\"1048577\"><c><v>1</v></c></row>"), "outside the sheet");
    refused(xlsxParts("<row r=\"1\"><c r=\"A1\"><v>abc</v></c></row>"), "no number");
    Parts entity = xlsxParts("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&a;</t></is></c></row>");
    entity[entity.size() - 2].second.prepend("<!DOCTYPE x [<!ENTITY a \"aaaaaaaaaa\">]>"); // data.xml
    refused(entity, "document type");
    Parts noSheet = xlsxParts({});
    noSheet.erase(noSheet.begin() + 3); // the workbook's relationships
    refused(noSheet, "workbook.xml.rels");

    // A zip bomb: a few hundred kilobytes that would unpack to more than the limit.
    QByteArray bomb("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
    bomb.append(QByteArray(ZipPackage::kPartLimit, ' '));
    refused(xlsxParts(bomb), "unpacks to more than");

    // Not a package at all, and a package of another kind.
    SheetCells s;
    QString why;
    EXPECT_FALSE(ReadXlsxWorkbook("PK\x03\x04 not really", s, &why));
    EXPECT_FALSE(ReadSpreadsheet(zipOf({{QStringLiteral("readme.txt"), "hello"}}), s, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("neither"))) << why.toStdString();
}

TEST(OdsReaderTest, CellsRepeatsAndFormatsReadAsTheSheetShowsThem)
{
    const QByteArray styles =
        "<number:number-style style:name=\"NDec\"><number:number number:decimal-places=\"2\" "
        "number:min-integer-digits=\"1\" number:grouping=\"true\"/></number:number-style>"
        "<number:percentage-style style:name=\"NPct\"><number:number number:decimal-places=\"1\" "
        "number:min-integer-digits=\"1\"/><number:text>%</number:text></number:percentage-style>"
        "<number:date-style style:name=\"NDate\"><number:day number:style=\"long\"/><number:text>.</number:text>"
        "<number:month number:style=\"long\"/><number:text>.</number:text><number:year number:style=\"long\"/>"
        "</number:date-style>"
        "<number:time-style style:name=\"NTime\" number:truncate-on-overflow=\"false\"><number:hours/>"
        "<number:text>:</number:text><number:minutes number:style=\"long\"/></number:time-style>"
        // Negative amounts through a mapped style that writes its own sign.
        "<number:number-style style:name=\"NPos\"><number:number number:decimal-places=\"2\" "
        "number:min-integer-digits=\"1\"/><number:text> EUR</number:text></number:number-style>"
        "<number:number-style style:name=\"NAmount\"><number:text>-</number:text><number:number "
        "number:decimal-places=\"2\" number:min-integer-digits=\"1\"/><number:text> EUR</number:text>"
        "<style:map style:condition=\"value()&gt;=0\" style:apply-style-name=\"NPos\"/></number:number-style>"
        "<style:style style:name=\"cDec\" style:family=\"table-cell\" style:data-style-name=\"NDec\"/>"
        "<style:style style:name=\"cPct\" style:family=\"table-cell\" style:data-style-name=\"NPct\"/>"
        "<style:style style:name=\"cDate\" style:family=\"table-cell\" style:data-style-name=\"NDate\"/>"
        "<style:style style:name=\"cTime\" style:family=\"table-cell\" style:data-style-name=\"NTime\"/>"
        "<style:style style:name=\"cAmount\" style:family=\"table-cell\" style:data-style-name=\"NAmount\"/>"
        "<style:style style:name=\"cZip\" style:family=\"table-cell\" style:parent-style-name=\"ZipCommon\"/>";
    const QString longText(10000, u'y');
    const QByteArray table =
        // Column D shows its numbers through the column's default style.
        "<table:table-column table:number-columns-repeated=\"3\"/>"
        "<table:table-column table:default-cell-style-name=\"cZip\"/>"
        "<table:table-column table:number-columns-repeated=\"16380\"/>"
        "<table:table-header-rows><table:table-row>" + odsText("Name") +
        "<table:table-cell table:number-columns-repeated=\"2\" office:value-type=\"string\"><text:p>two</text:p>"
        "</table:table-cell><table:table-cell office:value-type=\"float\" office:value=\"1234\"><text:p>01234"
        "</text:p></table:table-cell><table:table-cell table:number-columns-repeated=\"16380\"/>"
        "</table:table-row></table:table-header-rows>"
        // Spaces, line breaks, spans, a comment that is not shown, a formula's text result.
        "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>a<text:s text:c=\"3\"/>b"
        "<text:span>c</text:span><text:tab/>d</text:p><text:p>second<text:line-break/>third</text:p>"
        "<office:annotation><text:p>COMMENT</text:p></office:annotation></table:table-cell>"
        "<table:table-cell table:formula=\"of:=UPPER(&quot;x&quot;)\" office:value-type=\"string\" "
        "office:string-value=\"X\"><text:p>X</text:p></table:table-cell>"
        "<table:covered-table-cell/>" + odsText(longText.toUtf8()) + "</table:table-row>"
        // Numbers, dates and times through their styles; truth values; errors.
        "<table:table-row><table:table-cell table:style-name=\"cDec\" office:value-type=\"float\" "
        "office:value=\"1234.5\"/><table:table-cell table:style-name=\"cPct\" office:value-type=\"percentage\" "
        "office:value=\"0.125\"/><table:table-cell table:style-name=\"cDate\" office:value-type=\"date\" "
        "office:date-value=\"2024-03-15\"/><table:table-cell table:style-name=\"cTime\" office:value-type=\"time\" "
        "office:time-value=\"PT26H05M00S\"/><table:table-cell table:style-name=\"cAmount\" office:value-type=\"currency\" "
        "office:value=\"-3.5\"/><table:table-cell table:style-name=\"cAmount\" office:value-type=\"currency\" "
        "office:value=\"3.5\"/><table:table-cell office:value-type=\"boolean\" office:boolean-value=\"true\"/>"
        "<table:table-cell office:value-type=\"float\" office:value=\"0\" calcext:value-type=\"error\">"
        "<text:p>#DIV/0!</text:p></table:table-cell><table:table-cell office:value-type=\"float\" "
        "office:value=\"12.5\"><text:p>12,5</text:p></table:table-cell></table:table-row>"
        // A row repeated with its repeated cells; many empty rows; a last row.
        "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell/>"
        "<table:table-cell table:number-columns-repeated=\"2\" office:value-type=\"string\"><text:p>r</text:p>"
        "</table:table-cell></table:table-row>"
        "<table:table-row table:number-rows-repeated=\"1000000\"><table:table-cell "
        "table:number-columns-repeated=\"1024\"/></table:table-row>"
        "<table:table-row>" + odsText("end") + "</table:table-row>"
        "<table:table-row table:number-rows-repeated=\"48569\"><table:table-cell/></table:table-row>";
    SheetCells s;
    QString why;
    ASSERT_TRUE(ReadOdsWorkbook(zipOf(odsParts(table, styles)), s, &why)) << why.toStdString();
    EXPECT_EQ(s.rows, 1000006u);
    EXPECT_EQ(s.columns, 9u);
    EXPECT_EQ(cell(s, 1, 1), QStringLiteral("Name"));
    EXPECT_EQ(cell(s, 1, 2), QStringLiteral("two"));
    EXPECT_EQ(cell(s, 1, 3), QStringLiteral("two"));
    EXPECT_EQ(cell(s, 1, 4), QStringLiteral("01234"));
    EXPECT_EQ(cell(s, 1, 5), QString());
    EXPECT_EQ(cell(s, 2, 1), QStringLiteral("a   bc\td\nsecond\nthird"));
    EXPECT_EQ(cell(s, 2, 2), QStringLiteral("X"));
    EXPECT_EQ(cell(s, 2, 4), longText);
    const QStringList row3 = {"1,234.50", "12.5%", "15.03.2024", "26:05", "-3.50 EUR", "3.50 EUR", "TRUE", "#DIV/0!",
                              "12.5"};
    for (int c = 0; c < row3.size(); ++c)
        EXPECT_EQ(cell(s, 3, unsigned(c + 1)), row3[c]) << "column " << c + 1;
    for (unsigned r : {4u, 5u}) {
        EXPECT_EQ(cell(s, r, 1), QString());
        EXPECT_EQ(cell(s, r, 2), QStringLiteral("r"));
        EXPECT_EQ(cell(s, r, 3), QStringLiteral("r"));
    }
    EXPECT_EQ(cell(s, 1000006, 1), QStringLiteral("end"));
    EXPECT_EQ(s.cells.size(), 4 + 3 + 9 + 4 + 1);
}

TEST(OdsReaderTest, HostileRepeatsAndDamagedPackagesAreRefusedWithAReason)
{
    auto refused = [](const Parts &parts, const char *expected) {
        SheetCells s;
        QString why;
        EXPECT_FALSE(ReadOdsWorkbook(zipOf(parts), s, &why)) << expected;
        EXPECT_TRUE(why.contains(QString::fromLatin1(expected))) << why.toStdString();
        EXPECT_TRUE(s.cells.isEmpty());
    };
    // A value repeated beyond the sheet's columns or rows.
    refused(odsParts("<table:table-row><table:table-cell table:number-columns-repeated=\"4294967295\" "
                     "office:value-type=\"string\"><text:p>x</text:p></table:table-cell></table:table-row>"),
            "beyond column");
    refused(odsParts("<table:table-row table:number-rows-repeated=\"99999999999\">" + odsText("x") +
                     "</table:table-row>"),
            "beyond row");
    // Within the sheet, but more cells than any address list: 16,384 × 200.
    refused(odsParts("<table:table-row table:number-rows-repeated=\"200\"><table:table-cell "
                     "table:number-columns-repeated=\"16384\" office:value-type=\"string\"><text:p>x</text:p>"
                     "</table:table-cell></table:table-row>"),
            "cells with a value");
    // Long text repeated: more characters than the limit.
    refused(odsParts("<table:table-row table:number-rows-repeated=\"30000\"><table:table-cell "
                     "table:number-columns-repeated=\"10\" office:value-type=\"string\"><text:p>" +
                     QByteArray(1000, 'z') + "</text:p></table:table-cell></table:table-row>"),
            "more text");
    refused(odsParts("<table:table-row>" + odsText("x")), "not well formed");
    // One cell whose spaces would unpack to gigabytes.
    QByteArray spaces;
    for (int i = 0; i < 2000; ++i)
        spaces += "<text:s text:c=\"4096\"/>";
    refused(odsParts("<table:table-row>" + odsText(spaces) + "</table:table-row>"), "a cell holds more than");
    refused(odsParts(odsText("x"), {}, "application/vnd.oasis.opendocument.text"), "no spreadsheet");
    Parts noContent = odsParts({});
    noContent.pop_back();
    refused(noContent, "content.xml");
    Parts bomb = odsParts({});
    bomb.back().second.append(QByteArray(ZipPackage::kPartLimit, ' '));
    refused(bomb, "unpacks to more than");
}

TEST(ZipSheetImportTest, XlsxAndOdsGoThroughTheImportLikeXls)
{
    TempDatabase t;
    const int folder = AddFolder(t.db(), RootFolder(t.db()), QStringLiteral("In"));
    const QByteArray rows = "<table:table-row>" + odsText("Name") + odsText("Street") + odsText("Town") +
                            odsText("ZIP") + "</table:table-row><table:table-row>" + odsText("Anna") +
                            odsText("Main 1") + odsText("Lyon") +
                            "<table:table-cell table:style-name=\"cZip\" office:value-type=\"float\" "
                            "office:value=\"1234\"/></table:table-row>";
    const QString ods = t.dir() + QStringLiteral("/in.ods");
    WriteAll(ods, zipOf(odsParts(rows, "<style:style style:name=\"cZip\" style:family=\"table-cell\" "
                                       "style:parent-style-name=\"ZipCommon\"/>")));
    const QString xlsx = t.dir() + QStringLiteral("/in.XLSX");
    WriteAll(xlsx, zipOf(xlsxParts("<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>Anna</t></is></c>"
                                   "<c r=\"C2\" t=\"inlineStr\"><is><t>Lyon</t></is></c><c r=\"D2\" s=\"1\">"
                                   "<v>1234</v></c></row>",
                                   {}, "<numFmt numFmtId=\"164\" formatCode=\"00000\"/>",
                                   "<xf numFmtId=\"0\"/><xf numFmtId=\"164\"/>")));
    for (const QString &file : {ods, xlsx}) {
        SCOPED_TRACE(file.toStdString());
        ImportSettings s;
        s.fileName = file;
        s.folder = folder;
        s.columns = {1, 2, 3, 4, 0, 0, 0, 0};
        const ImportCheck check = CheckImportSettings(s);
        ASSERT_EQ(check.message, 0);
        MessageRecorder rec;
        rec.defaultAnswer = TVB_NO; // the second file repeats the first one's address
        const ImportResult r = RunImport(t.db(), s, check);
        EXPECT_EQ(r.outcome, ImportOutcome::Imported);
        EXPECT_EQ(r.accepted + r.skipped, 1);
        EXPECT_EQ(r.errors, 0);
    }
    const QStringList all = DumpFolder(t.db(), folder);
    ASSERT_EQ(all.size(), 1);
    EXPECT_TRUE(all[0].contains(QStringLiteral("Anna\tMain 1\tLyon\t01234"))) << all[0].toStdString();

    // A damaged package is message 59433, nothing written.
    WriteAll(ods, ReadAll(ods).left(200));
    ImportSettings s;
    s.fileName = ods;
    s.folder = folder;
    const ImportCheck check = CheckImportSettings(s);
    MessageRecorder rec;
    const ImportResult r = RunImport(t.db(), s, check);
    EXPECT_EQ(r.outcome, ImportOutcome::Cancelled);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59433});
    EXPECT_EQ(CountAddresses(t.db(), folder), 1);
}
