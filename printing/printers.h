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
        Envelope,   // the envelope's own size, on a system printer too (envelope feed)
        LabelSheet, // PDF: the sheet's size; a system printer: its own paper
    };
    Kind kind = Standard;
    QSizeF millimetres; // width × height as drawn (Envelope, LabelSheet)

    static PaperRequest ForEnvelope(double width, double height) { return {Envelope, QSizeF(width, height)}; }
    static PaperRequest ForLabelSheet(double width, double height) { return {LabelSheet, QSizeF(width, height)}; }
};

// The resolution of the built-in PDF printer, in pixels per inch.
inline constexpr int kPdfResolution = 1200;

// Opens the current printer (AppContext::CurrentPrinter) for one job in the
// requested orientation; null when there is no such printer or it cannot be
// opened. The built-in PDF printer prints at 1200 dpi on the whole page (the
// device origin is the paper's corner); its output file is chosen when the
// job starts (see PrintJob). Callers show message 43 on null.
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
