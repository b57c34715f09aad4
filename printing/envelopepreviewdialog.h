#pragma once
// "Print preview" of envelopes: one envelope at a time in the preview
// canvas, drawn by the EnvelopePrinter without the calibration, with the
// page counter "%d / %d" and Back, Next, Print and Cancel. Print closes with
// OK; the caller then prints the same job.
#include "envelopeprinter.h"

#include <QDialog>

class PreviewCanvas;
class QLabel;
class QPushButton;

class EnvelopePreviewDialog : public QDialog {
    Q_OBJECT
public:
    // `metrics` are the printer's (its LOGPIXELSX and LOGPIXELSY place the
    // drawing and size its fonts).
    EnvelopePreviewDialog(QWidget *parent, const EnvelopeJob &job, const DeviceMetrics &metrics);

    // The page extent in printer pixels: trunc(LOGPIXELSX × A ÷ 25.4) by
    // trunc(LOGPIXELSY × B ÷ 25.4), without rounding.
    static QSize PageExtent(const EnvelopeSize &size, const DeviceMetrics &metrics);

    int Page() const { return m_page; }
    int LastPage() const { return m_lastPage; }
    void SetPage(int page);

    PreviewCanvas *Canvas() const { return m_canvas; }
    QLabel *Counter() const { return m_counter; }
    QPushButton *BackButton() const { return m_back; }
    QPushButton *NextButton() const { return m_next; }
    QPushButton *PrintButton() const { return m_print; }
    QPushButton *CancelButton() const { return m_cancel; }

private:
    void reportLogoFailure();

    const EnvelopeJob &m_job;
    DeviceMetrics m_metrics;
    int m_page = 0;
    int m_lastPage = 0;
    bool m_logoReportPending = false;
    PreviewCanvas *m_canvas = nullptr;
    QLabel *m_counter = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_cancel = nullptr;
};
