// A report of 120 generated addresses printed to the PDF printer: the page
// count follows the pagination rule, and the text of the file holds every
// name once, in the table's order.
#include "appcontext.h"
#include "datagen.h"
#include "painterdevice.h"
#include "printers.h"
#include "printprogressdialog.h"
#include "reportdialog.h"
#include "reporttable.h"
#include "reporttest.h"
#include "testsupport.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

int lineHeightOn(QPrinter &printer, const FontSpec &spec, int points)
{
    const int pixels = int(std::lround(points * printer.logicalDpiY() / 72.0));
    const QFontMetrics fm(QFontFromSpec(spec, pixels), &printer);
    return fm.ascent() + fm.descent() + std::max(0, fm.leading());
}

// A name as the PDF's text shows it: characters no installed font can draw
// (Chinese and Japanese ones on a machine without such fonts) come out as
// nothing readable, so they are left out of the comparison.
QString readable(const QString &name)
{
    static const bool han = !QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty();
    static const bool kana = !QFontDatabase::families(QFontDatabase::Japanese).isEmpty();
    QString text;
    for (QChar ch : name) {
        const ushort u = ch.unicode();
        if ((u >= 0x3040 && u <= 0x30FF && !kana) || (u >= 0x4E00 && u <= 0x9FFF && !han))
            continue;
        text += ch;
    }
    return text.simplified();
}

class ReportPdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_printer = AppContext::CurrentPrinter();
        AppContext::SetCurrentPrinter(PdfPrinterName());
    }
    void TearDown() override
    {
        SetPdfOutputFile(QString());
        AppContext::SetCurrentPrinter(m_printer);
    }

    TempDatabase temp;
    MessageRecorder messages;
    QTemporaryDir dir;
    QString m_printer;
};

} // namespace

TEST_F(ReportPdf, HundredTwentyAddressesOnPagesOfTheRule)
{
    DataGenOptions options;
    options.addresses = 120;
    options.folders = 3;
    options.seed = 9;
    ASSERT_EQ(GenerateAddressBook(temp.path(), options).addresses, 120);

    ReportCriteria criteria;
    criteria.unique = false; // every generated address, even a repeated one
    ReportDialog dlg(temp.db(), criteria);
    ASSERT_TRUE(dlg.IsFilled());
    ASSERT_EQ(dlg.model()->rowCount(), 120);
    dlg.show();
    // A wide name column, so that no name is cut at its cell's end.
    const ReportColumnWidths widths = {500, 20, 20, 20, 20, 20};
    for (int k = 0; k < 6; ++k)
        dlg.table()->setColumnWidth(k, widths[std::size_t(k)]);
    ASSERT_EQ(dlg.ColumnWidths(), widths);

    // The rule, from the PDF printer's own measurements.
    auto printer = CreatePrinterDC(nullptr, false);
    ASSERT_TRUE(printer);
    const DeviceMetrics m = MetricsOf(*printer);
    ASSERT_EQ(m.LOGPIXELSY, 1200);
    ASSERT_LT(m.HORZRES, m.VERTRES); // portrait A4
    const int pxPerCm = int(1200 * 0.39370078740157477);  // 472
    const int marginY = int(1.3 * pxPerCm + 0.5);          // 614
    const int marginX = int(0.8 * pxPerCm + 0.5);          // 378
    const int title = lineHeightOn(*printer, ReportPrinter::TitleFontSpec(), 16);
    const int body = lineHeightOn(*printer, ReportPrinter::BodyFontSpec(), 12);
    const int rowsPerPage = std::max(1, (m.VERTRES - 2 * marginY - int(1.6 * title + 0.5)) / body);
    const int pages = (120 + rowsPerPage - 1) / rowsPerPage;
    ASSERT_GE(pages, 2);

    // The preview shows the same pages.
    dlg.StartPreview();
    ASSERT_TRUE(dlg.IsPreviewing());
    EXPECT_EQ(dlg.PreviewPageCount(), pages);

    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    SetPdfOutputFile(pdf);
    dlg.RunPrintForm(ReportPrintForm::Printout);
    EXPECT_TRUE(messages.Empty());
    EXPECT_FALSE(dlg.IsPreviewing()); // printing leaves the preview
    EXPECT_TRUE(dlg.isEnabled());
    EXPECT_TRUE(dlg.LastPrint().started);
    EXPECT_FALSE(dlg.LastPrint().aborted);
    EXPECT_EQ(dlg.LastPrint().pages, pages);
    EXPECT_EQ(dlg.LastPrint().pagesPrinted, pages);
    ASSERT_EQ(PdfPageCount(pdf), pages);

    // The name column's words, line by line (points; 1200 px = 72 pt).
    const int contentWidth = m.HORZRES - 2 * marginX;
    const double nameColumnEnd = (marginX + contentWidth * 500.0 / 600.0) * 72.0 / 1200.0;
    const std::vector<PdfWord> words = PdfWords(pdf);
    ASSERT_FALSE(words.empty());
    QStringList lines;
    std::vector<int> linesPerPage(std::size_t(pages), 0);
    QStringList current;
    double currentTop = -100;
    int currentPage = -1;
    auto flush = [&] {
        if (current.isEmpty())
            return;
        const QString line = current.join(u' ');
        if (line != ReportTitle()) {
            lines << line;
            ++linesPerPage[std::size_t(currentPage)];
        }
        current.clear();
    };
    for (const PdfWord &w : words) {
        if (w.box.left() >= nameColumnEnd)
            continue;
        if (w.page != currentPage || std::abs(w.box.top() - currentTop) > 3) {
            flush();
            currentPage = w.page;
            currentTop = w.box.top();
        }
        current << w.text;
    }
    flush();

    QStringList expected;
    int unreadable = 0;
    for (const AddressEntry &row : dlg.Rows()) {
        const QString name = readable(JoinLines(row.name));
        if (name.isEmpty())
            ++unreadable;
        else
            expected << name;
    }
    EXPECT_LT(unreadable, 40);
    // Every name once, in the table's order, row after row.
    EXPECT_EQ(lines.size(), expected.size());
    for (qsizetype i = 0; i < std::min(lines.size(), expected.size()); ++i)
        EXPECT_EQ(lines[i], expected[i]) << "row " << i;
    // Full pages but the last.
    for (int p = 0; p + 1 < pages; ++p)
        EXPECT_LE(linesPerPage[std::size_t(p)], rowsPerPage);
    if (unreadable == 0) {
        for (int p = 0; p + 1 < pages; ++p)
            EXPECT_EQ(linesPerPage[std::size_t(p)], rowsPerPage) << p;
        EXPECT_EQ(linesPerPage.back(), 120 - (pages - 1) * rowsPerPage);
    }
}

TEST_F(ReportPdf, CancelInTheProgressWindowStopsThePrintout)
{
    for (int i = 0; i < 200; ++i)
        AddAddress(temp.db(), RootFolder(temp.db()), QStringLiteral("Person %1").arg(i));
    ReportDialog dlg(temp.db(), ReportCriteria{});
    dlg.show();
    const QString pdf = dir.filePath(QStringLiteral("cancelled.pdf"));
    SetPdfOutputFile(pdf);
    // Cancel as soon as the progress window shows.
    auto *timer = new QTimer;
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [timer] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *progress = dynamic_cast<PrintProgressDialog *>(w); progress && progress->isVisible()) {
                timer->stop();
                timer->deleteLater();
                progress->CancelButton()->click();
                return;
            }
    });
    timer->start();
    dlg.RunPrintForm(ReportPrintForm::Printout);
    EXPECT_TRUE(dlg.LastPrint().started);
    EXPECT_TRUE(dlg.LastPrint().aborted);
    EXPECT_LT(dlg.LastPrint().pagesPrinted, dlg.LastPrint().pages);
    EXPECT_TRUE(dlg.isEnabled());
    EXPECT_FALSE(QFile::exists(pdf));
}
