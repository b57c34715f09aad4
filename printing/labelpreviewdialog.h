#pragma once
// "Print preview" of a label job: the sheets one page at a time, with the
// counter "current / last", Back and Next, Print (closes with OK; the
// caller then prints the same job) and Cancel.
//
// The canvas shows the page extent (HORZRES + LOGPIXELSX ÷ 2 by VERTRES +
// LOGPIXELSY ÷ 2 printer pixels) mapped onto a picture with the sheet's
// proportions. Fonts are point-size fonts of the screen, seen through that
// mapping, scaled by s = canvas height ÷ (screen LOGPIXELSY × 297 ÷ 25.4):
// the text keeps its size relative to an A4 page. Labels stand at
// uncalibrated positions.
#include "labelprinter.h"

#include <QDialog>

class PreviewCanvas;
class QLabel;
class QPushButton;

class LabelPreviewDialog : public QDialog {
    Q_OBJECT
public:
    // `printer` are the measurements of the printer the job will go to.
    LabelPreviewDialog(QWidget *parent, const LabelJob &job, const DeviceMetrics &printer);

    int CurrentPage() const { return m_page; }
    int LastPage() const { return m_lastPage; }
    void ShowPage(int page);

    // s above, for a canvas of this height on a screen of this resolution.
    static double FontScale(int canvasHeight, int screenDpi);

    PreviewCanvas *Canvas() const { return m_canvas; }
    QLabel *Counter() const { return m_counter; }
    QPushButton *BackButton() const { return m_back; }
    QPushButton *NextButton() const { return m_next; }
    QPushButton *PrintButton() const { return m_print; }

private:
    void paintPage(PrintDevice &device, int page) const;

    const LabelJob &m_job;
    DeviceMetrics m_printer;
    int m_page = 0;
    int m_lastPage = 0;
    PreviewCanvas *m_canvas = nullptr;
    QLabel *m_counter = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_print = nullptr;
};
