#include "compoundfile.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t kFree = 0xFFFFFFFF;
constexpr std::uint32_t kEnd = 0xFFFFFFFE;
constexpr std::uint32_t kFatSect = 0xFFFFFFFD;
constexpr std::uint32_t kDifSect = 0xFFFFFFFC;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr int kSector = 512;
constexpr int kMiniCutoff = 4096;
constexpr int kHeaderDifat = 109;
constexpr int kFatPerSector = kSector / 4;          // 128
constexpr int kDifatPerSector = kSector / 4 - 1;    // 127 and the next link

void put16(char *p, std::uint16_t v)
{
    p[0] = char(v & 0xFF);
    p[1] = char(v >> 8);
}

void put32(char *p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((v >> (8 * i)) & 0xFF);
}

void directoryEntry(char *e, const QString &name, std::uint8_t type, std::uint32_t child, std::uint32_t start,
                    std::uint64_t size)
{
    std::memset(e, 0, 128);
    const int units = int(std::min<qsizetype>(name.size(), 31));
    for (int i = 0; i < units; ++i)
        put16(e + 2 * i, name.at(i).unicode());
    put16(e + 64, std::uint16_t(units == 0 ? 0 : (units + 1) * 2));
    e[66] = char(type);
    e[67] = 1; // black
    put32(e + 68, kNoStream);
    put32(e + 72, kNoStream);
    put32(e + 76, child);
    put32(e + 116, start);
    put32(e + 120, std::uint32_t(size));
    put32(e + 124, std::uint32_t(size >> 32));
}

} // namespace

QByteArray BuildCompoundFile(const QByteArray &streamIn, const QString &streamName)
{
    QByteArray stream = streamIn;
    // Readers stop at the zero record header of the padding.
    if (stream.size() < kMiniCutoff)
        stream.append(QByteArray(kMiniCutoff - stream.size(), '\0'));
    const std::uint64_t streamSize = std::uint64_t(stream.size());
    const std::uint32_t streamSectors = std::uint32_t((streamSize + kSector - 1) / kSector);

    // The FAT covers every sector, its own and the DIFAT's included.
    std::uint32_t fatSectors = 1, difatSectors = 0;
    for (;;) {
        const std::uint32_t total = streamSectors + 1 + fatSectors + difatSectors;
        const std::uint32_t needFat = (total + kFatPerSector - 1) / kFatPerSector;
        const std::uint32_t needDifat =
            needFat > std::uint32_t(kHeaderDifat) ? (needFat - kHeaderDifat + kDifatPerSector - 1) / kDifatPerSector : 0;
        if (needFat == fatSectors && needDifat == difatSectors)
            break;
        fatSectors = needFat;
        difatSectors = needDifat;
    }
    const std::uint32_t dirSector = streamSectors;
    const std::uint32_t firstFat = dirSector + 1;
    const std::uint32_t firstDifat = firstFat + fatSectors;
    const std::uint32_t totalSectors = firstDifat + difatSectors;

    QByteArray out(qsizetype(kSector) * (1 + qsizetype(totalSectors)), '\0');
    char *base = out.data();

    // Header.
    static const unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(base, kSignature, 8);
    put16(base + 0x18, 0x003E);
    put16(base + 0x1A, 3);
    put16(base + 0x1C, 0xFFFE);
    put16(base + 0x1E, 9);
    put16(base + 0x20, 6);
    put32(base + 0x2C, fatSectors);
    put32(base + 0x30, dirSector);
    put32(base + 0x38, kMiniCutoff);
    put32(base + 0x3C, kEnd);
    put32(base + 0x40, 0);
    put32(base + 0x44, difatSectors ? firstDifat : kEnd);
    put32(base + 0x48, difatSectors);
    for (int i = 0; i < kHeaderDifat; ++i)
        put32(base + 0x4C + 4 * i, std::uint32_t(i) < fatSectors ? firstFat + std::uint32_t(i) : kFree);

    auto sector = [&](std::uint32_t n) { return base + qsizetype(kSector) * (qsizetype(n) + 1); };

    // The stream.
    std::memcpy(sector(0), stream.constData(), std::size_t(stream.size()));

    // Directory: root, the stream, two empty entries.
    char *dir = sector(dirSector);
    directoryEntry(dir, QStringLiteral("Root Entry"), 5, 1, kEnd, 0);
    directoryEntry(dir + 128, streamName, 2, kNoStream, 0, streamSize);
    for (int i = 2; i < 4; ++i) {
        char *e = dir + 128 * i;
        std::memset(e, 0, 128);
        put32(e + 68, kNoStream);
        put32(e + 72, kNoStream);
        put32(e + 76, kNoStream);
    }

    // FAT.
    std::vector<std::uint32_t> fat(std::size_t(fatSectors) * kFatPerSector, kFree);
    for (std::uint32_t i = 0; i < streamSectors; ++i)
        fat[i] = i + 1 < streamSectors ? i + 1 : kEnd;
    fat[dirSector] = kEnd;
    for (std::uint32_t i = 0; i < fatSectors; ++i)
        fat[firstFat + i] = kFatSect;
    for (std::uint32_t i = 0; i < difatSectors; ++i)
        fat[firstDifat + i] = kDifSect;
    for (std::size_t i = 0; i < fat.size(); ++i)
        put32(sector(firstFat + std::uint32_t(i / kFatPerSector)) + 4 * (i % kFatPerSector), fat[i]);

    // DIFAT sectors: the FAT sectors after the first 109, 127 to a sector,
    // each sector ending with the next one's number.
    std::uint32_t fatIndex = kHeaderDifat;
    for (std::uint32_t d = 0; d < difatSectors; ++d) {
        char *s = sector(firstDifat + d);
        for (int i = 0; i < kDifatPerSector; ++i, ++fatIndex)
            put32(s + 4 * i, fatIndex < fatSectors ? firstFat + fatIndex : kFree);
        put32(s + 4 * kDifatPerSector, d + 1 < difatSectors ? firstDifat + d + 1 : kEnd);
    }
    return out;
}
