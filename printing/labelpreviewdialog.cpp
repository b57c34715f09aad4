#include "labelpreviewdialog.h"

#include "labelorder.h"
#include "previewcanvas.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

LabelPreviewDialog::LabelPreviewDialog(QWidget *parent, const LabelJob &job, const DeviceMetrics &printer)
    : QDialog(parent), m_job(job), m_printer(printer)
{
    setWindowTitle(QStringLiteral("Print preview"));
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Check the print preview and start printing."), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);

    m_canvas = new PreviewCanvas(this);
    m_canvas->setMinimumSize(360, 480);
    m_canvas->SetPageExtent(LabelPreviewExtent(job.size, job.calibration.landscape, printer));
    m_canvas->SetProportions(LabelSheetProportions(job.size, job.calibration.landscape));
    // Point-size text at the printer's resolution: the picture is the printout at one scale.
    m_canvas->SetFontResolution(printer.LOGPIXELSY);
    m_canvas->SetPainter([this](PrintDevice &device, int page) { paintPage(device, page); });
    layout->addWidget(m_canvas, 1);

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Page"), this));
    m_counter = new QLabel(this);
    m_counter->setMinimumWidth(70);
    row->addWidget(m_counter);
    row->addStretch(1);
    m_back = new QPushButton(QStringLiteral("Back"), this);
    m_next = new QPushButton(QStringLiteral("Next"), this);
    m_print = new QPushButton(QStringLiteral("Print"), this);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_back->setAutoDefault(false);
    m_next->setAutoDefault(false);
    cancel->setAutoDefault(false);
    m_print->setDefault(true);
    for (QPushButton *b : {m_back, m_next, m_print, cancel})
        row->addWidget(b);
    layout->addLayout(row);

    connect(m_back, &QPushButton::clicked, this, [this] { ShowPage(m_page - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { ShowPage(m_page + 1); });
    connect(m_print, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    const int perSheet = std::max(0, job.size.M) * std::max(0, job.size.N);
    m_lastPage = LastLabelPageIndex(job.copies, int(job.addresses.size()), job.firstLabel, perSheet);
    resize(520, 720);
    ShowPage(0);
}

void LabelPreviewDialog::ShowPage(int page)
{
    m_page = std::clamp(page, 0, m_lastPage);
    m_counter->setText(QStringLiteral("%1 / %2").arg(m_page + 1).arg(m_lastPage + 1));
    m_back->setEnabled(m_page > 0);
    m_next->setEnabled(m_page < m_lastPage);
    m_canvas->SetPage(m_page);
}

void LabelPreviewDialog::paintPage(PrintDevice &device, int page) const
{
    LabelPrinter printer(m_job, m_printer);
    printer.DrawPreviewPage(device, page);
}
