#include "device.h"

#include <QColor>
#include <QPaintDevice>
#include <algorithm>
#include <cmath>

DeviceMetrics MetricsOf(const QPaintDevice &device)
{
    DeviceMetrics m;
    m.LOGPIXELSX = device.logicalDpiX();
    m.LOGPIXELSY = device.logicalDpiY();
    m.VERTRES = device.height();
    m.HORZRES = device.width();
    m.VERTSIZE = device.heightMM();
    m.HORZSIZE = device.widthMM();
    return m;
}

int PrintDevice::PointFontPixels(int tenths) const
{
    const long long pixels = static_cast<long long>(FontResolution()) * tenths / 720;
    return static_cast<int>(std::max<long long>(1, pixels));
}

QColor ColorFromRef(std::uint32_t colorref)
{
    return QColor(int(colorref & 0xFF), int((colorref >> 8) & 0xFF), int((colorref >> 16) & 0xFF));
}

int ScaledFontTenths(int tenths, double scale)
{
    const double scaled = std::trunc(tenths * scale);
    return scaled >= 1 ? static_cast<int>(std::min(scaled, 1e9)) : 1;
}

QImage ResampleNearest(const QImage &image, const QSize &size)
{
    if (image.isNull() || size.width() <= 0 || size.height() <= 0)
        return QImage();
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}
