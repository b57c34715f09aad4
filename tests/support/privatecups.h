#pragma once
// A private CUPS server for printing tests: its own cupsd on a socket in a
// temporary folder (never the system's server), one cups-pdf queue whose
// files land in a folder of the test, and CUPS_SERVER pointing at it for the
// rest of the process. Stopped, with the queue's cups-pdf settings removed,
// when the object goes. Needs the packages cups and printer-driver-cups-pdf
// (scripts/install-deps.sh).
#include <QImage>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

class PrivateCups {
public:
    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups &) = delete;
    PrivateCups &operator=(const PrivateCups &) = delete;

    // Empty when the server and its queue run; otherwise what went wrong.
    QString Error() const { return m_error; }
    QString QueueName() const { return m_queue; }

    // Waits until the queue has no jobs left and returns the PDF file its
    // last job wrote (the newest file of the output folder); empty after
    // `timeoutMs` or when nothing was written. The file is moved out of the
    // output folder, so the next call sees only the next job.
    QString TakeOutput(int timeoutMs = 60000);
    // The options the queue's PPD offers (lpoptions -l), one per line.
    QString QueueOptions() const;

    // Adds a queue `name` driven by the PPD file `ppd` whose device is a file:
    // each job is kept as the printer would get it (PostScript, the PPD's
    // feature code for the job's options included). False when it cannot.
    bool AddFileQueue(const QString &name, const QString &ppd);
    // Waits until the file queue `name` has no jobs left and returns what its
    // last job sent, removing it; empty after `timeoutMs`.
    QByteArray TakeFileOutput(const QString &name, int timeoutMs = 60000);
    // A folder of the server's that lives as long as it (for test files).
    QString Folder() const { return m_dir.path(); }

private:
    bool run(const QString &program, const QStringList &arguments, QString *out = nullptr) const;

    QTemporaryDir m_dir;
    QString m_error;
    QString m_queue;
    QString m_pdfConfig; // /etc/cups/cups-pdf-<name>.conf of the queue
    std::unique_ptr<QProcess> m_cupsd;
    int m_taken = 0;
};

// The first page of a PDF rendered by pdftoppm in grey at `dpi`; null on failure.
QImage RenderPdfPage(const QString &pdf, int dpi, int page = 1);

// Compares the ink (pixels darker than mid-grey) of two renderings of one
// page at the same resolution: `printed` is first turned by a quarter turn
// either way when its shape is the other way round, and the turn that
// matches best is kept. `matched` is the share (0–1) of the ink pixels of
// each picture that have ink of the other within `tolerance` pixels; the
// smaller of the two shares is returned; -1 when the pages differ in size by
// more than `tolerance` pixels. Ink within `edge` pixels of a page's border
// is left out: a queue rounds the page to whole points and so may lose
// hairlines drawn on the paper's very edge.
double InkAgreement(const QImage &reference, const QImage &printed, int tolerance, QString *detail = nullptr,
                    int edge = 0);
