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
#include "papersource.h"
#include "printerchoicedialog.h"
#include "printers.h"
#include "privatecups.h"
#include "reportprinter.h"
#include "sizes.h"
#include "testprint.h"
#include "testsheets.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QPrinter>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
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
    // One server for the whole run of the binary, shared by the test suites:
    // the CUPS library keeps the server it first talked to.
    static void SetUpTestSuite()
    {
        if (!s_cups)
            s_cups = std::make_unique<PrivateCups>();
    }

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

    friend class CupsServerEnvironment;
    TempDatabase m_temp;
    QString m_saved;
    int m_kept = 0;
};

// Stops the server when every test of the binary has run.
class CupsServerEnvironment : public ::testing::Environment {
public:
    void TearDown() override { CupsFixture::s_cups.reset(); }
};
const auto *const g_cupsServer = ::testing::AddGlobalTestEnvironment(new CupsServerEnvironment);

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
    job.size = UnequalMarginsSheet();
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
    const LabelSize sheet = UnequalMarginsSheet();
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

// Paper sources: a queue whose PPD offers trays, its jobs kept as the
// PostScript the printer would get, so that the PPD's code for the chosen
// tray can be found in what was sent.
namespace {

const char *const kSlotsQueue = "CorvelleTrays";

// The cups-pdf PPD with an InputSlot option as a laser printer's PPD has it;
// one text in the file's ISO Latin-1.
QString writeTrayPpd(const QString &folder)
{
    QFile source(QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"));
    if (!source.open(QIODevice::ReadOnly))
        return {};
    QByteArray ppd = source.readAll();
    const qsizetype at = ppd.indexOf("*OpenUI *Resolution");
    if (at < 0)
        return {};
    ppd.insert(at, "*OpenUI *InputSlot/Paper Source: PickOne\n"
                   "*OrderDependency: 20 AnySetup *InputSlot\n"
                   "*DefaultInputSlot: Auto\n"
                   "*InputSlot Auto/Automatic Selection: \"\"\n"
                   "*InputSlot Tray1/Tray 1: \"<</ManualFeed false /MediaPosition 1>>setpagedevice\"\n"
                   "*InputSlot Tray2/Bac 2 (r\xe9serv\xe9): \"<</ManualFeed false /MediaPosition 2>>setpagedevice\"\n"
                   "*InputSlot Manual/Manual Feed: \"<</ManualFeed true>>setpagedevice\"\n"
                   "*InputSlot Envelope/Envelope Feeder: \"<</ManualFeed false /MediaPosition 3>>setpagedevice\"\n"
                   "*CloseUI: *InputSlot\n\n");
    const QString path = folder + QStringLiteral("/trays.ppd");
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(ppd) != ppd.size())
        return {};
    return path;
}

// The tray the PPD code in a job selects ("Auto" when none was asked for).
QString slotOfJob(const QByteArray &postscript)
{
    const QByteArray mark = "%%BeginFeature: *InputSlot ";
    const qsizetype at = postscript.indexOf(mark);
    if (at < 0)
        return QStringLiteral("(no InputSlot)");
    const qsizetype end = postscript.indexOf('\n', at);
    return QString::fromLatin1(postscript.mid(at + mark.size(), end - at - mark.size())).trimmed();
}

class PaperSourceFixture : public CupsFixture {
protected:
    void SetUp() override
    {
        CupsFixture::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        // The user's settings of this run go to a folder of the test.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        if (!s_trays) {
            const QString ppd = writeTrayPpd(m_cups.Folder());
            ASSERT_FALSE(ppd.isEmpty()) << "cannot write the tray PPD";
            ASSERT_TRUE(m_cups.AddFileQueue(QString::fromLatin1(kSlotsQueue), ppd));
            s_trays = true;
        }
        m_trays = QString::fromLatin1(kSlotsQueue);
        ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(m_trays));
    }

    // Prints with `print` on the tray queue and returns the tray its job asked for.
    template <typename Print> std::string trayOf(Print print)
    {
        AppContext::SetCurrentPrinter(m_trays);
        if (!print())
            return "(not printed)";
        const QByteArray sent = m_cups.TakeFileOutput(m_trays);
        return sent.isEmpty() ? "(nothing sent)" : slotOfJob(sent).toStdString();
    }

    static inline bool s_trays = false;
    QTemporaryDir m_settings;
    QString m_trays;
};

} // namespace

TEST_F(PaperSourceFixture, TheQueuesOfferTheTraysOfTheirPpd)
{
    const PaperSourceOffer trays = QueuePaperSources(m_trays);
    EXPECT_EQ(trays.option, QStringLiteral("InputSlot"));
    EXPECT_EQ(trays.defaultKeyword, QStringLiteral("Auto"));
    QStringList keywords, texts;
    for (const PaperSourceChoice &c : trays.choices) {
        keywords << c.keyword;
        texts << c.text;
    }
    EXPECT_EQ(keywords.join(u','), QStringLiteral("Auto,Tray1,Tray2,Manual,Envelope"));
    EXPECT_EQ(texts.join(u','),
              QStringLiteral("Automatic Selection,Tray 1,Bac 2 (réservé),Manual Feed,Envelope Feeder"));
    EXPECT_TRUE(trays.Offers(QStringLiteral("Manual")));
    EXPECT_FALSE(trays.Offers(QStringLiteral("manual")));

    // A queue without trays, one that does not exist, the built-in printer.
    for (const QString &name : {m_cups.QueueName(), QStringLiteral("NoSuchQueue"), PdfPrinterName(), QString()}) {
        const PaperSourceOffer none = QueuePaperSources(name);
        EXPECT_TRUE(none.option.isEmpty()) << name.toStdString();
        EXPECT_TRUE(none.choices.empty()) << name.toStdString();
    }
}

TEST_F(PaperSourceFixture, EachKindOfJobGoesOutFromTheTrayChosenForIt)
{
    StorePaperSource(m_trays, PaperSourceJob::Envelopes, {QStringLiteral("InputSlot"), QStringLiteral("Manual")});
    StorePaperSource(m_trays, PaperSourceJob::Labels, {QStringLiteral("InputSlot"), QStringLiteral("Tray2")});
    // Another printer's choice is not this one's.
    StorePaperSource(m_cups.QueueName(), PaperSourceJob::Envelopes,
                     {QStringLiteral("InputSlot"), QStringLiteral("Envelope")});

    const EnvelopeSize dl =
        ReadEnvelopeSizes(m_temp.db(), QStringLiteral("SELECT * FROM ENVSIZE WHERE NAME = 'DL (220 x 110 mm)'")).at(0);
    auto styles = ReadEnvelopeStyles(m_temp.db(), QStringLiteral("SELECT * FROM ENVSTYLE"));
    ASSERT_FALSE(styles.empty());
    EnvelopeJob envelope;
    envelope.size = dl;
    envelope.style = styles.front();
    envelope.addresses = {address("Ingrid Weber", "Hauptstraße 12", "München", "80331", "GERMANY")};
    EXPECT_EQ(trayOf([&] {
                  auto printer = CreatePrinterDC(nullptr, false, PaperRequest::ForEnvelope(dl.A, dl.B));
                  if (!printer)
                      return false;
                  // The option is set once, however often the printer is set up.
                  EXPECT_EQ(CupsOptions(*printer).count(QStringLiteral("InputSlot")), 1);
                  return PrintEnvelopeJob(*printer, nullptr, envelope);
              }),
              "Manual");

    LabelJob labels;
    labels.size = UnequalMarginsSheet();
    labels.style = ReadLabelStyles(m_temp.db(), QStringLiteral("SELECT * FROM LABSTYLE")).at(0);
    labels.addresses = envelope.addresses;
    EXPECT_EQ(trayOf([&] {
                  auto printer = CreatePrinterDC(nullptr, false, PaperRequest::ForLabelSheet(210, 297));
                  return printer && LabelPrinter(labels, MetricsOf(*printer)).Print(*printer, nullptr);
              }),
              "Tray2");

    // The pattern and the test print of a size come from that size's tray, so
    // what they measure holds for its jobs.
    EXPECT_EQ(trayOf([&] { return PrintCalibrationPattern(nullptr, true, PaperRequest::ForEnvelope(dl.A, dl.B)); }),
              "Manual");
    EXPECT_EQ(trayOf([&] {
                  auto printer = CreatePrinterDC(nullptr, false, PaperRequest::ForLabelSheet(210, 297));
                  return printer && PrintLabelTest(*printer, nullptr, labels.size, Calibration{});
              }),
              "Tray2");

    // The report takes the printer's own paper from its default tray.
    std::vector<AddressEntry> rows = envelope.addresses;
    EXPECT_EQ(trayOf([&] {
                  const ReportPrintResult r = PrintReport(nullptr, rows, {300, 200, 200, 100, 100, 100});
                  return r.printerOpened && r.pagesPrinted == r.pages;
              }),
              "Auto");

    // Back to the printer's default: nothing is sent, the queue's default applies.
    StorePaperSource(m_trays, PaperSourceJob::Envelopes, {});
    EXPECT_TRUE(StoredPaperSource(m_trays, PaperSourceJob::Envelopes).IsEmpty());
    EXPECT_EQ(trayOf([&] {
                  auto printer = CreatePrinterDC(nullptr, false, PaperRequest::ForEnvelope(dl.A, dl.B));
                  return printer && PrintEnvelopeJob(*printer, nullptr, envelope);
              }),
              "Auto");
}

TEST_F(PaperSourceFixture, PrinterSetupChoosesTheTraysByMouseAndKeyboard)
{
    StorePaperSource(m_trays, PaperSourceJob::Envelopes, {});
    StorePaperSource(m_trays, PaperSourceJob::Labels, {});
    auto rowOf = [](PrinterChoiceDialog &d, const QString &name) { return int(d.Names().indexOf(name)); };
    auto clickRow = [](PrinterChoiceDialog &d, int row) {
        QTableWidget *list = d.List();
        const QRect cell = list->visualItemRect(list->item(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    };
    {
        PrinterChoiceDialog d(nullptr);
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        d.activateWindow();
        // Nothing selected: nothing to choose.
        EXPECT_FALSE(d.EnvelopeSource()->isEnabled());
        ASSERT_GE(rowOf(d, m_trays), 0);
        clickRow(d, rowOf(d, m_trays));
        ASSERT_TRUE(d.EnvelopeSource()->isEnabled());
        EXPECT_EQ(d.EnvelopeSource()->count(), 6);
        EXPECT_EQ(d.EnvelopeSource()->itemText(0), QStringLiteral("Printer's default (Automatic Selection)"));
        // Alt+E, then the arrow keys: the fourth tray, Manual Feed.
        QTest::keyClick(&d, Qt::Key_E, Qt::AltModifier);
        ASSERT_EQ(QApplication::focusWidget(), d.EnvelopeSource());
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(d.EnvelopeSource(), Qt::Key_Down);
        EXPECT_EQ(d.EnvelopeSource()->currentText(), QStringLiteral("Manual Feed"));
        QTest::keyClick(&d, Qt::Key_L, Qt::AltModifier);
        ASSERT_EQ(QApplication::focusWidget(), d.LabelSource());
        QTest::keyClick(d.LabelSource(), Qt::Key_Down);
        EXPECT_EQ(d.LabelSource()->currentText(), QStringLiteral("Automatic Selection"));

        // The cups-pdf queue has no trays; going back keeps what was chosen.
        clickRow(d, rowOf(d, m_cups.QueueName()));
        EXPECT_FALSE(d.EnvelopeSource()->isEnabled());
        EXPECT_EQ(d.EnvelopeSource()->count(), 1);
        clickRow(d, rowOf(d, m_trays));
        EXPECT_EQ(d.EnvelopeSource()->currentText(), QStringLiteral("Manual Feed"));
        // Sorting keeps the selection and the choice.
        d.SortByColumn(0);
        EXPECT_EQ(d.EnvelopeSource()->currentText(), QStringLiteral("Manual Feed"));
        QTest::mouseClick(d.OkButton(), Qt::LeftButton);
        EXPECT_EQ(d.result(), QDialog::Accepted);
    }
    EXPECT_EQ(AppContext::CurrentPrinter(), m_trays);
    EXPECT_EQ(StoredPaperSource(m_trays, PaperSourceJob::Envelopes),
              (PaperSourceSetting{QStringLiteral("InputSlot"), QStringLiteral("Manual")}));
    EXPECT_EQ(StoredPaperSource(m_trays, PaperSourceJob::Labels),
              (PaperSourceSetting{QStringLiteral("InputSlot"), QStringLiteral("Auto")}));

    // The next time the dialog shows the stored trays; Cancel changes nothing.
    {
        PrinterChoiceDialog d(nullptr);
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        clickRow(d, rowOf(d, m_trays));
        EXPECT_EQ(d.EnvelopeSource()->currentText(), QStringLiteral("Manual Feed"));
        EXPECT_EQ(d.LabelSource()->currentText(), QStringLiteral("Automatic Selection"));
        d.EnvelopeSource()->setCurrentIndex(0);
        d.reject();
    }
    EXPECT_EQ(StoredPaperSource(m_trays, PaperSourceJob::Envelopes).keyword, QStringLiteral("Manual"));

    // A stored tray the PPD no longer has stays chosen (and stored) until
    // the user picks another.
    StorePaperSource(m_trays, PaperSourceJob::Labels, {QStringLiteral("InputSlot"), QStringLiteral("Tray9")});
    {
        PrinterChoiceDialog d(nullptr);
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        clickRow(d, rowOf(d, m_trays));
        EXPECT_EQ(d.LabelSource()->currentText(), QStringLiteral("Tray9 (not offered by the printer now)"));
        d.accept();
    }
    EXPECT_EQ(StoredPaperSource(m_trays, PaperSourceJob::Labels).keyword, QStringLiteral("Tray9"));
}
