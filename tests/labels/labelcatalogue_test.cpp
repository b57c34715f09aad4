// Label products: the built-in list measured on printed sheets, the gLabels
// templates of the distribution against the makers' data sheets, damaged and
// hostile template files, the search, the "New from product..." dialog, the
// seeded sheets of a new database and part numbers on the command line.
#include "addresslayout.h"
#include "appcontext.h"
#include "calibration.h"
#include "labelcatalogue.h"
#include "labelprinter.h"
#include "labelprinting.h"
#include "labelproductdialog.h"
#include "labelsheetdata.h"
#include "labeltest.h"
#include "printcli.h"
#include "printers.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <cmath>

namespace {

const LabelProduct *findProduct(const std::vector<LabelProduct> &products, const QString &part,
                                const QString &brand = QString())
{
    for (const LabelProduct &p : products)
        if (p.part.compare(part, Qt::CaseInsensitive) == 0 && (brand.isEmpty() || p.brand == brand))
            return &p;
    return nullptr;
}

// A grey-scale picture read from pdftoppm's PGM output.
struct Gray {
    int width = 0, height = 0;
    QByteArray pixels;
    bool dark(int x, int y) const { return quint8(pixels[y * width + x]) < 128; }
};

bool readPgm(const QString &path, Gray &g)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = f.readAll();
    // "P5\n<w> <h>\n255\n" then the pixels.
    QList<QByteArray> fields;
    int pos = 0;
    while (fields.size() < 4 && pos < data.size()) {
        while (pos < data.size() && QChar(data[pos]).isSpace())
            ++pos;
        const int start = pos;
        while (pos < data.size() && !QChar(data[pos]).isSpace())
            ++pos;
        fields << data.mid(start, pos - start);
    }
    if (fields.size() != 4 || fields[0] != "P5" || fields[3] != "255")
        return false;
    g.width = fields[1].toInt();
    g.height = fields[2].toInt();
    g.pixels = data.mid(pos + 1);
    return g.width > 0 && g.height > 0 && g.pixels.size() >= qsizetype(g.width) * g.height;
}

constexpr int kRenderDpi = 254; // 0.1 mm a pixel
constexpr double kMmPerPixel = 25.4 / kRenderDpi;

// Along one line of pixels: the position (mm) of the change from dark to
// white (`toWhite`) or from white to dark nearest to `expected`, searched
// within ±0.6 mm; NaN when there is none.
double transitionNear(const std::function<bool(int)> &darkAt, int length, double expected, bool toWhite)
{
    const int centre = int(std::lround(expected / kMmPerPixel));
    double best = std::nan("");
    for (int i = std::max(1, centre - 6); i <= std::min(length - 1, centre + 6); ++i) {
        const bool change = toWhite ? (darkAt(i - 1) && !darkAt(i)) : (!darkAt(i - 1) && darkAt(i));
        if (change && (std::isnan(best) || std::fabs(i * kMmPerPixel - expected) < std::fabs(best - expected)))
            best = i * kMmPerPixel;
    }
    return best;
}

} // namespace

TEST(LabelCatalogue, BuiltInListHoldsTheCommonSheetsEachFittingItsPaper)
{
    QStringList errors;
    const auto records = ParseLabelSheets(QString::fromUtf8(BuiltInLabelSheetText()), &errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    const auto products = BuiltInLabelProducts();
    EXPECT_EQ(products.size(), records.size());
    EXPECT_GE(products.size(), 60u);
    for (const char *part : {"5160", "5161", "5163", "8160", "L7160", "L7163", "L7165", "L7651", "J8160", "3422",
                             "3474", "3475", "3490", "3651", "4780", "L7159", "5162", "5164"})
        EXPECT_NE(findProduct(products, QString::fromLatin1(part)), nullptr) << part;
    EXPECT_NE(findProduct(products, QStringLiteral("4464"), QStringLiteral("Herma")), nullptr);

    QSet<QString> seen;
    for (const LabelProduct &p : products) {
        const std::string what = p.DefaultName().toStdString();
        EXPECT_TRUE(FitsLabelSizeLimits(p)) << what;
        EXPECT_GE(p.C, 0) << what;
        EXPECT_GE(p.F, 0) << what;
        EXPECT_LE(p.A + p.N * p.B + (p.N - 1) * p.C, p.paperWidth + 1e-9) << what;
        EXPECT_LE(p.D + p.M * p.E + (p.M - 1) * p.F, p.paperHeight + 1e-9) << what;
        EXPECT_LE(p.DefaultName().size(), 64) << what;
        EXPECT_TRUE(p.DefaultName().contains(p.part)) << what;
        const QString key = p.brand + u'/' + p.part;
        EXPECT_FALSE(seen.contains(key)) << "listed twice: " << what;
        seen.insert(key);
    }
}

TEST(LabelCatalogue, SheetListParserRefusesBrokenLines)
{
    QStringList errors;
    const auto sheets = ParseLabelSheets(QStringLiteral("# comment\n"
                                                        "Avery | X1 | ok | A4 | 1 | 2 | 3 | 4 | 5 | 6 | 7 | 8 | new\n"
                                                        "Avery | X2 | too few | A4 | 1 | 2\n"
                                                        "Avery | X3 | paper | B17 | 1 | 2 | 3 | 4 | 5 | 6 | 7 | 8 |\n"
                                                        "Avery | X4 | number | A4 | 1 | two | 3 | 4 | 5 | 6 | 7 | 8 |\n"
                                                        "Avery | X5 | custom | 100 x 50 | 1 | 2 | 3 | 4 | 5 | 6 | 7 | 8 |\n"),
                                         &errors);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_TRUE(sheets[0].seedsNewDatabase);
    EXPECT_DOUBLE_EQ(sheets[1].paperWidth, 100);
    EXPECT_DOUBLE_EQ(sheets[1].paperHeight, 50);
    ASSERT_EQ(errors.size(), 3);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("line 3:")));
}

// Every built-in sheet printed with a frame round each label, rendered at
// 0.1 mm a pixel: the edges of every label along the middle of the first and
// last rows and columns lie where the layout says, within 0.2 mm, and the
// page is the sheet's paper.
TEST(LabelCatalogue, EveryBuiltInSheetPrintedWithFramesMeasuresItsLayout)
{
    TempDatabase t;
    MessageRecorder rec;
    AppContext::SetCurrentPrinter(PdfPrinterName());
    const QString pdf = t.dir() + QStringLiteral("/sheet.pdf");
    const QString png = t.dir() + QStringLiteral("/sheet");
    SetPdfOutputFile(pdf);
    const LabelStyle base = ReadLabelStyles(t.db(), QStringLiteral("SELECT * FROM LABSTYLE WHERE LABSTYLE_NAME = 'Standard'")).front();
    const double t_mm = FrameThickness(1200) * 25.4 / 1200; // the frame's printed thickness

    for (const LabelProduct &p : BuiltInLabelProducts()) {
        SCOPED_TRACE(p.DefaultName().toStdString());
        LabelJob job;
        job.size = p.ToLabelSize();
        job.style = base;
        job.style.printFrame = true;
        job.style.frameOffset = 0;
        job.addresses.assign(std::size_t(p.M * p.N), AddressEntry{});
        auto printer = CreatePrinterDC(nullptr, false, PaperRequest::ForLabelSheet(p.paperWidth, p.paperHeight));
        ASSERT_TRUE(printer);
        QFile::remove(pdf);
        ASSERT_TRUE(LabelPrinter(job, MetricsOf(*printer)).Print(*printer, nullptr));
        ASSERT_EQ(PdfPageCount(pdf), 1);
        const QSizeF page = PdfPageSize(pdf);
        EXPECT_NEAR(page.width() * 25.4 / 72, p.paperWidth, 0.36);
        EXPECT_NEAR(page.height() * 25.4 / 72, p.paperHeight, 0.36);
        RunPdfTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(kRenderDpi), QStringLiteral("-gray"),
                                                QStringLiteral("-singlefile"), pdf, png});
        Gray g;
        ASSERT_TRUE(readPgm(png + QStringLiteral(".pgm"), g));

        for (int row : {0, p.M - 1}) {
            const int y = int((p.D + row * (p.E + p.F) + p.E / 2) / kMmPerPixel);
            ASSERT_LT(y, g.height);
            auto darkAt = [&](int x) { return g.dark(x, y); };
            for (int col = 0; col < p.N; ++col) {
                const double left = p.A + col * (p.B + p.C), right = left + p.B;
                const double l = transitionNear(darkAt, g.width, left + t_mm, true) - t_mm;
                const double r = transitionNear(darkAt, g.width, right - t_mm, false) + t_mm;
                EXPECT_NEAR(l, left, 0.2) << "row " << row << " column " << col << " left";
                EXPECT_NEAR(r, right, 0.2) << "row " << row << " column " << col << " right";
            }
        }
        for (int col : {0, p.N - 1}) {
            const int x = int((p.A + col * (p.B + p.C) + p.B / 2) / kMmPerPixel);
            ASSERT_LT(x, g.width);
            auto darkAt = [&](int y) { return g.dark(x, y); };
            for (int row = 0; row < p.M; ++row) {
                const double top = p.D + row * (p.E + p.F), bottom = top + p.E;
                const double tp = transitionNear(darkAt, g.height, top + t_mm, true) - t_mm;
                const double b = transitionNear(darkAt, g.height, bottom - t_mm, false) + t_mm;
                EXPECT_NEAR(tp, top, 0.2) << "column " << col << " row " << row << " top";
                EXPECT_NEAR(b, bottom, 0.2) << "column " << col << " row " << row << " bottom";
            }
        }
    }
    SetPdfOutputFile(QString());
    EXPECT_TRUE(rec.Empty());
}

TEST(LabelCatalogue, LengthsInEveryUnitOfTheTemplates)
{
    double mm = 0;
    ASSERT_TRUE(ParseGlabelsLength(QStringLiteral("72pt"), mm));
    EXPECT_NEAR(mm, 25.4, 1e-9);
    ASSERT_TRUE(ParseGlabelsLength(QStringLiteral("72"), mm)); // points when no unit
    EXPECT_NEAR(mm, 25.4, 1e-9);
    ASSERT_TRUE(ParseGlabelsLength(QStringLiteral("1in"), mm));
    EXPECT_NEAR(mm, 25.4, 1e-9);
    ASSERT_TRUE(ParseGlabelsLength(QStringLiteral("2.54cm"), mm));
    EXPECT_NEAR(mm, 25.4, 1e-9);
    ASSERT_TRUE(ParseGlabelsLength(QStringLiteral("6pc"), mm));
    EXPECT_NEAR(mm, 25.4, 1e-9);
    ASSERT_TRUE(ParseGlabelsLength(QStringLiteral(" 63.5 mm "), mm));
    EXPECT_NEAR(mm, 63.5, 1e-9);
    for (const char *bad : {"", "mm", "5furlongs", "nan", "inf", "1e400mm", "--3mm", "3,5mm"})
        EXPECT_FALSE(ParseGlabelsLength(QString::fromLatin1(bad), mm)) << bad;
}

TEST(LabelCatalogue, DistributionTemplatesLoadAndAgreeWithTheDataSheets)
{
    const QString folder = QStringLiteral("/usr/share/libglabels-3.0/templates");
    if (!QDir(folder).exists())
        GTEST_SKIP() << "glabels-data is not installed";
    const TemplateScan scan = ScanGlabelsTemplateFolders({folder});
    std::printf("gLabels templates: %d files, %d templates, %d mapped, %d skipped\n", scan.files, scan.templates,
                scan.mapped, scan.SkippedTotal());
    for (const auto &[why, count] : scan.skipped)
        std::printf("  skipped: %d %s\n", count, qPrintable(TemplateSkipText(why)));
    EXPECT_TRUE(scan.errors.isEmpty()) << scan.errors.join(u'\n').toStdString();
    EXPECT_GE(scan.templates, 1500);
    EXPECT_GE(scan.mapped, 800);
    EXPECT_EQ(scan.mapped + scan.SkippedTotal(), scan.templates);
    EXPECT_EQ(int(scan.products.size()), scan.mapped);
    EXPECT_GT(scan.skipped.at(TemplateSkip::Round), 0);
    EXPECT_GT(scan.skipped.at(TemplateSkip::Cd), 0);
    EXPECT_GT(scan.skipped.at(TemplateSkip::MultiLayout), 0);
    EXPECT_EQ(scan.skipped.count(TemplateSkip::UnresolvedEquiv), 0u);

    // Ten products (and one copy made with equiv) against the data sheets,
    // which the built-in list holds.
    const auto builtIn = BuiltInLabelProducts();
    const struct {
        const char *brand, *part, *builtInBrand;
    } known[] = {
        {"Avery", "L7651", "Avery"}, {"Avery", "J8651", "Avery"}, {"Avery", "L7165", "Avery"},
        {"Avery", "5161", "Avery"},  {"Avery", "5162", "Avery"},  {"Avery", "5163", "Avery"},
        {"Avery", "5164", "Avery"},  {"Avery", "5165", "Avery"},  {"Avery", "5126", "Avery"},
        {"Avery", "5371", "Avery"},  {"Avery", "5366", "Avery"},  {"Zweckform", "3475", "Avery Zweckform"},
    };
    for (const auto &k : known) {
        SCOPED_TRACE(k.part);
        const LabelProduct *tpl = findProduct(scan.products, QString::fromLatin1(k.part), QString::fromLatin1(k.brand));
        const LabelProduct *sheet = findProduct(builtIn, QString::fromLatin1(k.part), QString::fromLatin1(k.builtInBrand));
        ASSERT_NE(tpl, nullptr);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(tpl->M, sheet->M);
        EXPECT_EQ(tpl->N, sheet->N);
        EXPECT_NEAR(tpl->paperWidth, sheet->paperWidth, 0.01);
        EXPECT_NEAR(tpl->paperHeight, sheet->paperHeight, 0.01);
        const double t[6] = {tpl->A, tpl->B, tpl->C, tpl->D, tpl->E, tpl->F};
        const double s[6] = {sheet->A, sheet->B, sheet->C, sheet->D, sheet->E, sheet->F};
        for (int i = 0; i < 6; ++i)
            EXPECT_NEAR(t[i], s[i], 0.25) << "ABCDEF"[i];
    }
}

TEST(LabelCatalogue, DamagedAndHostileTemplateFilesGiveMessages)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto write = [&](const QString &name, const QByteArray &data) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    };
    const QByteArray good = "<Template brand=\"T\" part=\"G1\" size=\"A4\" description=\"good\">"
                            "<Label-rectangle id=\"0\" width=\"70mm\" height=\"37mm\">"
                            "<Layout nx=\"3\" ny=\"8\" x0=\"0\" y0=\"0.5mm\" dx=\"70mm\" dy=\"37mm\"/>"
                            "</Label-rectangle></Template>";
    write(QStringLiteral("truncated.xml"), "<?xml version=\"1.0\"?><Glabels-templates>" + good + "<Template brand=\"T\" part=\"X");
    write(QStringLiteral("binary.xml"), QByteArray("\x00\xff\xfe\x01garbage\x00\x00", 14));
    write(QStringLiteral("empty.template"), "");
    write(QStringLiteral("other.xml"), "<?xml version=\"1.0\"?><html><body/></html>");
    write(QStringLiteral("laughs.xml"),
          "<?xml version=\"1.0\"?><!DOCTYPE Glabels-templates [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaa\">"
          "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
          "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\"><!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">"
          "<!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">]>"
          "<Glabels-templates><Template brand=\"&f;\" part=\"L\" size=\"A4\"/></Glabels-templates>");
    write(QStringLiteral("nested.xml"), "<Glabels-templates>" + QByteArray(200000, 'x').replace('x', "<a>") + "</Glabels-templates>");
    write(QStringLiteral("values.xml"),
          "<Glabels-templates>" + good +
              "<Template brand=\"T\" part=\"V1\" size=\"A4\"><Label-rectangle width=\"1e308mm\" height=\"37mm\">"
              "<Layout nx=\"3\" ny=\"8\" x0=\"0\" y0=\"0\" dx=\"70mm\" dy=\"37mm\"/></Label-rectangle></Template>"
              "<Template brand=\"T\" part=\"V2\" size=\"A4\"><Label-rectangle width=\"70mm\" height=\"37mm\">"
              "<Layout nx=\"-3\" ny=\"99999999999\" x0=\"0\" y0=\"0\" dx=\"70mm\" dy=\"37mm\"/></Label-rectangle></Template>"
              "<Template brand=\"T\" part=\"V3\" size=\"A4\"><Label-rectangle width=\"70mm\" height=\"37mm\">"
              "<Layout nx=\"3\" ny=\"8\" x0=\"-5mm\" y0=\"0\" dx=\"60mm\" dy=\"37mm\"/></Label-rectangle></Template>"
              "<Template brand=\"T\" part=\"V4\" size=\"Nowhere\"><Label-rectangle width=\"70mm\" height=\"37mm\">"
              "<Layout nx=\"3\" ny=\"8\" x0=\"0\" y0=\"0\" dx=\"70mm\" dy=\"37mm\"/></Label-rectangle></Template>"
              "<Template brand=\"T\" part=\"V5\" size=\"A4\"><Label-rectangle width=\"70mm\" height=\"37mm\"/></Template>"
              "<Template brand=\"T\" part=\"V6\" size=\"A4\"><Label-rectangle width=\"70mm\" height=\"9mm\">"
              "<Layout nx=\"3\" ny=\"30\" x0=\"0\" y0=\"0\" dx=\"70mm\" dy=\"9mm\"/></Label-rectangle></Template>"
              "<Template brand=\"T\" part=\"V7\" size=\"A4\"><Label-rectangle width=\"70mm\" height=\"37mm\">"
              "<Layout nx=\"5\" ny=\"8\" x0=\"0\" y0=\"0\" dx=\"70mm\" dy=\"37mm\"/></Label-rectangle></Template>"
              "<Template brand=\"T\" part=\"E1\" equiv=\"E1\"/>"
              "<Template brand=\"T\" part=\"E2\" equiv=\"Missing\"/>"
              "<Template brand=\"T\" part=\"E3\" equiv=\"G1\"/>"
              "<Template brand=\"T\" part=\"R1\" size=\"A4\"><Label-round radius=\"20mm\">"
              "<Layout nx=\"3\" ny=\"4\" x0=\"0\" y0=\"0\" dx=\"50mm\" dy=\"50mm\"/></Label-round></Template>"
              "<Template brand=\"T\" part=\"R2\" size=\"roll\" width=\"62mm\" height=\"100mm\"><Label-rectangle width=\"62mm\" height=\"100mm\">"
              "<Layout nx=\"1\" ny=\"1\" x0=\"0\" y0=\"0\" dx=\"0\" dy=\"0\"/></Label-rectangle></Template>"
              "<Template brand=\"T\" part=\"M1\" size=\"A4\"><Label-rectangle width=\"70mm\" height=\"37mm\">"
              "<Layout nx=\"1\" ny=\"8\" x0=\"0\" y0=\"0\" dx=\"70mm\" dy=\"37mm\"/>"
              "<Layout nx=\"1\" ny=\"8\" x0=\"140mm\" y0=\"0\" dx=\"70mm\" dy=\"37mm\"/></Label-rectangle></Template>"
              "</Glabels-templates>");
    {
        QFile big(dir.filePath(QStringLiteral("huge.xml")));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(17 * 1024 * 1024));
    }

    const TemplateScan scan = ScanGlabelsTemplateFolders({dir.path(), dir.filePath(QStringLiteral("missing"))});
    EXPECT_EQ(scan.files, 8);
    auto skipped = [&](TemplateSkip why) {
        const auto it = scan.skipped.find(why);
        return it == scan.skipped.end() ? 0 : it->second;
    };
    auto errorOf = [&](const char *file) {
        for (const QString &e : scan.errors)
            if (e.startsWith(dir.filePath(QString::fromLatin1(file)) + u':'))
                return e;
        return QString();
    };
    EXPECT_TRUE(errorOf("truncated.xml").contains(QStringLiteral("1 templates before it were read"))) << errorOf("truncated.xml").toStdString();
    EXPECT_FALSE(errorOf("binary.xml").isEmpty());
    EXPECT_TRUE(errorOf("empty.template").contains(QStringLiteral("empty")));
    EXPECT_TRUE(errorOf("other.xml").contains(QStringLiteral("not a gLabels template file")));
    EXPECT_FALSE(errorOf("laughs.xml").isEmpty());
    EXPECT_FALSE(errorOf("nested.xml").isEmpty() && scan.errors.size() < 6);
    EXPECT_TRUE(errorOf("huge.xml").contains(QStringLiteral("not read")));
    EXPECT_TRUE(errorOf("values.xml").isEmpty());

    QStringList parts;
    for (const LabelProduct &p : scan.products)
        parts << p.part;
    parts.sort();
    // The good template twice (truncated.xml, values.xml) and its copy.
    EXPECT_EQ(parts, (QStringList{QStringLiteral("E3"), QStringLiteral("G1"), QStringLiteral("G1")}));
    const LabelProduct *copy = findProduct(scan.products, QStringLiteral("E3"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->description, QStringLiteral("good"));
    EXPECT_DOUBLE_EQ(copy->B, 70);
    EXPECT_DOUBLE_EQ(copy->D, 0.5);
    EXPECT_EQ(copy->M, 8);
    EXPECT_EQ(skipped(TemplateSkip::UnresolvedEquiv), 2);
    EXPECT_EQ(skipped(TemplateSkip::Round), 1);
    EXPECT_EQ(skipped(TemplateSkip::Roll), 1);
    EXPECT_EQ(skipped(TemplateSkip::MultiLayout), 1);
    EXPECT_EQ(skipped(TemplateSkip::OutsideLimits), 1); // V6 (30 rows)
    EXPECT_EQ(skipped(TemplateSkip::Invalid), 6);       // V1 (1e308 mm), V2, V3, V4, V5, V7 (off the paper)
}

TEST(LabelCatalogue, SearchPutsMatchingPartNumbersFirst)
{
    const auto products = BuiltInLabelProducts();
    auto first = [&](const char *query) {
        const auto hits = SearchLabelProducts(products, QString::fromUtf8(query));
        return hits.empty() ? QString() : hits.front()->part;
    };
    EXPECT_EQ(first("L7163"), QStringLiteral("L7163"));
    EXPECT_EQ(first("l7163"), QStringLiteral("L7163"));
    EXPECT_EQ(first("63"), QStringLiteral("L7163")); // two keystrokes
    EXPECT_EQ(first("zweckform 3474"), QStringLiteral("3474"));
    EXPECT_EQ(first("herma 70"), QStringLiteral("4464"));
    const auto size = SearchLabelProducts(products, QStringLiteral("63.5 x 38.1"));
    ASSERT_FALSE(size.empty());
    for (const LabelProduct *p : size) {
        EXPECT_DOUBLE_EQ(p->B, 63.5);
        EXPECT_DOUBLE_EQ(p->E, 38.1);
    }
    EXPECT_EQ(SearchLabelProducts(products, QStringLiteral("63,5×38,1")).size(), size.size());
    EXPECT_TRUE(SearchLabelProducts(products, QStringLiteral("no such thing")).empty());
    EXPECT_EQ(SearchLabelProducts(products, QString()).size(), products.size());
}

TEST(LabelProductDialog, TwoKeystrokesFindL7163AndOkCreatesTheSizeWithItsPaper)
{
    TempDatabase t;
    MessageRecorder rec;
    // The seeded L7163 would take the name: remove it first.
    const LabelSize seeded = LabelSizeNamed(t.db(), QStringLiteral("Avery L7163 Address labels 99.1 x 38.1 mm, 14 per sheet"));
    ASSERT_TRUE(DeleteLabelSize(t.db(), seeded.id));

    TemplateScan scan;
    LabelProductDialog d(nullptr, t.db(), BuiltInLabelProducts(), scan);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_TRUE(d.Counts()->text().contains(QStringLiteral("built in")));
    EXPECT_EQ(QApplication::focusWidget(), d.SearchField());
    QTest::keyClicks(d.SearchField(), QStringLiteral("63"));
    ASSERT_NE(d.Selected(), nullptr);
    EXPECT_EQ(d.Selected()->part, QStringLiteral("L7163"));
    EXPECT_EQ(d.NameField()->text(), QStringLiteral("Avery L7163 Address labels 99.1 x 38.1 mm, 14 per sheet"));
    EXPECT_FALSE(d.Picture()->PaperRect().isEmpty());
    // The arrow keys move through the list from the search field.
    QTest::keyClick(d.SearchField(), Qt::Key_Down);
    EXPECT_NE(d.Selected()->part, QStringLiteral("L7163"));
    QTest::keyClick(d.SearchField(), Qt::Key_Up);
    EXPECT_EQ(d.Selected()->part, QStringLiteral("L7163"));
    QTest::keyClick(d.SearchField(), Qt::Key_Return);
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    EXPECT_TRUE(rec.Empty());
    const LabelSize made = LabelSizeNamed(t.db(), QStringLiteral("Avery L7163 Address labels 99.1 x 38.1 mm, 14 per sheet"));
    EXPECT_EQ(made.id, d.Size().id);
    EXPECT_DOUBLE_EQ(made.A, 4.65);
    EXPECT_DOUBLE_EQ(made.B, 99.1);
    EXPECT_DOUBLE_EQ(made.D, 15.15);
    EXPECT_EQ(made.M, 7);
    EXPECT_EQ(made.N, 2);
    EXPECT_DOUBLE_EQ(made.paperWidth, 210);
    EXPECT_DOUBLE_EQ(made.paperHeight, 297);
}

TEST(LabelProductDialog, NameChecksAndNothingFound)
{
    TempDatabase t;
    MessageRecorder rec;
    LabelProductDialog d(nullptr, t.db(), BuiltInLabelProducts(), TemplateScan{});
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    // Taken: the new database has L7160 already.
    d.SearchField()->setText(QStringLiteral("L7160"));
    d.OkButton()->click();
    EXPECT_EQ(rec.OnlyId(), 51);
    EXPECT_TRUE(d.isVisible());
    rec.Clear();
    d.NameField()->setText(QStringLiteral("   "));
    d.OkButton()->click();
    EXPECT_EQ(rec.OnlyId(), 50);
    rec.Clear();
    d.NameField()->setText(QStringLiteral("Office labels"));
    d.SearchField()->setText(QStringLiteral("no such sheet"));
    EXPECT_EQ(d.ResultList()->topLevelItemCount(), 0);
    d.OkButton()->click();
    EXPECT_EQ(rec.OnlyId(), 170);
    EXPECT_TRUE(d.isVisible());
    rec.Clear();
    d.SearchField()->setText(QStringLiteral("L7160"));
    d.NameField()->setText(QStringLiteral("Office labels"));
    d.OkButton()->click();
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    EXPECT_EQ(LabelSizeNamed(t.db(), QStringLiteral("Office labels")).M, 7);
}

TEST(LabelCatalogue, NewDatabaseSeedsTheMarkedSheetsWithTheirPartNumbers)
{
    TempDatabase t;
    const auto sizes = ReadLabelSizes(t.db(), QStringLiteral("SELECT * FROM LABSIZE ORDER BY NAME"));
    int marked = 0;
    for (const LabelSheetRecord &r : BuiltInLabelSheets()) {
        if (!r.seedsNewDatabase)
            continue;
        ++marked;
        const LabelSize s = LabelSizeNamed(t.db(), r.DisplayName());
        EXPECT_TRUE(s.name.contains(r.part));
        EXPECT_DOUBLE_EQ(s.A, r.A);
        EXPECT_DOUBLE_EQ(s.E, r.E);
        EXPECT_EQ(s.M, r.M);
        EXPECT_DOUBLE_EQ(s.paperWidth, r.paperWidth);
        EXPECT_DOUBLE_EQ(s.paperHeight, r.paperHeight);
    }
    EXPECT_GE(marked, 5);
    EXPECT_EQ(int(sizes.size()), marked);
}

TEST(LabelCatalogue, CommandLineTakesAPartNumberOfExactlyOneSize)
{
    TempDatabase t;
    MessageRecorder rec;
    AppContext::SetCurrentPrinter(PdfPrinterName());
    const std::int32_t folder = AddFolder(t.db(), QStringLiteral("Customers"), RootFolder(t.db()));
    AddAddress(t.db(), folder, QStringLiteral("Person01"), QStringLiteral("Town1"));
    RegisterPrintCommandLineKind(QStringLiteral("labels"), RunLabelsCommandLine);
    const QString pdf = t.dir() + QStringLiteral("/part.pdf");
    PrintCommandLine o;
    o.kind = QStringLiteral("labels");
    o.folderPath = QStringLiteral("Customers");
    o.hasFolder = true;
    o.sizeName = QStringLiteral("l7163");
    o.styleName = QStringLiteral("Standard");
    o.pdfFile = pdf;
    EXPECT_EQ(RunPrintCommandLine(o), 0);
    ASSERT_EQ(PdfPageCount(pdf), 1);
    const QSizeF page = PdfPageSize(pdf);
    EXPECT_NEAR(page.width() * 25.4 / 72, 210, 0.36);
    const auto words = PdfWords(pdf);
    bool found = false;
    for (const PdfWord &w : words)
        if (w.text == QLatin1String("Person01")) {
            found = true;
            EXPECT_NEAR(w.box.left() * 25.4 / 72, 4.65 + 5, 0.5); // A + the Standard style's address margin
        }
    EXPECT_TRUE(found);

    // A part number in two names is refused; a part of a word is no part number.
    LabelSize copy = LabelSizeNamed(t.db(), QStringLiteral("Avery L7163 Address labels 99.1 x 38.1 mm, 14 per sheet"));
    copy.name = QStringLiteral("Office (L7163)");
    ASSERT_TRUE(SaveLabelSize(t.db(), copy, true));
    QFile::remove(pdf);
    EXPECT_NE(RunPrintCommandLine(o), 0);
    EXPECT_FALSE(QFile::exists(pdf));
    o.sizeName = QStringLiteral("716");
    EXPECT_NE(RunPrintCommandLine(o), 0);
    EXPECT_FALSE(QFile::exists(pdf));
}
