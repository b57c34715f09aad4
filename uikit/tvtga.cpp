#include "tvtga_p.h"

#include <algorithm>
#include <vector>

namespace {

constexpr qint64 kMaxPixels = qint64(1) << 26; // 64 million: 256 MB as ARGB

struct Reader {
    const uchar *data;
    qsizetype size;
    qsizetype pos = 0;
    bool take(qsizetype n, const uchar *&out)
    {
        if (n < 0 || size - pos < n)
            return false;
        out = data + pos;
        pos += n;
        return true;
    }
};

quint16 le16(const uchar *p)
{
    return quint16(p[0] | (p[1] << 8));
}

// A 15/16-bit TGA pixel: 5 bits each of red, green and blue, blue lowest.
QRgb from555(quint16 v)
{
    const int r = (v >> 10) & 0x1F, g = (v >> 5) & 0x1F, b = v & 0x1F;
    return qRgb((r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2));
}

// One colour of `bits` bits (15, 16, 24, 32) stored blue first.
QRgb colourAt(const uchar *p, int bits, bool alpha)
{
    switch (bits) {
    case 15:
    case 16: return from555(le16(p));
    case 24: return qRgb(p[2], p[1], p[0]);
    case 32: return qRgba(p[2], p[1], p[0], alpha ? p[3] : 255);
    }
    return 0;
}

} // namespace

QImage TVDecodeTga(const QByteArray &bytes)
{
    Reader in{reinterpret_cast<const uchar *>(bytes.constData()), bytes.size()};
    const uchar *h = nullptr;
    if (!in.take(18, h))
        return {};
    const int idLength = h[0];
    const int mapType = h[1];
    const int type = h[2];
    const int mapFirst = le16(h + 3);
    const int mapLength = le16(h + 5);
    const int mapBits = h[7];
    const int width = le16(h + 12);
    const int height = le16(h + 14);
    const int depth = h[16];
    const int descriptor = h[17];
    const bool rle = type >= 9;
    const int kind = rle ? type - 8 : type; // 1 mapped, 2 true colour, 3 grey

    if (mapType > 1 || (kind != 1 && kind != 2 && kind != 3) || (type > 3 && type < 9) || type > 11)
        return {};
    if (width == 0 || height == 0 || qint64(width) * height > kMaxPixels)
        return {};
    if (kind == 1 && (mapType != 1 || (depth != 8 && depth != 16) || mapLength == 0))
        return {};
    if (kind == 2 && depth != 15 && depth != 16 && depth != 24 && depth != 32)
        return {};
    if (kind == 3 && depth != 8 && depth != 16)
        return {};
    if (mapType == 1 && mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32)
        return {};
    const int alphaBits = descriptor & 0x0F;
    const bool alpha = (kind == 3 && depth == 16) || (alphaBits > 0 && (depth == 32 || mapBits == 32));

    const uchar *skipped = nullptr;
    if (!in.take(idLength, skipped))
        return {};
    std::vector<QRgb> palette;
    if (mapType == 1) {
        const int entryBytes = (mapBits + 7) / 8;
        const uchar *map = nullptr;
        if (!in.take(qsizetype(mapLength) * entryBytes, map))
            return {};
        if (kind == 1) {
            palette.resize(std::size_t(mapLength));
            for (int i = 0; i < mapLength; ++i)
                palette[std::size_t(i)] = colourAt(map + i * entryBytes, mapBits, alpha);
        }
    }

    const int pixelBytes = (depth + 7) / 8;
    const qint64 count = qint64(width) * height;
    const qsizetype remaining = in.size - in.pos;
    // Even run-length data cannot hold more than 128 pixels per byte.
    if (rle ? count > qint64(remaining) * 128 : count * pixelBytes > remaining)
        return {};

    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const bool topDown = descriptor & 0x20;
    const bool rightToLeft = descriptor & 0x10;

    // Converts one stored pixel; false for a colour index outside the map.
    auto convert = [&](const uchar *p, QRgb &out) {
        if (kind == 1) {
            const int index = (depth == 8 ? p[0] : le16(p)) - mapFirst;
            if (index < 0 || index >= int(palette.size()))
                return false;
            out = palette[std::size_t(index)];
        } else if (kind == 3) {
            out = qRgba(p[0], p[0], p[0], depth == 16 ? p[1] : 255);
        } else {
            out = colourAt(p, depth, alpha);
        }
        return true;
    };
    auto put = [&](qint64 i, QRgb colour) {
        const int row = int(i / width);
        const int col = int(i % width);
        const int y = topDown ? row : height - 1 - row;
        const int x = rightToLeft ? width - 1 - col : col;
        reinterpret_cast<QRgb *>(image.scanLine(y))[x] = colour;
    };

    qint64 done = 0;
    while (done < count) {
        int run = 1;
        bool repeat = false;
        if (rle) {
            const uchar *packet = nullptr;
            if (!in.take(1, packet))
                return {};
            run = (packet[0] & 0x7F) + 1;
            repeat = packet[0] & 0x80;
            if (done + run > count)
                return {};
        }
        if (repeat) {
            const uchar *p = nullptr;
            QRgb colour = 0;
            if (!in.take(pixelBytes, p) || !convert(p, colour))
                return {};
            for (int k = 0; k < run; ++k)
                put(done++, colour);
        } else {
            if (!rle)
                run = int(std::min<qint64>(count - done, width));
            const uchar *p = nullptr;
            if (!in.take(qsizetype(run) * pixelBytes, p))
                return {};
            for (int k = 0; k < run; ++k) {
                QRgb colour = 0;
                if (!convert(p + k * pixelBytes, colour))
                    return {};
                put(done++, colour);
            }
        }
    }
    return image;
}
