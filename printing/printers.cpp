#include "printers.h"

#include "appcontext.h"
#include "tvmessage.h"

#include <QDir>
#include <QFileDialog>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

namespace {
QString g_pdfOutput;

QPageSize customPage(double width, double height)
{
    return QPageSize(QSizeF(width, height), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
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

std::unique_ptr<QPrinter> CreatePrinterDC(QWidget *owner, bool landscape, const PaperRequest &paper)
{
    Q_UNUSED(owner);
    const QString name = AppContext::CurrentPrinter();
    const bool sized = paper.kind != PaperRequest::Standard && paper.millimetres.width() > 0 &&
                       paper.millimetres.height() > 0;
    if (IsPdfPrinterName(name)) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setResolution(kPdfResolution);
        printer->setFullPage(true);
        printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        if (sized) {
            // The page has the paper's shape as drawn: a size wider than high
            // is given portrait-shaped and turned by the landscape orientation.
            const double w = paper.millimetres.width(), h = paper.millimetres.height();
            if (w > h) {
                printer->setPageSize(customPage(h, w));
                printer->setPageOrientation(QPageLayout::Landscape);
            } else {
                printer->setPageSize(customPage(w, h));
                printer->setPageOrientation(QPageLayout::Portrait);
            }
        } else {
            printer->setPageSize(QPageSize(QPageSize::A4));
            printer->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        }
        return printer;
    }

    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (name.isEmpty() || info.isNull())
        return nullptr;
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (!printer->isValid())
        return nullptr;
    if (paper.kind == PaperRequest::Envelope && sized) {
        // The envelope's own size, portrait-shaped as printers list their
        // paper, so that the printer takes it from the envelope feed.
        const double w = paper.millimetres.width(), h = paper.millimetres.height();
        printer->setPageSize(QPageSize(QSizeF(std::min(w, h), std::max(w, h)), QPageSize::Millimeter, QString(),
                                       QPageSize::FuzzyMatch));
    }
    printer->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
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
