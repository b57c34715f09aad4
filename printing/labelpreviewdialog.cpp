#include "labelpreviewdialog.h"

#include "labelorder.h"
#include "previewcanvas.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr double kA4HeightInches = 11.69291338582677; // 297 ÷ 25.4

} // namespace

double LabelPreviewDialog::FontScale(int canvasHeight, int screenDpi)
{
    if (canvasHeight <= 0 || screenDpi <= 0)
        return 1.0;
    return double(canvasHeight) / (double(screenDpi) * kA4HeightInches);
}

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
    m_canvas->SetPageExtent(LabelPreviewExtent(printer));
    m_canvas->SetProportions(LabelSheetProportions(job.size));
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
    // Point-size fonts of the screen as they appear through the mapping:
    // the screen's units per inch in printer pixels.
    const int screenDpi = m_canvas->logicalDpiY();
    const int pictureHeight = device.Metrics().VERTRES;
    const QSize extent = m_canvas->PageExtent();
    if (pictureHeight > 0 && extent.height() > 0)
        device.SetFontResolution(
            std::max(1, int(std::lround(double(screenDpi) * extent.height() / pictureHeight))));
    LabelPrinter printer(m_job, m_printer);
    printer.SetFontScale(FontScale(m_canvas->height(), screenDpi));
    printer.DrawPreviewPage(device, page);
}
