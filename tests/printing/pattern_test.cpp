#include "appcontext.h"
#include "calibration.h"
#include "conversions.h"
#include "painterdevice.h"
#include "printers.h"
#include "printingtest.h"
#include "recordingdevice.h"
#include "testsupport.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <set>

TEST(CalibrationPattern, GridEvery20MillimetresOverThePrintableArea)
{
    const DeviceMetrics m = A4Metrics(600); // 4960 × 7015
    RecordingDevice device(m);
    DrawCalibrationPattern(device);
    std::vector<int> xs, ys;
    for (const RecordedOp &op : device.Ops(RecordedOp::Line)) {
        if (op.from.x() == op.to.x()) {
            EXPECT_EQ(op.from.y(), 0);
            EXPECT_EQ(op.to.y(), m.VERTRES);
            xs.push_back(op.from.x());
        } else {
            ASSERT_EQ(op.from.y(), op.to.y());
            EXPECT_EQ(op.from.x(), 0);
            EXPECT_EQ(op.to.x(), m.HORZRES);
            ys.push_back(op.from.y());
        }
    }
    // 0, 20, … 200 mm across (11 lines), 0 … 280 mm down (15 lines).
    ASSERT_EQ(xs.size(), 11u);
    ASSERT_EQ(ys.size(), 15u);
    for (std::size_t k = 0; k < xs.size(); ++k)
        EXPECT_EQ(xs[k], DeviceUnits(20.0 * double(k), 600));
    for (std::size_t k = 1; k < xs.size(); ++k) {
        const int step = xs[k] - xs[k - 1];
        EXPECT_TRUE(step == 472 || step == 473) << step;
    }
    EXPECT_EQ(ys.back(), DeviceUnits(280, 600));
}

TEST(CalibrationPattern, LabelledCirclesEvery945PixelsAt600Dpi)
{
    const DeviceMetrics m = A4Metrics(600);
    RecordingDevice device(m);
    DrawCalibrationPattern(device);
    // Arial 8 pt at 600 dpi: em 66 px; the recording metrics give
    // tmAveCharWidth 33 and tmHeight 72, so r = 33 and dy = 24.
    ASSERT_EQ(device.Fonts().size(), 2u);
    EXPECT_EQ(device.Fonts()[1].spec.lfFaceName, QStringLiteral("Arial"));
    EXPECT_EQ(device.Fonts()[1].tenths, 80);
    const auto circles = device.Ops(RecordedOp::Ellipse);
    const auto texts = device.Ops(RecordedOp::Text);
    // X = 0 … 200 (6 columns) by Y = 0 … 280 (8 rows).
    ASSERT_EQ(circles.size(), 48u);
    ASSERT_EQ(texts.size(), 48u);
    EXPECT_EQ(texts[0].text, QStringLiteral("X=0, Y=0"));
    EXPECT_EQ(texts[1].text, QStringLiteral("X=0, Y=40"));
    EXPECT_EQ(texts[2].text, QStringLiteral("X=0, Y=80"));
    EXPECT_EQ(texts[8].text, QStringLiteral("X=40, Y=0"));
    EXPECT_EQ(circles[8].from, QPoint(945 - 33, -33));
    EXPECT_EQ(circles[8].to, QPoint(945 + 33, 33));
    EXPECT_EQ(circles[9].from, QPoint(945 - 33, 945 - 33));
    EXPECT_EQ(texts[9].rect, GdiRect(945 + 33, 945 + 24, m.HORZRES, m.VERTRES));
    EXPECT_FALSE(texts[9].centred);
    // Columns at lenX(40 × k): 945 pixels apart, 944 where the rounding falls.
    for (std::size_t i = 0; i < circles.size(); i += 8)
        EXPECT_EQ(circles[i].from.x() + 33, DeviceUnits(40.0 * double(i / 8), 600));
    EXPECT_EQ(circles[16].from.x() - circles[8].from.x(), 945);
    EXPECT_EQ(texts.back().text, QStringLiteral("X=200, Y=280"));
    // The font is selected only while the labels are drawn.
    EXPECT_EQ(device.SelectedFont(), 0);
}

TEST(CalibrationPattern, OnlyWhatStartsInsideThePrintableArea)
{
    DeviceMetrics m = A4Metrics(600);
    m.HORZRES = 945; // exactly at 40 mm: that column is left out
    m.VERTRES = 946;
    RecordingDevice device(m);
    DrawCalibrationPattern(device);
    EXPECT_EQ(device.Ops(RecordedOp::Ellipse).size(), 2u); // X=0 with Y=0 and Y=40
}

class PatternPdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_printer = AppContext::CurrentPrinter();
        AppContext::SetCurrentPrinter(PdfPrinterName());
        m_file = m_dir.filePath(QStringLiteral("pattern.pdf"));
        SetPdfOutputFile(m_file);
    }
    void TearDown() override
    {
        SetPdfOutputFile(QString());
        AppContext::SetCurrentPrinter(m_printer);
    }
    QTemporaryDir m_dir;
    QString m_file;
    QString m_printer;
};

TEST_F(PatternPdf, LabelsStandAtTrueScale)
{
    MessageRecorder rec;
    QWidget owner;
    ASSERT_TRUE(PrintCalibrationPattern(&owner, false));
    EXPECT_TRUE(rec.Empty());
    EXPECT_TRUE(owner.isEnabled());
    ASSERT_EQ(PdfPageCount(m_file), 1);
    const auto words = PdfWords(m_file);
    ASSERT_FALSE(words.empty());

    // The circle's radius r is tmAveCharWidth of Arial 8 pt on the PDF
    // printer; the label starts r to the right of its circle's centre.
    double rMm = 0;
    {
        QTemporaryDir scratch;
        auto printer = CreatePrinterDC(nullptr, false);
        ASSERT_TRUE(printer);
        printer->setOutputFileName(scratch.filePath(QStringLiteral("r.pdf")));
        QPainter painter(printer.get());
        PainterDevice device(painter);
        FontSpec arial;
        arial.lfFaceName = QStringLiteral("Arial");
        device.SelectFont(device.CreatePointFont(arial, 80));
        rMm = device.GetTextMetrics().tmAveCharWidth * 25.4 / device.Metrics().LOGPIXELSX;
        painter.end();
    }
    ASSERT_GT(rMm, 0.5);
    const double pointsPerMm = 72 / 25.4;
    bool found = false;
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        if (words[i].text != QStringLiteral("X=40,") || words[i + 1].text != QStringLiteral("Y=0"))
            continue;
        found = true;
        const double leftMm = words[i].box.left() / pointsPerMm;
        const double topMm = words[i].box.top() / pointsPerMm;
        EXPECT_NEAR(leftMm - rMm, 40.0, 0.5);
        EXPECT_LT(topMm, 3.0);
    }
    EXPECT_TRUE(found);
    // The labels of one row stand 40 mm apart.
    std::vector<double> rowZero;
    for (const PdfWord &w : words)
        if (w.text.startsWith(QStringLiteral("X=")) && w.box.top() < 3 * pointsPerMm)
            rowZero.push_back(w.box.left() / pointsPerMm);
    ASSERT_EQ(rowZero.size(), 6u);
    std::sort(rowZero.begin(), rowZero.end());
    for (std::size_t i = 1; i < rowZero.size(); ++i)
        EXPECT_NEAR(rowZero[i] - rowZero[i - 1], 40.0, 0.5);
}
