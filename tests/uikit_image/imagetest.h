#pragma once
// Helpers of the image tests: pictures made in memory and files written into
// a temporary folder.
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

// A width x height picture in one colour.
QImage SolidImage(int width, int height, const QColor &colour, QImage::Format format = QImage::Format_RGB32);
// The bytes of `image` encoded in a format Qt writes ("png", "bmp", "jpeg", ...).
QByteArray EncodedWith(const QImage &image, const char *format);
// An uncompressed 24-bit TGA file of the picture (Qt has no TGA writer).
QByteArray TgaFile(const QImage &image);
// Writes bytes to a file; false on failure.
bool WriteFile(const QString &path, const QByteArray &bytes);
// True when the two colours differ by at most `tolerance` in each channel.
bool NearColour(QRgb a, const QColor &b, int tolerance);
