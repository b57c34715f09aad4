#pragma once
// LabelPrinter: lays out and draws label sheets, for a print job on the
// printer (calibrated) or for one page of the preview (uncalibrated).
//
// Label i (column c = i mod N, row r = i div N) lies at
//   left = posX(A + c × (B + C)), right = posX(A + c × (B + C) + B),
//   top = posY(D + r × (E + F)), bottom = posY(D + r × (E + F) + E),
// positions having the calibration shifts added on the printer. The frame,
// when printed, lies the frame offset inside the label, lenX/lenY(0.5 mm)
// thick and at least one pixel; the address block is set (AddressLayout)
// in the label moved in by the address margins. Labels are filled in the
// order of LabelWalk: from the first label, copies, collation, a new sheet
// after M × N positions.
#include "addresslayout.h"
#include "calibration.h"
#include "conversions.h"
#include "labelstyle.h"
#include "sizes.h"

#include <vector>

class QPrinter;
class QWidget;

// Everything one label job needs besides the device.
struct LabelJob {
    LabelSize size;
    LabelStyle style;
    Calibration calibration;
    std::vector<AddressEntry> addresses;
    int copies = 1;
    bool collate = false;
    int firstLabel = 0;
};

// Where a page of a job goes: the printer (PrintJob) or a test's recorder.
class LabelPageSink {
public:
    virtual ~LabelPageSink() = default;
    // Starts page `number` (from 1); false ends the job.
    virtual bool StartPage(int number) = 0;
    virtual PrintDevice &Device() = 0;
    // False ends the job.
    virtual bool EndPage() = 0;
};

class LabelPrinter {
public:
    // `printer` are the measurements of the printer the job is for; layout
    // uses its LOGPIXELSX and LOGPIXELSY, also when a preview draws into a
    // picture mapped from printer pixels.
    LabelPrinter(const LabelJob &job, const DeviceMetrics &printer);

    // The preview's font scale (1.0 for printing).
    void SetFontScale(double scale) { m_fontScale = scale; }
    double FontScale() const { return m_fontScale; }

    // The label rectangle of index i, calibrated or not.
    EdgeRect LabelRect(int index, bool calibrated) const;
    // Draws one label: frame, then the address block.
    void DrawLabel(PrintDevice &device, const AddressLayout &layout, int index, const AddressEntry &address,
                   bool calibrated) const;

    // The preview: walks the job without drawing up to `page` (0-based) and
    // draws that page's labels at uncalibrated positions.
    void DrawPreviewPage(PrintDevice &device, int page) const;

    // The page loop of the job, calibrated. Returns the pages ended.
    int RunPages(LabelPageSink &sink) const;

    // The whole job on a printer with the progress window over `owner`:
    // the document "label printing in progress " (message 98), the pages,
    // the end of the document (also after an abort). False when the
    // document could not be started or the job was aborted.
    bool Print(QPrinter &printer, QWidget *owner) const;

    const LabelJob &Job() const { return m_job; }

private:
    const LabelJob &m_job;
    DeviceMetrics m_printer;
    double m_fontScale = 1.0;
};

// The page the preview shows is the page the job prints on: the sheet's
// paper, turned when `landscape`. Its extent in printer pixels,
// trunc(LOGPIXELSX × width ÷ 25.4) by trunc(LOGPIXELSY × height ÷ 25.4), and
// its proportions in whole millimetres; the two agree, so the picture is
// the printout at one scale, text included.
QSize LabelPreviewExtent(const LabelSize &size, bool landscape, const DeviceMetrics &printer);
QSize LabelSheetProportions(const LabelSize &size, bool landscape);
