#include "labelprinter.h"

#include "labelorder.h"
#include "printjob.h"
#include "tvstrings.h"

#include <QPrinter>
#include <cmath>

namespace {

AddressLayoutOptions layoutOptions(const LabelStyle &style)
{
    AddressLayoutOptions o;
    o.horizontal = style.horizontal;
    o.vertical = style.vertical;
    o.joinZip = style.joinZip;
    return o;
}

AddressFonts layoutFonts(const LabelStyle &style)
{
    AddressFonts fonts;
    for (std::size_t i = 0; i < fonts.size(); ++i)
        fonts[i] = style.fonts[i];
    return fonts;
}

class PrintJobSink : public LabelPageSink {
public:
    explicit PrintJobSink(PrintJob &job) : m_job(job) {}
    bool StartPage(int number) override { return m_job.StartPage(number); }
    PrintDevice &Device() override { return m_job.Device(); }
    bool EndPage() override { return m_job.EndPage(); }

private:
    PrintJob &m_job;
};

} // namespace

LabelPrinter::LabelPrinter(const LabelJob &job, const DeviceMetrics &printer) : m_job(job), m_printer(printer) {}

EdgeRect LabelPrinter::LabelRect(int index, bool calibrated) const
{
    const LabelSize &s = m_job.size;
    const UnitConverter units = calibrated ? UnitConverter(m_printer, m_job.calibration.X, m_job.calibration.Y)
                                           : UnitConverter(m_printer);
    const int columns = s.N > 0 ? s.N : 1;
    const int column = index % columns, row = index / columns;
    const double x = s.A + column * (s.B + s.C);
    const double y = s.D + row * (s.E + s.F);
    return EdgeRect{units.PosX(x), units.PosY(y), units.PosX(x + s.B), units.PosY(y + s.E)};
}

void LabelPrinter::DrawLabel(PrintDevice &device, const AddressLayout &layout, int index,
                             const AddressEntry &address, bool calibrated) const
{
    const LabelStyle &style = m_job.style;
    const UnitConverter units(m_printer); // offsets, thickness and margins are lengths
    const EdgeRect label = LabelRect(index, calibrated);
    if (style.printFrame) {
        const EdgeRect frame = label.Inset(units.LenX(style.frameOffset), units.LenY(style.frameOffset));
        DrawAddressFrame(device, frame, FrameThickness(m_printer.LOGPIXELSX), FrameThickness(m_printer.LOGPIXELSY));
    }
    const EdgeRect inner = label.Inset(units.LenX(style.addressX), units.LenY(style.addressY));
    layout.Draw(inner, address, layoutOptions(style));
}

void LabelPrinter::DrawPreviewPage(PrintDevice &device, int page) const
{
    const AddressLayout layout(device, layoutFonts(m_job.style), m_fontScale);
    const int perSheet = std::max(0, m_job.size.M) * std::max(0, m_job.size.N);
    LabelWalk walk(int(m_job.addresses.size()), m_job.copies, m_job.collate, m_job.firstLabel, perSheet);
    while (!walk.Done() && walk.NextPage() <= page) {
        const LabelPlacement p = walk.Next();
        if (p.page == page)
            DrawLabel(device, layout, p.position, m_job.addresses[std::size_t(p.address)], false);
    }
}

int LabelPrinter::RunPages(LabelPageSink &sink) const
{
    const int perSheet = std::max(0, m_job.size.M) * std::max(0, m_job.size.N);
    LabelWalk walk(int(m_job.addresses.size()), m_job.copies, m_job.collate, m_job.firstLabel, perSheet);
    if (walk.Done())
        return 0;
    // The fonts are made once, before anything is drawn.
    const AddressLayout layout(sink.Device(), layoutFonts(m_job.style), m_fontScale);
    int ended = 0;
    for (int number = 1; !walk.Done(); ++number) {
        if (!sink.StartPage(number))
            break;
        PrintDevice &device = sink.Device();
        const int page = walk.NextPage();
        while (!walk.Done() && walk.NextPage() == page) {
            const LabelPlacement p = walk.Next();
            DrawLabel(device, layout, p.position, m_job.addresses[std::size_t(p.address)], true);
        }
        if (!sink.EndPage())
            break;
        ++ended;
    }
    return ended;
}

bool LabelPrinter::Print(QPrinter &printer, QWidget *owner) const
{
    PrintJob job(printer, owner);
    if (!job.StartDoc(TVLoadStringResource(98)))
        return false;
    PrintJobSink sink(job);
    RunPages(sink);
    job.EndDoc();
    return !job.IsAborted();
}

QSize LabelPreviewExtent(const LabelSize &size, bool landscape, const DeviceMetrics &printer)
{
    const QSizeF page = size.PageSize(landscape);
    return QSize(int(std::trunc(printer.LOGPIXELSX * page.width() / 25.4)),
                 int(std::trunc(printer.LOGPIXELSY * page.height() / 25.4)));
}

QSize LabelSheetProportions(const LabelSize &size, bool landscape)
{
    const QSizeF page = size.PageSize(landscape);
    return QSize(int(std::trunc(page.width())), int(std::trunc(page.height())));
}
