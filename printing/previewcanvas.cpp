#include "previewcanvas.h"

#include "painterdevice.h"

#include <QPainter>
#include <cmath>

PreviewCanvas::PreviewCanvas(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(200, 100);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PreviewCanvas::SetPageExtent(const QSize &printerPixels)
{
    m_extent = printerPixels;
    m_cacheValid = false;
    update();
}

void PreviewCanvas::SetProportions(const QSize &millimetres)
{
    m_proportions = millimetres;
    m_cacheValid = false;
    update();
}

void PreviewCanvas::SetPainter(PagePainter painter)
{
    m_painter = std::move(painter);
    m_cacheValid = false;
    update();
}

void PreviewCanvas::SetFontResolution(int unitsPerInch)
{
    m_fontResolution = unitsPerInch;
    m_cacheValid = false;
    update();
}

void PreviewCanvas::SetPage(int page)
{
    m_page = page;
    m_cacheValid = false;
    update();
}

QSize PreviewCanvas::FitPicture(const QSize &proportions, const QSize &client)
{
    const int W = proportions.width(), H = proportions.height();
    const int cw = client.width(), ch = client.height();
    if (W <= 0 || H <= 0 || cw <= 0 || ch <= 0)
        return {0, 0};
    if (double(W) / H < double(cw) / ch)
        return {int(std::trunc(double(W) * ch / H)), ch};
    return {cw, int(std::trunc(double(H) * cw / W))};
}

QRect PreviewCanvas::PictureRect() const
{
    const QSize picture = FitPicture(m_proportions, size());
    return QRect(QPoint((width() - picture.width()) / 2, (height() - picture.height()) / 2), picture);
}

QImage PreviewCanvas::Render(const QSize &pictureSize) const
{
    if (pictureSize.width() <= 0 || pictureSize.height() <= 0)
        return QImage();
    QImage image(pictureSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (m_extent.width() <= 0 || m_extent.height() <= 0)
        return image;
    QPainter painter(&image);
    PainterDevice device(painter);
    device.SetMapping(m_extent, pictureSize);
    if (m_fontResolution > 0)
        device.SetFontResolution(m_fontResolution);
    device.FillRect(QRect(QPoint(0, 0), m_extent), 0xFFFFFF);
    if (m_painter && m_page >= 0)
        m_painter(device, m_page);
    painter.end();
    return image;
}

QImage PreviewCanvas::Picture()
{
    if (m_page < 0)
        return QImage();
    const QSize picture = PictureRect().size();
    if (!m_cacheValid || m_cache.size() != picture) {
        m_cache = Render(picture);
        m_cacheValid = true;
    }
    return m_cache;
}

void PreviewCanvas::resizeEvent(QResizeEvent *event)
{
    m_cacheValid = false;
    QWidget::resizeEvent(event);
}

void PreviewCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    const QImage picture = Picture();
    if (!picture.isNull())
        painter.drawImage(PictureRect().topLeft(), picture);
}
