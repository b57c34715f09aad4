#include "printers.h"

#include "appcontext.h"
#include "papersource.h"
#include "tvmessage.h"

#include <QDir>
#include <QFileDialog>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

namespace {
QString g_pdfOutput;

QPageSize customPage(const QSizeF &size)
{
    return QPageSize(size, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
}
} // namespace

QString PdfPrinterName()
{
    return QString::fromLatin1(kPdfFilePrinter);
}

bool IsPdfPrinterName(const QString &name)
{
    return name == PdfPrinterName();
}

QStringList InstalledPrinterNames()
{
    QStringList names = QPrinterInfo::availablePrinterNames();
    names.removeAll(PdfPrinterName());
    names.append(PdfPrinterName());
    return names;
}

QString StartupPrinterName()
{
    const QString name = QPrinterInfo::defaultPrinterName();
    return name.isEmpty() ? PdfPrinterName() : name;
}

PaperSetup PaperSetupFor(const PaperRequest &request, bool calibrationLandscape)
{
    const double w = request.millimetres.width(), h = request.millimetres.height();
    if (request.kind == PaperRequest::Standard || w <= 0 || h <= 0)
        return {QSizeF(), calibrationLandscape};
    if (request.kind == PaperRequest::LabelSheet)
        return {QSizeF(w, h), calibrationLandscape};
    const double shorter = std::min(w, h), longer = std::max(w, h);
    const bool wide = w > h;
    if (!calibrationLandscape) // shorter side across: a wide envelope is turned
        return {QSizeF(shorter, longer), wide};
    return {QSizeF(longer, shorter), !wide && w != h};
}

std::unique_ptr<QPrinter> CreatePrinterDC(QWidget *owner, bool landscape, const PaperRequest &paper)
{
    Q_UNUSED(owner);
    const QString name = AppContext::CurrentPrinter();
    const PaperSetup setup = PaperSetupFor(paper, landscape);
    std::unique_ptr<QPrinter> printer;
    if (IsPdfPrinterName(name)) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setResolution(kPdfResolution);
        printer->setPageSize(setup.paper.isEmpty() ? QPageSize(QPageSize::A4) : customPage(setup.paper));
    } else {
        const QPrinterInfo info = QPrinterInfo::printerInfo(name);
        if (name.isEmpty() || info.isNull())
            return nullptr;
        printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        if (!printer->isValid())
            return nullptr;
        // A standard size goes by the printer's own name for it (EnvDL, A4),
        // so that the printer takes it from the right tray or feed.
        if (!setup.paper.isEmpty())
            printer->setPageSize(QPageSize(setup.paper, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch));
        // Envelopes and label sheets come from the tray or feed the user chose
        // for this printer under "Printer setup..."; other jobs from the
        // printer's default source.
        if (paper.kind != PaperRequest::Standard) {
            const PaperSourceSetting source = StoredPaperSource(
                name, paper.kind == PaperRequest::Envelope ? PaperSourceJob::Envelopes : PaperSourceJob::Labels);
            if (!source.IsEmpty())
                SetCupsOption(*printer, source.option, source.keyword);
        }
    }
    printer->setFullPage(true);
    printer->setPageOrientation(setup.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    return printer;
}

std::unique_ptr<QPrinter> CreatePrinterDCOrReport(QWidget *owner, bool landscape, const PaperRequest &paper)
{
    auto printer = CreatePrinterDC(owner, landscape, paper);
    if (!printer)
        CTVError(43);
    return printer;
}

bool IsPdfPrinter(const QPrinter &printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat;
}

void SetPdfOutputFile(const QString &path)
{
    g_pdfOutput = path;
}

QString PdfOutputFile()
{
    return g_pdfOutput;
}

QString ChoosePdfOutputFile(QWidget *owner)
{
    if (!g_pdfOutput.isEmpty())
        return g_pdfOutput;
    QString file = QFileDialog::getSaveFileName(owner, QString(), AppContext::ProgramDirectory(),
                                                QStringLiteral("PDF (*.pdf)"));
    if (!file.isEmpty() && !file.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        file += QLatin1String(".pdf");
    return file;
}
