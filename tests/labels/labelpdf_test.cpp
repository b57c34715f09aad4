// A label sheet printed to PDF and read back with pdftotext -bbox, and the
// command-line kind "labels".
#include "appcontext.h"
#include "calibration.h"
#include "labelprinter.h"
#include "labelprinting.h"
#include "labeltest.h"
#include "printcli.h"
#include "printers.h"
#include "sqlformat.h"
#include "testsupport.h"

#include <QFile>
#include <QPrinter>
#include <gtest/gtest.h>

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

class LabelPdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppContext::SetCurrentPrinter(PdfPrinterName());
        pdf = t.dir() + QStringLiteral("/labels.pdf");
        SetPdfOutputFile(pdf);
        folder = AddFolder(t.db(), QStringLiteral("Customers"), RootFolder(t.db()));
    }
    void TearDown() override { SetPdfOutputFile(QString()); }

    void addPeople(int count)
    {
        for (int i = 1; i <= count; ++i)
            AddAddress(t.db(), folder, QStringLiteral("Person%1").arg(i, 2, 10, QLatin1Char('0')),
                       QStringLiteral("Town%1").arg(i), QStringLiteral("Street %1").arg(i));
    }

    LabelStyle standardStyle()
    {
        const auto styles = ReadLabelStyles(t.db(), QStringLiteral("SELECT * FROM LABSTYLE WHERE LABSTYLE_NAME = 'Standard'"));
        return styles.empty() ? LabelStyle{} : styles.front();
    }

    TempDatabase t;
    MessageRecorder rec;
    QString pdf;
    std::int32_t folder = -1;
};

PrintCommandLine labelsOptions(const QString &pdf)
{
    PrintCommandLine o;
    o.kind = QStringLiteral("labels");
    o.folderPath = QStringLiteral("Customers");
    o.hasFolder = true;
    o.sizeName = QString::fromLatin1(kSheet3x8);
    o.styleName = QStringLiteral("Standard");
    o.pdfFile = pdf;
    return o;
}

} // namespace

TEST_F(LabelPdf, NamesStartAtLabelEdgePlusAddressMarginOnTwoSheets)
{
    addPeople(25);
    LabelJob job;
    job.size = LabelSizeNamed(t.db(), QString::fromLatin1(kSheet3x8));
    ASSERT_EQ(job.size.M, 8);
    ASSERT_EQ(job.size.N, 3);
    ASSERT_DOUBLE_EQ(job.size.B, 70);
    ASSERT_DOUBLE_EQ(job.size.E, 37);
    job.style = standardStyle();
    job.style.addressX = 6.5;
    job.style.addressY = 4.0;
    job.calibration = *FindLabelCalibration(t.db(), job.size.id);
    job.addresses = CollectFolderAddresses(t.db(), folder, false);
    ASSERT_EQ(job.addresses.size(), 25u);

    auto printer = CreatePrinterDC(nullptr, false, PaperRequest::ForLabelSheet(job.size.paperWidth, job.size.paperHeight));
    ASSERT_TRUE(printer);
    ASSERT_TRUE(LabelPrinter(job, MetricsOf(*printer)).Print(*printer, nullptr));
    EXPECT_TRUE(rec.Empty());

    ASSERT_EQ(PdfPageCount(pdf), 2);
    const auto words = PdfWords(pdf);
    ASSERT_FALSE(words.empty()) << "pdftotext gave no words";
    int found = 0;
    for (int i = 0; i < 25; ++i) {
        const QString name = QStringLiteral("Person%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        const int page = i / 24, position = i % 24;
        const double left = job.size.A + (position % 3) * (job.size.B + job.size.C) + job.style.addressX;
        const double top = job.size.D + (position / 3) * (job.size.E + job.size.F) + job.style.addressY;
        for (const PdfWord &w : words) {
            if (w.text != name)
                continue;
            ++found;
            EXPECT_EQ(w.page, page) << name.toStdString();
            EXPECT_NEAR(w.box.left() / kPointsPerMm, left, 0.5) << name.toStdString();
            EXPECT_NEAR(w.box.top() / kPointsPerMm, top, 1.0) << name.toStdString();
        }
    }
    EXPECT_EQ(found, 25);
}

TEST_F(LabelPdf, CommandLineStartsAtTheChosenLabel)
{
    addPeople(2);
    RegisterPrintCommandLineKind(QStringLiteral("labels"), RunLabelsCommandLine);
    PrintCommandLine o = labelsOptions(pdf);
    o.firstLabel = QStringLiteral("24"); // the last label of the first sheet
    EXPECT_EQ(RunPrintCommandLine(o), 0);
    ASSERT_EQ(PdfPageCount(pdf), 2);
    const auto words = PdfWords(pdf);
    const LabelSize size = LabelSizeNamed(t.db(), QString::fromLatin1(kSheet3x8));
    const LabelStyle style = standardStyle();
    int found = 0;
    for (const PdfWord &w : words) {
        if (w.text == QLatin1String("Person01")) {
            ++found;
            EXPECT_EQ(w.page, 0);
            EXPECT_NEAR(w.box.left() / kPointsPerMm, 2 * 70 + style.addressX, 0.5);
            EXPECT_NEAR(w.box.top() / kPointsPerMm, size.D + 7 * 37 + style.addressY, 1.0);
        } else if (w.text == QLatin1String("Person02")) {
            ++found;
            EXPECT_EQ(w.page, 1);
            EXPECT_NEAR(w.box.left() / kPointsPerMm, style.addressX, 0.5);
        }
    }
    EXPECT_EQ(found, 2);
}

TEST_F(LabelPdf, CommandLineCopiesAndCollation)
{
    addPeople(2);
    RegisterPrintCommandLineKind(QStringLiteral("labels"), RunLabelsCommandLine);
    PrintCommandLine o = labelsOptions(pdf);
    o.copies = QStringLiteral("13");
    o.collate = true;
    EXPECT_EQ(RunPrintCommandLine(o), 0);
    EXPECT_EQ(PdfPageCount(pdf), 2); // 26 labels
    int first = 0, second = 0;
    for (const PdfWord &w : PdfWords(pdf)) {
        first += w.text == QLatin1String("Person01");
        second += w.text == QLatin1String("Person02");
    }
    EXPECT_EQ(first, 13);
    EXPECT_EQ(second, 13);
}

TEST_F(LabelPdf, CommandLineRefusesALabelOutsideTheSheet)
{
    addPeople(1);
    RegisterPrintCommandLineKind(QStringLiteral("labels"), RunLabelsCommandLine);
    for (const char *k : {"0", "25", "-3", "x"}) {
        PrintCommandLine o = labelsOptions(pdf);
        o.firstLabel = QString::fromLatin1(k);
        EXPECT_EQ(RunPrintCommandLine(o), 2) << k;
        EXPECT_FALSE(QFile::exists(pdf)) << k;
    }
    PrintCommandLine o = labelsOptions(pdf);
    o.sizeName = QStringLiteral("No such sheet");
    EXPECT_EQ(RunPrintCommandLine(o), 1);
    o = labelsOptions(pdf);
    o.styleName = QStringLiteral("No such style");
    EXPECT_EQ(RunPrintCommandLine(o), 1);
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(LabelPdf, CommandLineWithoutCalibrationShowsMessage96)
{
    addPeople(1);
    RegisterPrintCommandLineKind(QStringLiteral("labels"), RunLabelsCommandLine);
    t.db().BeginTrans();
    t.db().ExecuteRaw(QStringLiteral("DELETE FROM KALIBRACE"));
    t.db().CommitTrans();
    EXPECT_EQ(RunPrintCommandLine(labelsOptions(pdf)), 1);
    EXPECT_EQ(rec.OnlyId(), 96);
    EXPECT_FALSE(QFile::exists(pdf));
}
