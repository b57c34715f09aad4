#pragma once
// "Print preview" of a label job: the sheets one page at a time, with the
// counter "current / last", Back and Next, Print (closes with OK; the
// caller then prints the same job) and Cancel.
//
// The canvas shows the job's page (the sheet's paper in the calibration's
// orientation) in printer pixels, mapped onto a picture of the same
// proportions; point-size fonts are made for the printer's resolution, so
// text stands in the same relation to the labels as on the printout, on
// every sheet. Labels stand at uncalibrated positions.
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
