// The test print on plain paper, read back from the PDF the built-in printer
// writes: its outlines and captions lie where the job prints, calibration
// applied; the print options' button prints it and keeps the dialog open.
#include "appcontext.h"
#include "calibration.h"
#include "envelopeoptionsdialog.h"
#include "labeloptionsdialog.h"
#include "pdfsupport.h"
#include "printers.h"
#include "printingtest.h"
#include "sizes.h"
#include "testprint.h"
#include "testsheets.h"
#include "testsupport.h"

#include <QComboBox>
#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr double kPt = 72.0 / 25.4; // points per millimetre

class TestPrintFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = AppContext::CurrentPrinter();
        AppContext::SetCurrentPrinter(PdfPrinterName());
        m_pdf = t.dir() + QStringLiteral("/test.pdf");
        SetPdfOutputFile(m_pdf);
    }
    void TearDown() override
    {
        SetPdfOutputFile(QString());
        AppContext::SetCurrentPrinter(m_saved);
    }
    const PdfWord *word(const std::vector<PdfWord> &words, const QString &text)
    {
        for (const PdfWord &w : words)
            if (w.text == text)
                return &w;
        return nullptr;
    }

    TempDatabase t;
    QString m_saved;
    QString m_pdf;
};

EnvelopeSize sizeNamed(CDatabase &db, const char *name)
{
    const auto sizes =
        ReadEnvelopeSizes(db, QStringLiteral("SELECT * FROM ENVSIZE WHERE NAME = '%1'").arg(QLatin1String(name)));
    return sizes.empty() ? EnvelopeSize{} : sizes.front();
}

} // namespace

TEST_F(TestPrintFixture, EnvelopeOutlinesLieWhereTheJobPrintsWithTheCalibration)
{
    const EnvelopeSize dl = sizeNamed(t.db(), "DL (220 x 110 mm)");
    ASSERT_GT(dl.A, 0);
    for (const bool landscape : {false, true}) {
        Calibration calibration;
        calibration.X = 3.5;
        calibration.Y = -2.0;
        calibration.landscape = landscape;
        QFile::remove(m_pdf);
        auto printer = CreatePrinterDC(nullptr, landscape, PaperRequest::ForEnvelope(dl.A, dl.B));
        ASSERT_TRUE(printer);
        ASSERT_TRUE(PrintEnvelopeTest(*printer, nullptr, dl, calibration));
        // The page is the envelope as drawn on the PDF printer.
        const QSizeF page = PdfPageSize(m_pdf);
        EXPECT_NEAR(page.width(), dl.A * kPt, 1.0);
        EXPECT_NEAR(page.height(), dl.B * kPt, 1.0);
        const std::vector<PdfWord> words = PdfWords(m_pdf);
        const QRectF address = dl.AddressArea();
        const PdfWord *caption = word(words, QStringLiteral("Address"));
        ASSERT_TRUE(caption) << "landscape " << landscape;
        // 1 mm in from the area's corner, moved by the calibration.
        EXPECT_NEAR(caption->box.left() / kPt, address.left() + calibration.X + 1.0, 0.5);
        EXPECT_GT(caption->box.top() / kPt, address.top() + calibration.Y);
        EXPECT_LT(caption->box.bottom() / kPt, address.top() + calibration.Y + 6.0);
        const QRectF returnArea = dl.ReturnArea();
        const PdfWord *returnCaption = word(words, QStringLiteral("Return"));
        ASSERT_TRUE(returnCaption);
        EXPECT_NEAR(returnCaption->box.left() / kPt, returnArea.left() + calibration.X + 1.0, 0.5);
        // The envelope's own caption names the size and does not overlap the return area's.
        const PdfWord *edge = word(words, QStringLiteral("Envelope"));
        ASSERT_TRUE(edge);
        EXPECT_FALSE(edge->box.intersects(returnCaption->box));
        EXPECT_FALSE(edge->box.intersects(caption->box));
        EXPECT_NEAR(edge->box.left() / kPt, calibration.X + 1.0, 0.5);
    }
}

TEST_F(TestPrintFixture, EveryLabelIsOutlinedAndNumberedInItsPlace)
{
    const LabelSize sheet = UnequalMarginsSheet();
    Calibration calibration;
    calibration.X = -1.5;
    calibration.Y = 2.5;
    auto printer = CreatePrinterDC(nullptr, false, PaperRequest::ForLabelSheet(210, 297));
    ASSERT_TRUE(printer);
    ASSERT_TRUE(PrintLabelTest(*printer, nullptr, sheet, calibration));
    const QSizeF page = PdfPageSize(m_pdf);
    EXPECT_NEAR(page.width(), 210 * kPt, 1.0);
    EXPECT_NEAR(page.height(), 297 * kPt, 1.0);
    const std::vector<PdfWord> words = PdfWords(m_pdf);
    for (int i = 0; i < 24; ++i) {
        const PdfWord *number = word(words, QString::number(i + 1));
        ASSERT_TRUE(number) << i + 1;
        const QRectF label = sheet.LabelRect(i).translated(calibration.X, calibration.Y);
        EXPECT_NEAR(number->box.center().x() / kPt, label.center().x(), 0.6) << i + 1;
        EXPECT_NEAR(number->box.center().y() / kPt, label.center().y(), 1.5) << i + 1;
    }
}

// The button prints with the size's own calibration and leaves the dialog
// open for the real job; a size without calibration gets message 96.
TEST_F(TestPrintFixture, TheOptionsButtonsPrintAndKeepTheDialogOpen)
{
    MessageRecorder messages;
    {
        EnvelopePrintOptionsDialog dialog(nullptr, t.db());
        ASSERT_TRUE(dialog.Loaded());
        ASSERT_TRUE(dialog.TestPrintButton());
        dialog.SizeCombo()->setCurrentIndex(dialog.SizeCombo()->findText(QStringLiteral("DL (220 x 110 mm)")));
        dialog.show();
        QTest::mouseClick(dialog.TestPrintButton(), Qt::LeftButton);
        EXPECT_TRUE(messages.Empty());
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), 0);
        EXPECT_EQ(PdfPageCount(m_pdf), 1);
        EXPECT_TRUE(RunPdfTool(QStringLiteral("pdftotext"), {m_pdf, QStringLiteral("-")})
                        .contains(QStringLiteral("Address area")));
    }
    QFile::remove(m_pdf);
    {
        LabelPrintOptionsDialog dialog(nullptr, t.db());
        ASSERT_TRUE(dialog.IsUsable());
        dialog.SizeCombo()->setCurrentIndex(0);
        dialog.show();
        QTest::mouseClick(dialog.TestPrintButton(), Qt::LeftButton);
        EXPECT_TRUE(messages.Empty());
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(PdfPageCount(m_pdf), 1);
    }
    QFile::remove(m_pdf);
    t.db().ExecuteRaw(QStringLiteral("DELETE FROM KALIBRACE"));
    EnvelopePrintOptionsDialog dialog(nullptr, t.db());
    dialog.SizeCombo()->setCurrentIndex(0);
    dialog.show();
    QTest::mouseClick(dialog.TestPrintButton(), Qt::LeftButton);
    EXPECT_EQ(messages.Ids(), std::vector<int>{96});
    EXPECT_FALSE(QFile::exists(m_pdf));
}
