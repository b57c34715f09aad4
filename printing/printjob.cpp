#include "printjob.h"

#include "painterdevice.h"
#include "printers.h"
#include "printprogressdialog.h"
#include "tvstrings.h"

#include <QFile>
#include <QPrinter>
#include <QWidget>

PrintJob::PrintJob(QPrinter &printer, QWidget *owner) : m_printer(printer), m_owner(owner) {}

PrintJob::~PrintJob()
{
    if (m_started)
        EndDoc();
    finish();
}

bool PrintJob::StartDoc(const QString &documentName)
{
    if (m_started)
        return false;
    if (IsPdfPrinter(m_printer)) {
        m_outputFile = ChoosePdfOutputFile(m_owner);
        if (m_outputFile.isEmpty())
            return false;
        m_printer.setOutputFileName(m_outputFile);
    }
    m_printer.setDocName(documentName);

    if (m_owner && m_owner->isEnabled()) {
        m_owner->setEnabled(false);
        m_ownerDisabled = true;
    }
    m_progress = new PrintProgressDialog(m_owner, TVLoadStringResource(46));
    // Disabling the owner disables its windows too; the progress window
    // alone takes input while the job runs.
    m_progress->setEnabled(true);
    if (!m_painter.begin(&m_printer)) {
        finish();
        return false;
    }
    m_device = std::make_unique<PainterDevice>(m_painter);
    m_started = true;
    m_aborted = false;
    return true;
}

bool PrintJob::checkAbort()
{
    if (m_aborted)
        return false;
    if (!PrintAbortProc()) {
        Abort();
        return false;
    }
    return true;
}

bool PrintJob::StartPage(int pageNumber)
{
    if (!m_started || m_inPage)
        return false;
    if (m_progress)
        m_progress->SetStatusText(TVLoadStringResource(47) + u' ' + QString::number(pageNumber));
    if (!checkAbort())
        return false;
    if (m_pagesStarted > 0 && !m_printer.newPage()) {
        Abort();
        return false;
    }
    ++m_pagesStarted;
    m_inPage = true;
    return true;
}

bool PrintJob::EndPage()
{
    if (!m_started || !m_inPage)
        return false;
    m_inPage = false;
    if (!checkAbort())
        return false;
    ++m_pagesDone;
    return true;
}

void PrintJob::Abort()
{
    if (!m_started || m_aborted)
        return;
    m_aborted = true;
    m_inPage = false;
    m_printer.abort();
}

void PrintJob::EndDoc()
{
    if (m_started) {
        m_device.reset();
        if (m_painter.isActive())
            m_painter.end();
        m_started = false;
        // A cancelled document produces no output: the PDF printer cannot
        // take back what it has written, so its file is removed.
        if (m_aborted && !m_outputFile.isEmpty())
            QFile::remove(m_outputFile);
    }
    finish();
}

void PrintJob::finish()
{
    if (m_progress) {
        m_progress->hide();
        delete m_progress.data();
    }
    if (m_ownerDisabled && m_owner)
        m_owner->setEnabled(true);
    m_ownerDisabled = false;
}

PrintDevice &PrintJob::Device()
{
    return *m_device;
}

DeviceMetrics PrintJob::Metrics() const
{
    return m_device ? m_device->Metrics() : MetricsOf(m_printer);
}

PrintProgressDialog *PrintJob::Progress() const
{
    return m_progress.data();
}
