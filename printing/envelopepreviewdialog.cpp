#include "envelopepreviewdialog.h"

#include "previewcanvas.h"
#include "tvmessage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

QSize EnvelopePreviewDialog::PageExtent(const EnvelopeSize &size, const DeviceMetrics &metrics)
{
    return {int(std::trunc(metrics.LOGPIXELSX * size.A * kInchesPerMillimetre)),
            int(std::trunc(metrics.LOGPIXELSY * size.B * kInchesPerMillimetre))};
}

EnvelopePreviewDialog::EnvelopePreviewDialog(QWidget *parent, const EnvelopeJob &job, const DeviceMetrics &metrics)
    : QDialog(parent), m_job(job), m_metrics(metrics)
{
    setWindowTitle(QStringLiteral("Print preview"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Check the print preview and start printing."), this));

    m_canvas = new PreviewCanvas(this);
    m_canvas->SetPageExtent(PageExtent(job.size, metrics));
    m_canvas->SetProportions(QSize(int(std::trunc(job.size.A)), int(std::trunc(job.size.B))));
    m_canvas->SetFontResolution(metrics.LOGPIXELSY);
    m_canvas->SetPainter([this](PrintDevice &device, int page) {
        EnvelopePrinter printer(device, m_job, m_metrics, false);
        printer.SetLogoFailureHandler([this] { reportLogoFailure(); });
        printer.DrawPreviewPage(page);
    });
    layout->addWidget(m_canvas, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("Page"), this));
    m_counter = new QLabel(this);
    buttons->addWidget(m_counter);
    buttons->addStretch(1);
    m_back = new QPushButton(QStringLiteral("Back"), this);
    m_next = new QPushButton(QStringLiteral("Next"), this);
    m_print = new QPushButton(QStringLiteral("Print"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_print->setDefault(true);
    for (QPushButton *b : {m_back, m_next, m_print, m_cancel})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(m_back, &QPushButton::clicked, this, [this] { SetPage(m_page - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { SetPage(m_page + 1); });
    connect(m_print, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_lastPage = std::max(0, job.copies * int(job.addresses.size()) - 1);
    resize(720, 480);
    SetPage(0);
}

void EnvelopePreviewDialog::SetPage(int page)
{
    m_page = std::clamp(page, 0, m_lastPage);
    m_counter->setText(QStringLiteral("%1 / %2").arg(m_page + 1).arg(m_lastPage + 1));
    m_back->setEnabled(m_page > 0);
    m_next->setEnabled(m_page < m_lastPage);
    m_canvas->SetPage(m_page);
}

void EnvelopePreviewDialog::reportLogoFailure()
{
    // Painting goes on; the message is shown once the paint is over.
    if (m_logoReportPending)
        return;
    m_logoReportPending = true;
    QTimer::singleShot(0, this, [this] {
        m_logoReportPending = false;
        CTVError::Show(108, TVB_OK);
    });
}
