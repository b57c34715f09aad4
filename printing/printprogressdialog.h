#pragma once
// The window every print job shows while it spools: which page is being
// produced and a Cancel button that aborts the job at the next page
// boundary. Creating the window clears the process-wide abort flag; Cancel
// (or closing the window) sets it and closes the window.
#include <QDialog>

class QLabel;
class QPushButton;

class PrintProgressDialog : public QDialog {
    Q_OBJECT
public:
    // Shows the window over `owner` with the status line "Status: <status>".
    PrintProgressDialog(QWidget *owner, const QString &status);

    // Replaces the status line with "Status: <status>".
    void SetStatusText(const QString &status);
    QString StatusLine() const;
    QPushButton *CancelButton() const { return m_cancel; }

    void reject() override;

private:
    QLabel *m_status;
    QPushButton *m_cancel;
};

// The abort flag shared by the progress window and the jobs.
bool PrintAbortRequested();
void SetPrintAbortRequested(bool abort);

// Called by a job between pages: while the abort flag is clear, handles
// every pending event of the user interface (so that Cancel works while the
// owner window is disabled). True to continue, false once the flag is set.
bool PrintAbortProc();
