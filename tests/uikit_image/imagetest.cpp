#include "imagetest.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <cstdlib>

QImage SolidImage(int width, int height, const QColor &colour, QImage::Format format)
{
    QImage image(width, height, format);
    image.fill(colour);
    return image;
}

QByteArray EncodedWith(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image))
        return {};
    return bytes;
}

QByteArray TgaFile(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QByteArray bytes(18, '\0');
    bytes[2] = 2; // uncompressed true colour
    bytes[12] = char(rgb.width() & 0xFF);
    bytes[13] = char(rgb.width() >> 8);
    bytes[14] = char(rgb.height() & 0xFF);
    bytes[15] = char(rgb.height() >> 8);
    bytes[16] = 24;
    bytes[17] = 0x20; // top-left origin
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = rgb.pixel(x, y);
            bytes.append(char(qBlue(p)));
            bytes.append(char(qGreen(p)));
            bytes.append(char(qRed(p)));
        }
    return bytes;
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool NearColour(QRgb a, const QColor &b, int tolerance)
{
    return std::abs(qRed(a) - b.red()) <= tolerance && std::abs(qGreen(a) - b.green()) <= tolerance &&
           std::abs(qBlue(a) - b.blue()) <= tolerance;
}
