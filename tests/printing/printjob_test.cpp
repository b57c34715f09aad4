#include "appcontext.h"
#include "printers.h"
#include "printingtest.h"
#include "printjob.h"
#include "printprogressdialog.h"
#include "testsupport.h"

#include <QDialog>
#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class PdfJob : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_printer = AppContext::CurrentPrinter();
        AppContext::SetCurrentPrinter(PdfPrinterName());
        m_owner.resize(200, 100);
        m_owner.show();
    }
    void TearDown() override
    {
        SetPdfOutputFile(QString());
        AppContext::SetCurrentPrinter(m_printer);
    }
    QString file(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    // Prints `pages` pages, pressing Cancel in the progress window while page
    // `cancelOn` is drawn (0: never). Returns the pages ended.
    int run(const QString &output, int pages, int cancelOn, std::vector<QString> *statuses = nullptr)
    {
        SetPdfOutputFile(output);
        auto printer = CreatePrinterDC(&m_owner, false);
        EXPECT_TRUE(printer);
        PrintJob job(*printer, &m_owner);
        EXPECT_TRUE(job.StartDoc(QStringLiteral("test job")));
        EXPECT_FALSE(m_owner.isEnabled());
        EXPECT_EQ(job.Progress()->StatusLine(), QStringLiteral("Status: preparing for printing..."));
        for (int page = 1; page <= pages; ++page) {
            if (!job.StartPage(page))
                break;
            if (statuses)
                statuses->push_back(job.Progress()->StatusLine());
            job.Device().DrawTextLine(QRect(100, 100, 4000, 400), QStringLiteral("Page %1").arg(page), false);
            if (page == cancelOn) {
                EXPECT_TRUE(job.Progress()->CancelButton()->isEnabled());
                QTest::mouseClick(job.Progress()->CancelButton(), Qt::LeftButton);
            }
            if (!job.EndPage())
                break;
        }
        job.EndDoc();
        EXPECT_EQ(job.Progress(), nullptr);
        EXPECT_TRUE(m_owner.isEnabled());
        return job.PagesPrinted();
    }

    QTemporaryDir m_dir;
    QWidget m_owner;
    QString m_printer;
};

} // namespace

TEST_F(PdfJob, CompleteJobWritesEveryPage)
{
    std::vector<QString> statuses;
    EXPECT_EQ(run(file("full.pdf"), 3, 0, &statuses), 3);
    EXPECT_EQ(PdfPageCount(file("full.pdf")), 3);
    ASSERT_EQ(statuses.size(), 3u);
    EXPECT_EQ(statuses[0], QStringLiteral("Status: printing page 1"));
    EXPECT_EQ(statuses[2], QStringLiteral("Status: printing page 3"));
    const auto words = PdfWords(file("full.pdf"));
    ASSERT_EQ(words.size(), 6u);
    EXPECT_EQ(words[4].text, QStringLiteral("Page"));
    EXPECT_EQ(words[5].text, QStringLiteral("3"));
    EXPECT_EQ(words[5].page, 2);
}

TEST_F(PdfJob, CancelOnPageThreeStopsAtThePageBoundaryAndALaterJobCompletes)
{
    EXPECT_EQ(run(file("aborted.pdf"), 10, 3), 2);
    EXPECT_TRUE(PrintAbortRequested());
    // A cancelled document leaves no pages behind.
    EXPECT_FALSE(QFile::exists(file("aborted.pdf")));

    EXPECT_EQ(run(file("later.pdf"), 10, 0), 10);
    EXPECT_FALSE(PrintAbortRequested());
    EXPECT_EQ(PdfPageCount(file("later.pdf")), 10);
}

TEST_F(PdfJob, CancelledFileDialogStartsNothing)
{
    SetPdfOutputFile(QString());
    auto printer = CreatePrinterDC(&m_owner, false);
    ASSERT_TRUE(printer);
    PrintJob job(*printer, &m_owner);
    OnModalDialog([](QWidget *dialog) {
        if (auto *d = qobject_cast<QDialog *>(dialog))
            d->reject();
    });
    EXPECT_FALSE(job.StartDoc(QStringLiteral("test job")));
    EXPECT_FALSE(job.IsStarted());
    EXPECT_EQ(job.Progress(), nullptr);
    EXPECT_TRUE(m_owner.isEnabled());
    EXPECT_FALSE(job.StartPage(1));
}

TEST_F(PdfJob, JobNameAndPageOfTheCalibrationPatternPrinter)
{
    SetPdfOutputFile(file("named.pdf"));
    auto printer = CreatePrinterDC(&m_owner, true);
    ASSERT_TRUE(printer);
    PrintJob job(*printer, &m_owner);
    ASSERT_TRUE(job.StartDoc(QStringLiteral("calibration pattern printing in progress")));
    EXPECT_EQ(printer->docName(), QStringLiteral("calibration pattern printing in progress"));
    const DeviceMetrics m = job.Metrics();
    EXPECT_EQ(m.LOGPIXELSX, 1200);
    EXPECT_NEAR(m.HORZSIZE, 297, 1); // A4 landscape, the whole page
    EXPECT_NEAR(m.VERTSIZE, 210, 1);
    job.Abort();
    job.EndDoc();
    EXPECT_FALSE(QFile::exists(file("named.pdf")));
}

TEST(PrintProgress, CancelSetsTheFlagAndANewWindowClearsIt)
{
    auto *first = new PrintProgressDialog(nullptr, QStringLiteral("preparing for printing..."));
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(PrintAbortRequested());
    EXPECT_TRUE(PrintAbortProc());
    first->SetStatusText(QStringLiteral("printing page 7"));
    EXPECT_EQ(first->StatusLine(), QStringLiteral("Status: printing page 7"));
    QTest::mouseClick(first->CancelButton(), Qt::LeftButton);
    EXPECT_TRUE(PrintAbortRequested());
    EXPECT_FALSE(PrintAbortProc());
    EXPECT_FALSE(first->isVisible());
    delete first;
    PrintProgressDialog second(nullptr, QStringLiteral("x"));
    EXPECT_FALSE(PrintAbortRequested());
    EXPECT_EQ(second.windowTitle(), QStringLiteral("Printing in progress\u2026"));
}

TEST(Printers, PdfPrinterIsAlwaysListedAndNamesAreChecked)
{
    const QStringList names = InstalledPrinterNames();
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(names.back(), QStringLiteral("PDF file"));
    EXPECT_EQ(names.count(QStringLiteral("PDF file")), 1);
    EXPECT_FALSE(StartupPrinterName().isEmpty());

    MessageRecorder rec;
    const QString saved = AppContext::CurrentPrinter();
    AppContext::SetCurrentPrinter(QStringLiteral(",,,"));
    EXPECT_FALSE(CreatePrinterDC(nullptr, false));
    EXPECT_FALSE(CreatePrinterDCOrReport(nullptr, false));
    EXPECT_EQ(rec.OnlyId(), 43);
    AppContext::SetCurrentPrinter(QString());
    EXPECT_FALSE(CreatePrinterDC(nullptr, false));
    AppContext::SetCurrentPrinter(saved);
}

TEST(Printers, PdfPageFollowsThePaperOfTheJob)
{
    const QString saved = AppContext::CurrentPrinter();
    AppContext::SetCurrentPrinter(PdfPrinterName());
    auto envelope = CreatePrinterDC(nullptr, false, PaperRequest::ForEnvelope(220, 110));
    ASSERT_TRUE(envelope);
    EXPECT_TRUE(IsPdfPrinter(*envelope));
    EXPECT_TRUE(envelope->fullPage());
    EXPECT_EQ(envelope->resolution(), 1200);
    const QRectF paper = envelope->paperRect(QPrinter::Millimeter);
    EXPECT_NEAR(paper.width(), 220, 0.4); // whole points
    EXPECT_NEAR(paper.height(), 110, 0.4);
    // The same envelope calibrated in landscape is still drawn 220 wide.
    auto turned = CreatePrinterDC(nullptr, true, PaperRequest::ForEnvelope(220, 110));
    EXPECT_NEAR(turned->paperRect(QPrinter::Millimeter).width(), 220, 0.4);
    auto sheet = CreatePrinterDC(nullptr, false, PaperRequest::ForLabelSheet(209.9, 297));
    EXPECT_NEAR(sheet->paperRect(QPrinter::Millimeter).width(), 209.9, 0.4);
    EXPECT_NEAR(sheet->paperRect(QPrinter::Millimeter).height(), 297, 0.4);
    auto turnedSheet = CreatePrinterDC(nullptr, true, PaperRequest::ForLabelSheet(210, 297));
    EXPECT_NEAR(turnedSheet->paperRect(QPrinter::Millimeter).width(), 297, 0.4);
    EXPECT_NEAR(turnedSheet->paperRect(QPrinter::Millimeter).height(), 210, 0.4);
    auto a4 = CreatePrinterDC(nullptr, false);
    EXPECT_NEAR(a4->paperRect(QPrinter::Millimeter).width(), 210, 0.4);
    // The whole page is the device: no margins.
    EXPECT_EQ(a4->pageRect(QPrinter::DevicePixel), a4->paperRect(QPrinter::DevicePixel));
    AppContext::SetCurrentPrinter(saved);
}

TEST(Printers, PaperAndOrientationOfEachKindOfJob)
{
    auto page = [](const PaperSetup &s) {
        return s.landscape ? QSizeF(s.paper.height(), s.paper.width()) : s.paper;
    };
    // An envelope is always drawn in its own shape; the flag says which side leads.
    const PaperSetup dl = PaperSetupFor(PaperRequest::ForEnvelope(220, 110), false);
    EXPECT_EQ(dl.paper, QSizeF(110, 220)); // as printers list EnvDL
    EXPECT_TRUE(dl.landscape);
    EXPECT_EQ(page(dl), QSizeF(220, 110));
    const PaperSetup dlLong = PaperSetupFor(PaperRequest::ForEnvelope(220, 110), true);
    EXPECT_EQ(dlLong.paper, QSizeF(220, 110));
    EXPECT_FALSE(dlLong.landscape);
    EXPECT_EQ(page(dlLong), QSizeF(220, 110));
    EXPECT_EQ(page(PaperSetupFor(PaperRequest::ForEnvelope(110, 160), true)), QSizeF(110, 160));
    EXPECT_EQ(page(PaperSetupFor(PaperRequest::ForEnvelope(110, 160), false)), QSizeF(110, 160));
    // A label sheet's paper is turned by the flag.
    const PaperSetup sheet = PaperSetupFor(PaperRequest::ForLabelSheet(210, 297), true);
    EXPECT_EQ(sheet.paper, QSizeF(210, 297));
    EXPECT_TRUE(sheet.landscape);
    EXPECT_TRUE(PaperSetupFor({}, true).paper.isEmpty());
    EXPECT_TRUE(PaperSetupFor({}, true).landscape);
}

TEST_F(PdfJob, AnOwnerDisabledBeforeTheJobStaysDisabled)
{
    SetPdfOutputFile(file("disabled.pdf"));
    m_owner.setEnabled(false);
    {
        auto printer = CreatePrinterDC(&m_owner, false);
        PrintJob job(*printer, &m_owner);
        ASSERT_TRUE(job.StartDoc(QStringLiteral("x")));
        EXPECT_TRUE(job.Progress()->isEnabled());
        EXPECT_TRUE(job.StartPage(1));
        EXPECT_TRUE(job.EndPage());
        // The destructor ends the document.
    }
    EXPECT_FALSE(m_owner.isEnabled());
    EXPECT_EQ(PdfPageCount(file("disabled.pdf")), 1);
    m_owner.setEnabled(true);
}
