#include "testprint.h"

#include "addresslayout.h"
#include "device.h"
#include "printers.h"
#include "printjob.h"
#include "tvmessage.h"

#include <QPrinter>
#include <algorithm>

namespace {

constexpr double kLineMm = 0.25;

// A rectangle outline of the given thickness drawn inside its edges.
void outline(PrintDevice &device, const EdgeRect &r, const UnitConverter &units)
{
    DrawAddressFrame(device, r, std::max(1, units.LenX(kLineMm)), std::max(1, units.LenY(kLineMm)));
}

class CaptionFont {
public:
    explicit CaptionFont(PrintDevice &device) : m_device(device)
    {
        FontSpec arial;
        arial.lfFaceName = QStringLiteral("Arial");
        arial.lfPitchAndFamily = 0x20; // swiss
        m_font = device.CreatePointFont(arial, 80);
        m_previous = device.SelectFont(m_font);
        device.SetTextColor(0);
        m_metrics = device.GetTextMetrics();
    }
    ~CaptionFont() { m_device.SelectFont(m_previous); }
    int LineHeight() const { return m_metrics.tmHeight + m_metrics.tmExternalLeading; }

    // The text in the rectangle's top left corner, moved in by `inset`.
    void TopLeft(const EdgeRect &r, int inset, const QString &text)
    {
        m_device.DrawTextLine(GdiRect(r.left + inset, r.top + inset, r.right - inset, r.bottom), text, false);
    }
    void Centred(const EdgeRect &r, const QString &text)
    {
        const int y = (r.top + r.bottom - LineHeight()) / 2;
        m_device.DrawTextLine(GdiRect(r.left, y, r.right, r.bottom), text, true);
    }

private:
    PrintDevice &m_device;
    DeviceFont m_font = 0;
    DeviceFont m_previous = 0;
    TextMetrics m_metrics;
};

EdgeRect edges(const QRectF &mm, const UnitConverter &units)
{
    return {units.PosX(mm.left()), units.PosY(mm.top()), units.PosX(mm.right()), units.PosY(mm.bottom())};
}

template <typename Draw> bool printOnePage(QPrinter &printer, QWidget *owner, Draw draw)
{
    PrintJob job(printer, owner);
    if (!job.StartDoc(TestPrintDocumentName()))
        return false;
    bool printed = false;
    if (job.StartPage(1)) {
        draw(job.Device(), job.Metrics());
        printed = job.EndPage();
    }
    job.EndDoc();
    return printed && !job.IsAborted();
}

} // namespace

QString TestPrintDocumentName()
{
    return QStringLiteral("Test print");
}

void DrawEnvelopeOutlines(PrintDevice &device, const EnvelopeSize &size, const UnitConverter &units)
{
    CaptionFont captions(device);
    const int inset = std::max(1, units.LenX(1.0));
    const EdgeRect edge = edges(QRectF(0, 0, size.A, size.B), units);
    outline(device, edge, units);
    const EdgeRect address = edges(size.AddressArea(), units);
    outline(device, address, units);
    const EdgeRect returnArea = edges(size.ReturnArea(), units);
    outline(device, returnArea, units);
    // The edge's caption sits in the bottom left corner, where no area of
    // the usual sizes lies (the return address is at the top left, the
    // recipient's address to the right).
    const EdgeRect edgeCaption{edge.left, edge.bottom - inset - captions.LineHeight(), address.left, edge.bottom};
    captions.TopLeft(edgeCaption, inset, QStringLiteral("Envelope edge: %1").arg(size.name));
    captions.TopLeft(address, inset, QStringLiteral("Address area"));
    captions.TopLeft(returnArea, inset, QStringLiteral("Return address area"));
}

void DrawLabelOutlines(PrintDevice &device, const LabelSize &size, const UnitConverter &units)
{
    CaptionFont captions(device);
    const int count = std::max(0, size.M) * std::max(0, size.N);
    for (int i = 0; i < count; ++i) {
        const EdgeRect r = edges(size.LabelRect(i), units);
        outline(device, r, units);
        captions.Centred(r, QString::number(i + 1));
    }
}

bool PrintEnvelopeTest(QPrinter &printer, QWidget *owner, const EnvelopeSize &size, const Calibration &calibration)
{
    return printOnePage(printer, owner, [&](PrintDevice &device, const DeviceMetrics &metrics) {
        DrawEnvelopeOutlines(device, size, UnitConverter(metrics, calibration.X, calibration.Y));
    });
}

bool PrintLabelTest(QPrinter &printer, QWidget *owner, const LabelSize &size, const Calibration &calibration)
{
    return printOnePage(printer, owner, [&](PrintDevice &device, const DeviceMetrics &metrics) {
        DrawLabelOutlines(device, size, UnitConverter(metrics, calibration.X, calibration.Y));
    });
}

bool RunEnvelopeTestPrint(QWidget *owner, CDatabase &db, const EnvelopeSize &size)
{
    const std::optional<Calibration> calibration = FindEnvelopeCalibration(db, size.id);
    if (!calibration) {
        CTVInfo::Show(96, TVB_OK);
        return false;
    }
    std::unique_ptr<QPrinter> printer =
        CreatePrinterDCOrReport(owner, calibration->landscape, PaperRequest::ForEnvelope(size.A, size.B));
    return printer && PrintEnvelopeTest(*printer, owner, size, *calibration);
}

bool RunLabelTestPrint(QWidget *owner, CDatabase &db, const LabelSize &size)
{
    const std::optional<Calibration> calibration = FindLabelCalibration(db, size.id);
    if (!calibration) {
        CTVInfo::Show(96, TVB_OK);
        return false;
    }
    std::unique_ptr<QPrinter> printer = CreatePrinterDCOrReport(
        owner, calibration->landscape, PaperRequest::ForLabelSheet(size.paperWidth, size.paperHeight));
    return printer && PrintLabelTest(*printer, owner, size, *calibration);
}
