#include "envelopeprinter.h"

#include "printjob.h"
#include "recordsets.h"
#include "tvmessage.h"
#include "tvstrings.h"

#include <cmath>

std::vector<int> EnvelopePageOrder(int addresses, int copies, bool collate)
{
    std::vector<int> pages;
    if (addresses <= 0 || copies <= 0)
        return pages;
    pages.reserve(std::size_t(addresses) * std::size_t(copies));
    if (collate) {
        for (int pass = 0; pass < copies; ++pass)
            for (int a = 0; a < addresses; ++a)
                pages.push_back(a);
    } else {
        for (int a = 0; a < addresses; ++a)
            for (int c = 0; c < copies; ++c)
                pages.push_back(a);
    }
    return pages;
}

int EnvelopePreviewAddress(int page, int addresses, int copies, bool collate)
{
    if (page < 0 || addresses <= 0 || copies <= 0 || page >= addresses * copies)
        return -1;
    return collate ? page % addresses : page / copies;
}

QSize FitLogoSize(const QSize &logo, int aw, int ah)
{
    const double w = logo.width(), h = logo.height();
    if (w <= 0 || h <= 0)
        return {0, 0};
    if (double(aw) / ah < w / h)
        return {aw, ah - int(std::trunc(ah + 0.5 - aw * h / w))};
    return {aw - int(std::trunc(aw + 0.5 - ah * w / h)), ah};
}

namespace {

UnitConverter converter(const DeviceMetrics &metrics, const Calibration &calibration, bool print)
{
    return print ? UnitConverter(metrics, calibration.X, calibration.Y) : UnitConverter(metrics);
}

} // namespace

EnvelopePrinter::EnvelopePrinter(PrintDevice &device, const EnvelopeJob &job, const DeviceMetrics &printerMetrics,
                                 bool print, double fontScale)
    : m_device(device), m_job(job), m_units(converter(printerMetrics, job.calibration, print)),
      m_layout(device, job.style.AddressLineFonts(), fontScale)
{
    const FontSpec &spec = job.style.fonts[LINE_RETURN];
    m_returnFont = device.CreatePointFont(spec, ScaledFontTenths(spec.lfHeight, fontScale));
    const DeviceFont previous = device.SelectFont(m_returnFont);
    m_returnMetrics = device.GetTextMetrics();
    device.SelectFont(previous);
    m_logoFailure = [] { CTVError::Show(108, TVB_OK); };
}

EdgeRect EnvelopePrinter::AddressArea() const
{
    const EnvelopeSize &s = m_job.size;
    return {m_units.PosX(s.A - s.D - s.C), m_units.PosY(s.B - s.E - s.F), m_units.PosX(s.A - s.D),
            m_units.PosY(s.B - s.E)};
}

EdgeRect EnvelopePrinter::ReturnArea() const
{
    const EnvelopeSize &s = m_job.size;
    return {m_units.PosX(s.H), m_units.PosY(s.K), m_units.PosX(s.H + s.G), m_units.PosY(s.K + s.L)};
}

EdgeRect EnvelopePrinter::TextRect() const
{
    const EdgeRect area = AddressArea();
    if (!m_job.style.printFrame)
        return area;
    return area.Inset(m_units.LenX(m_job.style.offset), m_units.LenY(m_job.style.offset));
}

void EnvelopePrinter::DrawEnvelope(const AddressEntry &address)
{
    const EnvelopeStyle &style = m_job.style;
    if (style.printFrame)
        DrawAddressFrame(m_device, AddressArea(), std::max(1, m_units.LenX(0.5)), std::max(1, m_units.LenY(0.5)));
    m_layout.Draw(TextRect(), address, {style.horizontal, style.vertical, style.joinZip});
    drawReturnArea();
}

void EnvelopePrinter::DrawPreviewPage(int page)
{
    const int index =
        EnvelopePreviewAddress(page, int(m_job.addresses.size()), m_job.copies, m_job.collate);
    if (index >= 0)
        DrawEnvelope(m_job.addresses[std::size_t(index)]);
}

void EnvelopePrinter::drawReturnArea()
{
    const EnvelopeStyle &style = m_job.style;
    EdgeRect RA = ReturnArea();
    if (style.returnMode == RETURN_LOGO) {
        if (!style.logo.IsValid())
            return;
        const QSize fitted = FitLogoSize(QSize(style.logo.GetWidth(), style.logo.GetHeight()), RA.right - RA.left,
                                         RA.bottom - RA.top);
        CTVImage resampled;
        if (!style.logo.Resample(fitted.width(), fitted.height(), TVResampleMode::Nearest, resampled) ||
            !resampled.IsValid()) {
            if (m_logoFailure)
                m_logoFailure();
            return;
        }
        m_device.DrawImage(QPoint(RA.left, RA.top), resampled.Image());
    } else if (style.returnMode == RETURN_ADDRESS) {
        if (style.frameReturn) {
            DrawAddressFrame(m_device, RA, std::max(1, m_units.LenX(0.5)), std::max(1, m_units.LenY(0.5)));
            RA = RA.Inset(m_units.LenX(style.offsetReturn), m_units.LenY(style.offsetReturn));
        }
        const DeviceFont previous = m_device.SelectFont(m_returnFont);
        m_device.SetTextColor(style.fonts[LINE_RETURN].color);
        int y = RA.top;
        for (const QString &line : SplitAddressLines(style.returnText)) {
            m_device.DrawTextLine(GdiRect(RA.left, y, RA.right, RA.bottom), line, false);
            y += m_returnMetrics.tmHeight + m_returnMetrics.tmExternalLeading;
        }
        m_device.SelectFont(previous);
    }
}

bool PrintEnvelopeJob(QPrinter &printer, QWidget *owner, const EnvelopeJob &job)
{
    if (job.copies < 1)
        return false;
    PrintJob print(printer, owner);
    if (!print.StartDoc(TVLoadStringResource(107)))
        return false;
    const std::vector<int> order = EnvelopePageOrder(int(job.addresses.size()), job.copies, job.collate);
    bool complete = true;
    {
        EnvelopePrinter envelope(print.Device(), job, print.Metrics(), true);
        int pageNumber = 0;
        for (int index : order) {
            if (!print.StartPage(++pageNumber)) {
                complete = false;
                break;
            }
            envelope.DrawEnvelope(job.addresses[std::size_t(index)]);
            if (!print.EndPage()) {
                complete = false;
                break;
            }
        }
    }
    print.EndDoc();
    return complete && !print.IsAborted();
}
