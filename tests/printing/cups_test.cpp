// Printing to a real CUPS queue (cups-pdf on a private cupsd) against the
// built-in PDF printer: the same job printed both ways, rendered with
// pdftoppm and compared pixel by pixel, after the queue's quarter turn when
// it delivers the page turned. 200 dpi renderings; 4 pixels are 0.51 mm.
#include "appcontext.h"
#include "calibration.h"
#include "envelopeprinter.h"
#include "envelopestyle.h"
#include "labelprinter.h"
#include "labelstyle.h"
#include "printers.h"
#include "privatecups.h"
#include "reportprinter.h"
#include "sizes.h"
#include "testprint.h"
#include "testsupport.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <gtest/gtest.h>
#include <iostream>

namespace {

constexpr int kDpi = 200;
constexpr int kTolerance = 4;         // pixels at 200 dpi: 0.51 mm
constexpr double kAgreement = 0.97;   // share of ink found within the tolerance, both ways

AddressEntry address(const char *name, const char *street, const char *town, const char *zip, const char *country)
{
    AddressEntry a;
    a.id = 1;
    a.name = QString::fromUtf8(name);
    a.street = QString::fromUtf8(street);
    a.town = QString::fromUtf8(town);
    a.zip = QString::fromUtf8(zip);
    a.country = QString::fromUtf8(country);
    return a;
}

// Runs `print` once on the PDF printer and once on the queue; compares the first pages.
class CupsFixture : public ::testing::Test {
protected:
    // One server for the whole run of the binary: the CUPS library keeps the
    // server it first talked to.
    static void SetUpTestSuite() { s_cups = std::make_unique<PrivateCups>(); }
    static void TearDownTestSuite() { s_cups.reset(); }

    void SetUp() override
    {
        m_saved = AppContext::CurrentPrinter();
        ASSERT_TRUE(m_cups.Error().isEmpty()) << m_cups.Error().toStdString();
        ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(m_cups.QueueName()))
            << "Qt does not see the private queue";
    }
    void TearDown() override
    {
        SetPdfOutputFile(QString());
        AppContext::SetCurrentPrinter(m_saved);
    }

    template <typename Print> void compare(const std::string &what, Print print)
    {
        const QString reference = m_temp.dir() + QStringLiteral("/reference.pdf");
        QFile::remove(reference);
        SetPdfOutputFile(reference);
        AppContext::SetCurrentPrinter(PdfPrinterName());
        ASSERT_TRUE(print()) << what << " on the PDF printer";
        AppContext::SetCurrentPrinter(m_cups.QueueName());
        ASSERT_TRUE(print()) << what << " on the queue";
        const QString printed = m_cups.TakeOutput();
        ASSERT_FALSE(printed.isEmpty()) << what << ": the queue wrote no file";
        const QImage a = RenderPdfPage(reference, kDpi), b = RenderPdfPage(printed, kDpi);
        if (!qEnvironmentVariableIsEmpty("CORVELLE_CUPS_KEEP")) { // to look at a failure
            const QString keep = qEnvironmentVariable("CORVELLE_CUPS_KEEP") + QStringLiteral("/%1").arg(++m_kept);
            QFile::copy(reference, keep + QStringLiteral("-reference.pdf"));
            QFile::copy(printed, keep + QStringLiteral("-queue.pdf"));
        }
        ASSERT_FALSE(a.isNull());
        ASSERT_FALSE(b.isNull());
        QString detail;
        const double agreement = InkAgreement(a, b, kTolerance, &detail, 2 * kTolerance);
        std::cout << what << ": " << detail.toStdString() << std::endl;
        EXPECT_GE(agreement, kAgreement) << what << ": " << detail.toStdString();
    }

    static inline std::unique_ptr<PrivateCups> s_cups;
    PrivateCups &m_cups = *s_cups;
    TempDatabase m_temp;
    QString m_saved;
    int m_kept = 0;
};

} // namespace

TEST_F(CupsFixture, EnvelopesOfEverySeededSizeInBothOrientations)
{
    const auto sizes = ReadEnvelopeSizes(m_temp.db(), QStringLiteral("SELECT * FROM ENVSIZE ORDER BY NAME"));
    ASSERT_GE(sizes.size(), 6u);
    auto styles = ReadEnvelopeStyles(m_temp.db(), QStringLiteral("SELECT * FROM ENVSTYLE"));
    ASSERT_FALSE(styles.empty());
    EnvelopeJob job;
    job.style = styles.front();
    job.style.printFrame = true; // the address area's edges are compared too
    job.style.returnMode = RETURN_ADDRESS;
    job.style.frameReturn = true;
    job.style.returnText = QStringLiteral("Darvenix Ltd\r\nSender Lane 1\r\n10115 Berlin");
    job.addresses = {address("Ingrid Weber\r\nWeber & Söhne", "Hauptstraße 12", "München", "80331", "GERMANY")};
    for (const EnvelopeSize &size : sizes)
        for (const bool landscape : {false, true}) {
            job.size = size;
            job.calibration = Calibration{};
            job.calibration.landscape = landscape;
            compare(size.name.toStdString() + (landscape ? " landscape" : " portrait"), [&] {
                auto printer = CreatePrinterDC(nullptr, landscape, PaperRequest::ForEnvelope(size.A, size.B));
                return printer && PrintEnvelopeJob(*printer, nullptr, job);
            });
        }
}

TEST_F(CupsFixture, LabelsOnASheetWithUnequalMarginsAndThePattern)
{
    LabelJob job;
    job.size.name = QStringLiteral("A4 with unequal margins");
    job.size.A = 8;
    job.size.B = 60;
    job.size.C = 4;
    job.size.D = 20;
    job.size.E = 30;
    job.size.F = 2;
    job.size.M = 8;
    job.size.N = 3;
    job.size.paperWidth = 210;
    job.size.paperHeight = 297;
    auto styles = ReadLabelStyles(m_temp.db(), QStringLiteral("SELECT * FROM LABSTYLE"));
    ASSERT_FALSE(styles.empty());
    job.style = styles.front();
    job.style.printFrame = true;
    for (int i = 0; i < 24; ++i) {
        AddressEntry a = address("Label Person", "Long Street 5", "Springfield", "12345", "COUNTRY");
        a.id = i + 1;
        a.name += QStringLiteral(" %1").arg(i + 1);
        job.addresses.push_back(a);
    }
    for (const bool landscape : {false, true}) {
        job.calibration = Calibration{};
        job.calibration.landscape = landscape;
        compare(std::string("labels ") + (landscape ? "landscape" : "portrait"), [&] {
            auto printer = CreatePrinterDC(nullptr, landscape, PaperRequest::ForLabelSheet(210, 297));
            return printer && LabelPrinter(job, MetricsOf(*printer)).Print(*printer, nullptr);
        });
    }
    // The calibration pattern on the paper of the size being calibrated.
    const EnvelopeSize dl = ReadEnvelopeSizes(m_temp.db(), QStringLiteral("SELECT * FROM ENVSIZE WHERE NAME = 'DL (220 x 110 mm)'")).at(0);
    for (const bool landscape : {false, true})
        compare(std::string("pattern for DL ") + (landscape ? "landscape" : "portrait"), [&] {
            return PrintCalibrationPattern(nullptr, landscape, PaperRequest::ForEnvelope(dl.A, dl.B));
        });
    compare("pattern for an A4 sheet, landscape",
            [&] { return PrintCalibrationPattern(nullptr, true, PaperRequest::ForLabelSheet(210, 297)); });
}

// The outlines on plain paper go out on the queue as on the PDF printer, so
// they lie where the envelope or the labels will.
TEST_F(CupsFixture, TestPrintsOfAnEnvelopeAndALabelSheet)
{
    const EnvelopeSize dl =
        ReadEnvelopeSizes(m_temp.db(), QStringLiteral("SELECT * FROM ENVSIZE WHERE NAME = 'DL (220 x 110 mm)'")).at(0);
    for (const bool landscape : {false, true}) {
        Calibration calibration;
        calibration.X = 2.0;
        calibration.Y = -1.0;
        calibration.landscape = landscape;
        compare(std::string("test print DL ") + (landscape ? "landscape" : "portrait"), [&] {
            auto printer = CreatePrinterDC(nullptr, landscape, PaperRequest::ForEnvelope(dl.A, dl.B));
            return printer && PrintEnvelopeTest(*printer, nullptr, dl, calibration);
        });
    }
    LabelSize sheet;
    sheet.A = 8;
    sheet.B = 60;
    sheet.C = 4;
    sheet.D = 20;
    sheet.E = 30;
    sheet.F = 2;
    sheet.M = 8;
    sheet.N = 3;
    compare("test print of a sheet", [&] {
        auto printer = CreatePrinterDC(nullptr, false, PaperRequest::ForLabelSheet(210, 297));
        return printer && PrintLabelTest(*printer, nullptr, sheet, Calibration{});
    });
}

TEST_F(CupsFixture, TheReport)
{
    std::vector<AddressEntry> rows;
    for (int i = 0; i < 30; ++i) {
        AddressEntry a = address("Report Person", "Some Street 1", "Town", "99999", "LAND");
        a.id = i + 1;
        a.name += QString::number(i);
        rows.push_back(a);
    }
    const ReportColumnWidths widths = {300, 200, 200, 100, 100, 100};
    compare("report", [&] {
        const ReportPrintResult r = PrintReport(nullptr, rows, widths);
        return r.printerOpened && r.pagesPrinted == r.pages;
    });
}
