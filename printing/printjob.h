#pragma once
// One print job on a QPrinter: start the document (with its name), start
// and end each page, end the document, or abort. The job shows the
// PrintProgressDialog over its owner window, disables the owner while it
// runs and enables it again at its end; Cancel in the progress window makes
// the next StartPage or EndPage fail, and the job is then ended with EndDoc
// as every job ends. An aborted PDF job leaves no file behind.
//
//     PrintJob job(*printer, owner);
//     if (job.StartDoc(TVLoadStringResource(88))) {
//         for (int page = 1; page <= pages; ++page) {
//             if (!job.StartPage(page)) break;
//             draw(job.Device());
//             if (!job.EndPage()) break;
//         }
//         job.EndDoc();
//     }
#include "device.h"

#include <QPainter>
#include <QPointer>
#include <QString>
#include <memory>

class PainterDevice;
class PrintProgressDialog;
class QPrinter;
class QWidget;

class PrintJob {
public:
    PrintJob(QPrinter &printer, QWidget *owner);
    ~PrintJob(); // ends an open document and restores the owner window
    PrintJob(const PrintJob &) = delete;
    PrintJob &operator=(const PrintJob &) = delete;

    // For the PDF printer first takes the output file (PdfOutputFile or the
    // save dialog; cancelling it fails the start). Then shows the progress
    // window with message 46, disables the owner and begins the document.
    // False when the document cannot be started; nothing more is to be done.
    bool StartDoc(const QString &documentName);
    // Sets the progress text to "printing page <n>", lets the progress
    // window handle its events and starts the page; false when the job was
    // aborted.
    bool StartPage(int pageNumber);
    // Ends the page; false when the job was aborted.
    bool EndPage();
    // Ends the document (also after an abort), enables the owner window and
    // closes the progress window.
    void EndDoc();
    // Cancels the document at once.
    void Abort();

    bool IsAborted() const { return m_aborted; }
    bool IsStarted() const { return m_started; }
    // Pages ended successfully.
    int PagesPrinted() const { return m_pagesDone; }
    // The output file of a PDF job (empty for other printers).
    QString OutputFile() const { return m_outputFile; }

    // The device of the running document (valid between StartDoc and EndDoc).
    PrintDevice &Device();
    DeviceMetrics Metrics() const;
    PrintProgressDialog *Progress() const;
    QPrinter &Printer() { return m_printer; }

private:
    bool checkAbort();
    void finish();

    QPrinter &m_printer;
    QPointer<QWidget> m_owner;
    bool m_ownerDisabled = false; // the job disabled the owner and enables it again
    QPointer<PrintProgressDialog> m_progress;
    QPainter m_painter;
    std::unique_ptr<PainterDevice> m_device;
    QString m_outputFile;
    bool m_started = false;
    bool m_inPage = false;
    bool m_aborted = false;
    int m_pagesStarted = 0;
    int m_pagesDone = 0;
};
