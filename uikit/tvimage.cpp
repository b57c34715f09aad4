#include "tvimage.h"
#include "tvtga_p.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <algorithm>

namespace {

// The Qt format name of a format code; empty for Unknown.
QByteArray qtFormatName(TVImageFormat format)
{
    switch (format) {
    case TVImageFormat::Bmp: return "bmp";
    case TVImageFormat::Gif: return "gif";
    case TVImageFormat::Jpeg: return "jpeg";
    case TVImageFormat::Png: return "png";
    case TVImageFormat::Ico: return "ico";
    case TVImageFormat::Tiff: return "tiff";
    case TVImageFormat::Tga: return "tga";
    case TVImageFormat::Pcx: return "pcx";
    case TVImageFormat::Unknown: break;
    }
    return {};
}

// The formats a file or buffer may turn out to be. Qt reads more (PBM, XPM,
// WebP, ...), but a text file must not pass for a picture because it happens
// to parse as one of those, so detection admits only these.
bool admittedFormat(const QByteArray &qtName)
{
    static const QByteArray kAdmitted[] = {"bmp", "dib", "gif", "ico", "cur", "jpeg", "jpg",
                                           "png", "tga", "tiff", "tif", "pcx"};
    const QByteArray name = qtName.toLower();
    return std::find(std::begin(kAdmitted), std::end(kAdmitted), name) != std::end(kAdmitted);
}

// Reads one image from a reader already set up; null on failure or when the
// detected format is not admitted.
QImage readAdmitted(QImageReader &reader)
{
    // The reader tells its format only before reading.
    if (!admittedFormat(reader.format()))
        return {};
    QImage image;
    if (!reader.read(&image))
        return {};
    return image;
}

// The image with any transparency laid on white, in 24-bit RGB.
QImage flattenedOnWhite(const QImage &source)
{
    if (!source.hasAlphaChannel())
        return source.convertToFormat(QImage::Format_RGB888);
    QImage canvas(source.size(), QImage::Format_RGB888);
    if (canvas.isNull())
        return {};
    canvas.setDotsPerMeterX(source.dotsPerMeterX());
    canvas.setDotsPerMeterY(source.dotsPerMeterY());
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.drawImage(0, 0, source);
    painter.end();
    return canvas;
}

} // namespace

void CTVImage::Destroy()
{
    m_image = QImage();
}

bool CTVImage::Copy(const CTVImage &source)
{
    m_jpegQuality = source.m_jpegQuality;
    if (source.m_image.isNull()) {
        m_image = QImage();
        return true;
    }
    m_image = source.m_image.copy();
    return !m_image.isNull();
}

bool CTVImage::Load(const QString &path)
{
    m_image = QImage();
    // First by contents, as a file's suffix may lie; then by the suffix, for
    // formats without a signature (TGA).
    {
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        m_image = readAdmitted(reader);
    }
    if (m_image.isNull()) {
        if (QFileInfo(path).suffix().compare(QLatin1String("tga"), Qt::CaseInsensitive) == 0) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                m_image = TVDecodeTga(file.readAll());
        } else {
            QImageReader reader(path);
            m_image = readAdmitted(reader);
        }
    }
    return !m_image.isNull();
}

bool CTVImage::Decode(const QByteArray &bytes, TVImageFormat format)
{
    m_image = QImage();
    if (bytes.isEmpty())
        return false;
    if (format == TVImageFormat::Jpeg && !IsCompleteJpeg(bytes))
        return false;
    if (format == TVImageFormat::Tga) {
        m_image = TVDecodeTga(bytes);
        return !m_image.isNull();
    }
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return false;
    QImageReader reader(&buffer, qtFormatName(format));
    if (format != TVImageFormat::Unknown)
        reader.setAutoDetectImageFormat(false);
    m_image = readAdmitted(reader);
    return !m_image.isNull();
}

bool CTVImage::Decode(const uchar *bytes, qsizetype length, TVImageFormat format)
{
    if (!bytes || length <= 0) {
        m_image = QImage();
        return false;
    }
    return Decode(QByteArray::fromRawData(reinterpret_cast<const char *>(bytes), length), format);
}

bool CTVImage::IncreaseBpp(int bpp)
{
    if (m_image.isNull())
        return false;
    QImage converted;
    if (bpp == 24) {
        if (m_image.format() == QImage::Format_RGB888)
            return true;
        converted = flattenedOnWhite(m_image);
    } else if (bpp == 32) {
        if (m_image.format() == QImage::Format_ARGB32)
            return true;
        converted = m_image.convertToFormat(QImage::Format_ARGB32);
    } else {
        return false;
    }
    if (converted.isNull())
        return false;
    m_image = converted;
    return true;
}

int CTVImage::GetBpp() const
{
    if (m_image.isNull())
        return 0;
    const int depth = m_image.depth();
    if (depth <= 16)
        return depth;
    return m_image.hasAlphaChannel() ? 32 : 24;
}

void CTVImage::SetJpegQuality(int quality)
{
    m_jpegQuality = std::clamp(quality, 0, 100);
}

bool CTVImage::Encode(QByteArray &out, TVImageFormat format) const
{
    out.clear();
    const QByteArray name = qtFormatName(format);
    if (m_image.isNull() || name.isEmpty() || !QImageWriter::supportedImageFormats().contains(name))
        return false;
    QImage source = m_image;
    if (format == TVImageFormat::Jpeg && source.hasAlphaChannel()) {
        // JPEG keeps no alpha; transparent parts become paper white rather than
        // whatever colour the transparent pixels happen to hold.
        source = flattenedOnWhite(source);
        if (source.isNull())
            return false;
    }
    QBuffer buffer(&out);
    if (!buffer.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&buffer, name);
    if (format == TVImageFormat::Jpeg)
        writer.setQuality(m_jpegQuality);
    if (!writer.write(source)) {
        buffer.close();
        out.clear();
        return false;
    }
    buffer.close();
    if (format == TVImageFormat::Jpeg && !IsCompleteJpeg(out)) {
        out.clear();
        return false;
    }
    return !out.isEmpty();
}

bool CTVImage::Thumbnail(int width, int height, const QColor &background)
{
    if (m_image.isNull() || width < 1 || height < 1)
        return false;
    const int iw = m_image.width();
    const int ih = m_image.height();
    int tw = iw;
    int th = ih;
    if (iw > width || ih > height) {
        // The side that meets the box first takes its full length.
        if (double(width) / height < double(iw) / ih) {
            tw = width;
            th = std::clamp(int(double(width) * ih / iw + 0.5), 1, height);
        } else {
            th = height;
            tw = std::clamp(int(double(height) * iw / ih + 0.5), 1, width);
        }
    }
    QImage reduced = m_image;
    if (tw != iw || th != ih) {
        reduced = m_image.scaled(tw, th, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (reduced.isNull())
            return false;
    }
    QImage canvas(width, height,
                  background.alpha() == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull())
        return false;
    canvas.fill(background);
    QPainter painter(&canvas);
    painter.drawImage((width - tw) / 2, (height - th) / 2, reduced);
    painter.end();
    m_image = canvas;
    return true;
}

bool CTVImage::Resample(int width, int height, TVResampleMode mode, CTVImage &out) const
{
    if (&out != this)
        out.Destroy();
    if (m_image.isNull() || width < 1 || height < 1)
        return false;
    const Qt::TransformationMode how =
        mode == TVResampleMode::Nearest ? Qt::FastTransformation : Qt::SmoothTransformation;
    QImage scaled = m_image.scaled(width, height, Qt::IgnoreAspectRatio, how);
    if (scaled.isNull() || scaled.width() != width || scaled.height() != height)
        return false;
    out.m_image = scaled;
    out.m_jpegQuality = m_jpegQuality;
    return true;
}

bool CTVImage::Draw2(QPainter *painter, int x, int y, int width, int height) const
{
    if (!painter || !painter->isActive() || m_image.isNull())
        return false;
    if (width < 0)
        width = m_image.width();
    if (height < 0)
        height = m_image.height();
    if (width == 0 || height == 0)
        return true;
    painter->drawImage(QRect(x, y, width, height), m_image);
    return true;
}

bool CTVImage::IsCompleteJpeg(const QByteArray &bytes)
{
    if (bytes.size() < 4)
        return false;
    const auto *b = reinterpret_cast<const uchar *>(bytes.constData());
    if (b[0] != 0xFF || b[1] != 0xD8 || b[2] != 0xFF)
        return false;
    const qsizetype end = bytes.lastIndexOf(QByteArray("\xFF\xD9", 2));
    return end >= 2;
}

bool CTVImage::CanDecode(TVImageFormat format)
{
    if (format == TVImageFormat::Tga)
        return true; // our own reader
    const QByteArray name = qtFormatName(format);
    return !name.isEmpty() && QImageReader::supportedImageFormats().contains(name);
}
