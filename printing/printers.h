#pragma once
// Printers: the list offered to the user, the built-in printer that writes
// PDF files, and CreatePrinterDC, which opens the current printer for one
// job in portrait or landscape orientation.
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <memory>

class QPrinter;
class QWidget;

// The name of the built-in printer that writes PDF files. It is always
// listed and is the current printer of a machine without a default printer.
inline constexpr const char *kPdfFilePrinter = "PDF file";
QString PdfPrinterName();
bool IsPdfPrinterName(const QString &name);

// The printers of the system (CUPS queues) in the system's order, then the
// built-in "PDF file" printer.
QStringList InstalledPrinterNames();

// The printer a run starts with: the system's default printer, or the
// built-in "PDF file" printer when the system has none.
QString StartupPrinterName();

// The paper a job asks for.
struct PaperRequest {
    enum Kind {
        Standard,   // PDF: A4; a system printer: its own paper
        Envelope,   // the envelope's own size, on every printer (envelope feed)
        LabelSheet, // the sheet's paper, on every printer
    };
    Kind kind = Standard;
    // Envelope: width × height as drawn. LabelSheet: the paper as held
    // upright (LabelSize::paperWidth × paperHeight).
    QSizeF millimetres;

    static PaperRequest ForEnvelope(double width, double height) { return {Envelope, QSizeF(width, height)}; }
    static PaperRequest ForLabelSheet(double paperWidth, double paperHeight)
    {
        return {LabelSheet, QSizeF(paperWidth, paperHeight)};
    }
};

// What is asked of the printer for one job: the paper as the printer lists
// it (width × height, mm; empty for the printer's own paper) and whether the
// page is turned on it. The page the job draws on is the paper, turned when
// `landscape` is set.
//  - Standard: the printer's own paper (A4 on the PDF printer), turned by the
//    calibration's landscape flag.
//  - LabelSheet: the sheet's paper, turned by the landscape flag.
//  - Envelope: the page is always the envelope as drawn. The landscape flag
//    says how the envelope goes into the printer: off, with its shorter side
//    across (the way printers list envelope paper, DL as 110 × 220 mm, so a
//    wide envelope is printed turned); on, with its longer side across.
struct PaperSetup {
    QSizeF paper; // empty: the printer's own paper
    bool landscape = false;
};
PaperSetup PaperSetupFor(const PaperRequest &request, bool calibrationLandscape);

// The resolution of the built-in PDF printer, in pixels per inch.
inline constexpr int kPdfResolution = 1200;

// Opens the current printer (AppContext::CurrentPrinter) for one job in the
// requested orientation; null when there is no such printer or it cannot be
// opened. Every printer prints on the whole page: the device origin is the
// paper's corner, whatever margins the printer's own settings give (the
// calibration measures where the printer really puts it). The built-in PDF
// printer prints at 1200 dpi; its output file is chosen when the job starts
// (see PrintJob). Paper and orientation follow PaperSetupFor. Callers show
// message 43 on null.
std::unique_ptr<QPrinter> CreatePrinterDC(QWidget *owner, bool landscape, const PaperRequest &paper = {});
// The same, showing message 43 when the printer cannot be opened.
std::unique_ptr<QPrinter> CreatePrinterDCOrReport(QWidget *owner, bool landscape, const PaperRequest &paper = {});

// True for a printer made for the built-in PDF printer.
bool IsPdfPrinter(const QPrinter &printer);

// The PDF output file. When a file name is set here (by a test or the
// command line), every PDF job writes to it; otherwise each PDF job asks
// for a file name with a save dialog when it starts.
void SetPdfOutputFile(const QString &path);
QString PdfOutputFile();
// The file a PDF job writes: the name set above, or the user's choice from
// a save dialog (empty when the user cancels).
QString ChoosePdfOutputFile(QWidget *owner);
