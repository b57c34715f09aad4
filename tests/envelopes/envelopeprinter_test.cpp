// The envelope page: areas, calibration, logo, return address, page order,
// and a real job into a PDF file read back with poppler-utils.
#include "appcontext.h"
#include "envelopepreviewdialog.h"
#include "envelopeprinter.h"
#include "envelopetest.h"
#include "previewcanvas.h"
#include "printers.h"
#include "recordingdevice.h"
#include "recordsets.h"
#include "testsupport.h"

#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

DeviceMetrics dpi(int d)
{
    DeviceMetrics m;
    m.LOGPIXELSX = m.LOGPIXELSY = d;
    m.HORZRES = m.VERTRES = 10000;
    return m;
}

EnvelopeSize dl()
{
    EnvelopeSize s;
    s.id = 1;
    s.name = QStringLiteral("DL (220 x 110 mm)");
    s.SetValues({220, 110, 90, 20, 15, 40, 70, 10, 10, 30});
    return s;
}

AddressEntry address(const char *name)
{
    AddressEntry a;
    a.id = 1;
    a.name = QString::fromUtf8(name);
    a.street = QStringLiteral("Long Street 1");
    a.town = QStringLiteral("Springfield");
    a.zip = QStringLiteral("12345");
    return a;
}

EnvelopeJob job()
{
    EnvelopeJob j;
    j.size = dl();
    j.style = EnvelopeStyle::Defaults();
    j.addresses = {address("Alice")};
    return j;
}

} // namespace

TEST(EnvelopePageOrder, CopiesAndCollation)
{
    EXPECT_EQ(EnvelopePageOrder(2, 2, true), (std::vector<int>{0, 1, 0, 1}));
    EXPECT_EQ(EnvelopePageOrder(2, 2, false), (std::vector<int>{0, 0, 1, 1}));
    EXPECT_EQ(EnvelopePageOrder(3, 1, true), EnvelopePageOrder(3, 1, false));
    EXPECT_TRUE(EnvelopePageOrder(0, 2, true).empty());
    EXPECT_TRUE(EnvelopePageOrder(2, 0, false).empty());
}

TEST(EnvelopePageOrder, PreviewAddressOfAPage)
{
    std::vector<int> collated, separate;
    for (int page = 0; page < 6; ++page) {
        collated.push_back(EnvelopePreviewAddress(page, 3, 2, true));
        separate.push_back(EnvelopePreviewAddress(page, 3, 2, false));
    }
    EXPECT_EQ(collated, (std::vector<int>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(separate, (std::vector<int>{0, 0, 1, 1, 2, 2}));
    EXPECT_EQ(EnvelopePreviewAddress(0, 3, 0, false), -1); // nothing divides by zero
    EXPECT_EQ(EnvelopePreviewAddress(6, 3, 2, false), -1);
}

TEST(EnvelopePrinter, CalibratedAddressArea)
{
    EnvelopeJob j = job();
    j.calibration.X = -4.5;
    j.calibration.Y = 2;
    RecordingDevice device(dpi(600));
    EnvelopePrinter printer(device, j, device.Metrics(), true);
    const EdgeRect area = printer.AddressArea();
    EXPECT_EQ(area.left, int(std::trunc(105.5 * 600 / 25.4 + 0.5)));
    EXPECT_EQ(area.top, int(std::trunc((55 + 2) * 600 / 25.4 + 0.5)));
    EXPECT_EQ(area.right, int(std::trunc((200 - 4.5) * 600 / 25.4 + 0.5)));
    printer.DrawEnvelope(j.addresses[0]);
    const auto texts = device.Ops(RecordedOp::Text);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0].rect.left(), area.left);
    EXPECT_EQ(texts[0].text, QStringLiteral("Alice"));

    // The preview ignores the shifts.
    RecordingDevice preview(dpi(600));
    EnvelopePrinter uncalibrated(preview, j, preview.Metrics(), false);
    EXPECT_EQ(uncalibrated.AddressArea().left, int(std::trunc(110 * 600 / 25.4 + 0.5)));
}

TEST(EnvelopePrinter, FrameAndPaddingMoveTheText)
{
    EnvelopeJob j = job();
    j.style.printFrame = true;
    j.style.offset = 2;
    RecordingDevice device(dpi(254)); // 10 pixels per mm
    EnvelopePrinter printer(device, j, device.Metrics(), true);
    printer.DrawEnvelope(j.addresses[0]);
    const auto lines = device.Ops(RecordedOp::Line);
    ASSERT_EQ(lines.size(), 20u); // 0.5 mm = 5 pixels on each side
    EXPECT_EQ(lines[0].from, QPoint(1100, 550));
    EXPECT_EQ(lines[0].to, QPoint(1100, 950));
    const auto texts = device.Ops(RecordedOp::Text);
    EXPECT_EQ(texts[0].rect.topLeft(), QPoint(1120, 570));
    EXPECT_EQ(texts[0].rect.right() + 1, 2000 - 20);
    // The frame is drawn before the lines.
    EXPECT_EQ(device.Ops().front().kind, RecordedOp::Line);
}

TEST(EnvelopePrinter, FontsAtScaleOneWithTheReturnFontLast)
{
    EnvelopeJob j = job();
    j.style.fonts[LINE_RETURN].lfHeight = 105;
    RecordingDevice device(dpi(720));
    EnvelopePrinter printer(device, j, device.Metrics(), true);
    ASSERT_EQ(device.Fonts().size(), 7u);
    EXPECT_EQ(device.Fonts()[1].tenths, 120);
    EXPECT_EQ(device.Fonts()[6].tenths, 105);
    EXPECT_EQ(device.Fonts()[6].pixels, 105);
}

TEST(EnvelopePrinter, LogoTwiceAsWideFillsTheHeight)
{
    EnvelopeJob j = job();
    j.size.G = 60;
    j.size.L = 20;
    j.style.returnMode = RETURN_LOGO;
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::red);
    j.style.logo = CTVImage(picture);
    RecordingDevice device(dpi(254));
    EnvelopePrinter printer(device, j, device.Metrics(), false);
    printer.DrawEnvelope(j.addresses[0]);
    const auto images = device.Ops(RecordedOp::Image);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].rect, QRect(100, 100, 400, 200));
    // The return area comes after the address.
    EXPECT_EQ(device.Ops().back().kind, RecordedOp::Image);
    EXPECT_EQ(FitLogoSize({100, 200}, 600, 200), QSize(100, 200));
    EXPECT_EQ(FitLogoSize({400, 100}, 600, 200), QSize(600, 150));
}

TEST(EnvelopePrinter, LogoThatCannotBeResampledShowsMessage108)
{
    MessageRecorder messages;
    EnvelopeJob j = job();
    j.size.L = 1;
    j.style.returnMode = RETURN_LOGO;
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    j.style.logo = CTVImage(picture);
    RecordingDevice device(dpi(10)); // 1 mm is no pixel at all
    EnvelopePrinter printer(device, j, device.Metrics(), true);
    printer.DrawEnvelope(j.addresses[0]);
    EXPECT_EQ(messages.OnlyId(), 108);
    EXPECT_TRUE(device.Ops(RecordedOp::Image).empty());
    EXPECT_FALSE(device.Ops(RecordedOp::Text).empty()); // the rest of the page is printed
}

TEST(EnvelopePrinter, ReturnAddressWithFrame)
{
    EnvelopeJob j = job();
    j.style.returnMode = RETURN_ADDRESS;
    j.style.returnText = QStringLiteral("Sender\r\nStreet 2");
    j.style.frameReturn = true;
    j.style.offsetReturn = 1;
    j.style.fonts[LINE_RETURN].color = 0x00FF00;
    RecordingDevice device(dpi(254));
    EnvelopePrinter printer(device, j, device.Metrics(), true);
    printer.DrawEnvelope(j.addresses[0]);
    const auto texts = device.Ops(RecordedOp::Text);
    ASSERT_GE(texts.size(), 2u);
    const RecordedOp &first = texts[texts.size() - 2];
    const RecordedOp &second = texts.back();
    EXPECT_EQ(first.text, QStringLiteral("Sender"));
    EXPECT_EQ(first.rect.topLeft(), QPoint(110, 110));
    EXPECT_EQ(first.rect.right() + 1, 800 - 10);
    EXPECT_EQ(first.font, printer.ReturnFont());
    EXPECT_EQ(first.color, 0x00FF00u);
    EXPECT_FALSE(first.centred);
    const TextMetrics m = RecordingDevice::DefaultMetrics(device.Fonts()[6].pixels);
    EXPECT_EQ(second.rect.top(), 110 + m.tmHeight + m.tmExternalLeading);
    EXPECT_EQ(device.Ops(RecordedOp::Line).size(), 20u); // only the return frame
}

TEST(EnvelopePrinter, PreviewDrawsTheChosenAddress)
{
    EnvelopeJob j = job();
    j.addresses = {address("A"), address("B"), address("C")};
    j.copies = 2;
    for (bool collate : {true, false}) {
        j.collate = collate;
        QStringList shown;
        for (int page = 0; page < 6; ++page) {
            RecordingDevice device(dpi(300));
            EnvelopePrinter printer(device, j, device.Metrics(), false);
            printer.DrawPreviewPage(page);
            shown << device.Ops(RecordedOp::Text).front().text;
        }
        EXPECT_EQ(shown.join(QString()), collate ? QStringLiteral("ABCABC") : QStringLiteral("AABBCC"));
    }
}

TEST(EnvelopePreviewDialog, CounterAndButtons)
{
    EnvelopeJob j = job();
    const DeviceMetrics metrics = dpi(1200);
    {
        EnvelopePreviewDialog one(nullptr, j, metrics);
        EXPECT_EQ(one.Counter()->text(), QStringLiteral("1 / 1"));
        EXPECT_FALSE(one.BackButton()->isEnabled());
        EXPECT_FALSE(one.NextButton()->isEnabled());
        EXPECT_TRUE(one.PrintButton()->isDefault());
    }
    j.addresses = {address("A"), address("B"), address("C")};
    j.copies = 2;
    EnvelopePreviewDialog dialog(nullptr, j, metrics);
    EXPECT_EQ(dialog.Counter()->text(), QStringLiteral("1 / 6"));
    dialog.NextButton()->click();
    EXPECT_EQ(dialog.Counter()->text(), QStringLiteral("2 / 6"));
    EXPECT_TRUE(dialog.BackButton()->isEnabled());
    for (int i = 0; i < 6; ++i)
        dialog.NextButton()->click();
    EXPECT_EQ(dialog.Page(), 5);
    EXPECT_FALSE(dialog.NextButton()->isEnabled());
    EXPECT_EQ(EnvelopePreviewDialog::PageExtent(dl(), metrics), QSize(10393, 5196));
    EXPECT_EQ(dialog.Canvas()->Proportions(), QSize(220, 110));
}

TEST(EnvelopePreviewDialog, WideCanvasShowsTheEnvelopeCentredAtFullHeight)
{
    EnvelopeJob j = job();
    j.calibration.X = 50; // the preview does not move
    j.calibration.Y = 40;
    EnvelopePreviewDialog dialog(nullptr, j, dpi(1200));
    dialog.Canvas()->resize(700, 200);
    EXPECT_EQ(dialog.Canvas()->PictureRect(), QRect(150, 0, 400, 200));
    const QImage picture = dialog.Canvas()->Picture();
    ASSERT_EQ(picture.size(), QSize(400, 200));
    // Text lies in the address area (from 110 mm and 55 mm: x 200, y 100).
    int inside = 0, outside = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qGray(picture.pixel(x, y)) < 160)
                (x >= 199 && y >= 99 && x < 365 && y < 175 ? inside : outside) += 1;
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
}

TEST(EnvelopePdf, NameAtTheAddressAreaInTheStylesFont)
{
    TempDatabase temp;
    CDatabase &db = temp.db();
    EnvelopeJob j = job();
    {
        CSetEnvstyle set(&db);
        set.Open(QStringLiteral("SELECT * FROM ENVSTYLE WHERE ENVSTYLE_NAME = 'Standard'"));
        ASSERT_FALSE(set.IsEOF());
        j.style = EnvelopeStyle::FromRecord(set);
    }
    j.addresses = {address("Alice\r\nWonder"), address("Bob")};
    j.addresses[0].street = QStringLiteral("Rabbit Hole 7");
    const QString pdf = temp.dir() + QStringLiteral("/dl.pdf");
    SetPdfOutputFile(pdf);
    AppContext::SetCurrentPrinter(PdfPrinterName());
    auto printer = CreatePrinterDC(nullptr, false, PaperRequest::ForEnvelope(220, 110));
    ASSERT_TRUE(printer);
    EXPECT_TRUE(PrintEnvelopeJob(*printer, nullptr, j));
    SetPdfOutputFile(QString());

    EXPECT_EQ(PdfPageCount(pdf), 2);
    const QSizeF page = PdfPageSize(pdf);
    EXPECT_NEAR(PointsToMm(page.width()), 220, 0.5);
    EXPECT_NEAR(PointsToMm(page.height()), 110, 0.5);
    const auto words = PdfWords(pdf);
    std::vector<PdfWord> first;
    for (const PdfWord &w : words)
        if (w.page == 0)
            first.push_back(w);
    ASSERT_GE(first.size(), 6u);
    EXPECT_EQ(first[0].text, QStringLiteral("Alice"));
    EXPECT_NEAR(PointsToMm(first[0].box.left()), 110.0, 0.5);
    EXPECT_GE(PointsToMm(first[0].box.top()), 55.0 - 0.5);
    for (std::size_t i = 1; i < first.size(); ++i)
        if (first[i].box.left() < first[i - 1].box.left()) {
            EXPECT_GT(first[i].box.top(), first[i - 1].box.top()) << first[i].text.toStdString();
        }
    EXPECT_EQ(first[1].text, QStringLiteral("Wonder"));
    EXPECT_GT(first[1].box.top(), first[0].box.bottom() - 1);
    EXPECT_TRUE(RunPdfTool(QStringLiteral("pdffonts"), {pdf}).contains(QStringLiteral("LiberationSerif")));
}

TEST(EnvelopePdf, ZeroCopiesPrintNothing)
{
    TempDatabase temp;
    EnvelopeJob j = job();
    j.copies = 0;
    const QString pdf = temp.dir() + QStringLiteral("/none.pdf");
    SetPdfOutputFile(pdf);
    AppContext::SetCurrentPrinter(PdfPrinterName());
    auto printer = CreatePrinterDC(nullptr, false, PaperRequest::ForEnvelope(220, 110));
    ASSERT_TRUE(printer);
    EXPECT_FALSE(PrintEnvelopeJob(*printer, nullptr, j));
    SetPdfOutputFile(QString());
    EXPECT_FALSE(QFile::exists(pdf));
}
