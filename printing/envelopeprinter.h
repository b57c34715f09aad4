#pragma once
// Envelope printing: one envelope per page. EnvelopePrinter lays out and
// draws one envelope (address frame, address lines, then the logo or the
// return address) on any device; the page order of copies and collation is
// plain logic; PrintEnvelopeJob runs the whole job on a printer with the
// progress window.
#include "addresslayout.h"
#include "calibration.h"
#include "conversions.h"
#include "envelopestyle.h"
#include "sizes.h"

#include <functional>
#include <optional>
#include <vector>

class QPrinter;
class QWidget;

// What one envelope job prints.
struct EnvelopeJob {
    EnvelopeSize size;
    EnvelopeStyle style; // with its logo decoded when the return mode is 0
    Calibration calibration;
    std::vector<AddressEntry> addresses;
    int copies = 1;
    bool collate = false;
};

// The list positions of the pages in print order: collated, the whole list
// `copies` times; otherwise each address `copies` times in a row. Empty for
// an empty list or copies below 1.
std::vector<int> EnvelopePageOrder(int addresses, int copies, bool collate);
// The list position the preview shows on a 0-based page: page mod addresses
// when collated, page ÷ copies otherwise; -1 when there is nothing to show.
int EnvelopePreviewAddress(int page, int addresses, int copies, bool collate);

// The logo's size in a return area of aw × ah pixels: the full width when
// the area is relatively narrower than the logo (aw ÷ ah < w ÷ h), the
// height then ah − trunc(ah + 0.5 − aw × h ÷ w); otherwise the full height
// and the width aw − trunc(aw + 0.5 − ah × w ÷ h).
QSize FitLogoSize(const QSize &logo, int aw, int ah);

class EnvelopePrinter {
public:
    // Called when a logo cannot be resampled; by default shows message 108.
    using LogoFailure = std::function<void()>;

    // `print` set: positions get the calibration shifts (print job); clear:
    // uncalibrated positions (preview). Lengths and positions use the
    // printer's LOGPIXELSX and LOGPIXELSY from `printerMetrics`. The six
    // fonts are made on `device` at once.
    EnvelopePrinter(PrintDevice &device, const EnvelopeJob &job, const DeviceMetrics &printerMetrics, bool print,
                    double fontScale = 1.0);

    void SetLogoFailureHandler(LogoFailure handler) { m_logoFailure = std::move(handler); }

    // One envelope for this address.
    void DrawEnvelope(const AddressEntry &address);
    // The preview page (0-based) as EnvelopePreviewAddress chooses it.
    void DrawPreviewPage(int page);

    // The address area and the return area in device pixels.
    EdgeRect AddressArea() const;
    EdgeRect ReturnArea() const;
    // The address text rectangle: the area, moved in by the padding when
    // the frame is printed.
    EdgeRect TextRect() const;
    const AddressLayout &Layout() const { return m_layout; }
    DeviceFont ReturnFont() const { return m_returnFont; }
    const UnitConverter &Converter() const { return m_units; }

private:
    void drawReturnArea();

    PrintDevice &m_device;
    const EnvelopeJob &m_job;
    UnitConverter m_units;
    AddressLayout m_layout;
    DeviceFont m_returnFont = 0;
    TextMetrics m_returnMetrics;
    LogoFailure m_logoFailure;
};

// Runs the job on the printer over `owner`: document name message 107, the
// progress window, one page per envelope in the page order; Cancel in the
// progress window stops it. True when every page was printed (an empty list
// prints an empty document). Copies below 1 print nothing and return false.
bool PrintEnvelopeJob(QPrinter &printer, QWidget *owner, const EnvelopeJob &job);
