#include "compoundfile.h"

#include <algorithm>
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

namespace {

std::uint32_t get32(const QByteArray &b, qsizetype at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(b.constData() + at);
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::uint16_t get16(const QByteArray &b, qsizetype at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(b.constData() + at);
    return std::uint16_t(p[0] | p[1] << 8);
}

} // namespace

bool ReadCompoundStream(const QByteArray &file, const QStringList &streamNames, QByteArray &stream, QString *why)
{
    auto fail = [&](const char *reason) {
        if (why)
            *why = QString::fromLatin1(reason);
        stream.clear();
        return false;
    };
    static const char kMagic[8] = {'\xD0', '\xCF', '\x11', '\xE0', '\xA1', '\xB1', '\x1A', '\xE1'};
    if (file.size() < 512 || std::memcmp(file.constData(), kMagic, 8) != 0)
        return fail("not a compound file");
    const int shift = get16(file, 0x1E);
    const int miniShift = get16(file, 0x20);
    if ((shift != 9 && shift != 12) || miniShift != 6)
        return fail("unknown sector size");
    const qsizetype sectorSize = qsizetype(1) << shift;
    const qsizetype miniSize = qsizetype(1) << miniShift;
    const std::uint32_t fatCount = get32(file, 0x2C);
    const std::uint32_t dirStart = get32(file, 0x30);
    const std::uint32_t cutoff = get32(file, 0x38);
    const std::uint32_t miniFatStart = get32(file, 0x3C);
    const std::uint32_t miniFatCount = get32(file, 0x40);
    std::uint32_t difatNext = get32(file, 0x44);
    const std::uint32_t difatCount = get32(file, 0x48);
    // Sectors that exist in the file; every number read is checked against it.
    const std::uint64_t sectors =
        file.size() > sectorSize ? std::uint64_t(file.size() - sectorSize + sectorSize - 1) / std::uint64_t(sectorSize) : 0;
    auto sectorAt = [&](std::uint32_t n) -> qsizetype { return qsizetype(n + 1) * sectorSize; };
    auto sectorValid = [&](std::uint32_t n) { return n < sectors; };
    // A sector's bytes; a last sector cut short is padded with zeros.
    auto readSector = [&](std::uint32_t n) {
        QByteArray out = file.mid(sectorAt(n), sectorSize);
        if (out.size() < sectorSize)
            out.append(QByteArray(sectorSize - out.size(), '\0'));
        return out;
    };
    if (fatCount == 0 || fatCount > sectors)
        return fail("bad FAT size");

    // The FAT sector numbers: 109 in the header, the rest in the DIFAT chain.
    std::vector<std::uint32_t> fatSectors;
    for (int i = 0; i < 109 && fatSectors.size() < fatCount; ++i)
        fatSectors.push_back(get32(file, 0x4C + 4 * i));
    const qsizetype perDifat = sectorSize / 4 - 1;
    for (std::uint32_t d = 0; fatSectors.size() < fatCount; ++d) {
        if (d >= difatCount + 1 || d > sectors || !sectorValid(difatNext))
            return fail("DIFAT chain broken");
        const QByteArray s = readSector(difatNext);
        for (qsizetype i = 0; i < perDifat && fatSectors.size() < fatCount; ++i)
            fatSectors.push_back(get32(s, 4 * i));
        difatNext = get32(s, 4 * perDifat);
    }
    std::vector<std::uint32_t> fat;
    fat.reserve(std::size_t(fatCount) * std::size_t(sectorSize / 4));
    for (std::uint32_t f : fatSectors) {
        if (!sectorValid(f))
            return fail("FAT sector outside the file");
        const QByteArray s = readSector(f);
        for (qsizetype i = 0; i < sectorSize / 4; ++i)
            fat.push_back(get32(s, 4 * i));
    }
    // A chain of sectors: stops at the end mark; a loop or a number outside
    // the file or the FAT is damage.
    auto chain = [&](std::uint32_t start, const std::vector<std::uint32_t> &table, std::uint64_t limit,
                     std::vector<std::uint32_t> &out) {
        out.clear();
        std::uint32_t n = start;
        while (n != kEnd) {
            if (n >= table.size() || n >= limit || out.size() >= limit)
                return false;
            out.push_back(n);
            n = table[n];
        }
        return true;
    };

    // The directory.
    std::vector<std::uint32_t> dirChain;
    if (!chain(dirStart, fat, sectors, dirChain) || dirChain.empty())
        return fail("directory chain broken");
    QByteArray dir;
    for (std::uint32_t n : dirChain)
        dir += readSector(n);
    const qsizetype entries = dir.size() / 128;
    std::uint32_t rootStart = kEnd;
    std::uint64_t rootSize = 0;
    qsizetype found = -1;
    for (qsizetype e = 0; e < entries; ++e) {
        const qsizetype at = e * 128;
        const int type = quint8(dir[at + 66]);
        const int nameBytes = std::min<int>(get16(dir, at + 64), 64);
        QString name;
        for (int i = 0; i + 1 < nameBytes - 1; i += 2)
            name += QChar(get16(dir, at + i));
        if (type == 5 && e == 0) {
            rootStart = get32(dir, at + 116);
            rootSize = get32(dir, at + 120);
        }
        if (type == 2 && found < 0)
            for (const QString &wanted : streamNames)
                if (name.compare(wanted, Qt::CaseInsensitive) == 0)
                    found = e;
    }
    if (found < 0)
        return fail("no workbook stream");
    const qsizetype at = found * 128;
    const std::uint32_t start = get32(dir, at + 116);
    std::uint64_t size = get32(dir, at + 120);
    if (shift == 12)
        size |= std::uint64_t(get32(dir, at + 124)) << 32;
    if (size > std::uint64_t(file.size()))
        return fail("stream larger than the file");

    stream.clear();
    if (size < cutoff) {
        // A small stream lives in the mini stream, 64 bytes to a sector.
        std::vector<std::uint32_t> miniFatChain, rootChain, miniChain;
        if (miniFatCount == 0 || !chain(miniFatStart, fat, sectors, miniFatChain) || !chain(rootStart, fat, sectors, rootChain))
            return fail("mini stream broken");
        std::vector<std::uint32_t> miniFat;
        for (std::uint32_t n : miniFatChain) {
            const QByteArray s = readSector(n);
            for (qsizetype i = 0; i < sectorSize / 4; ++i)
                miniFat.push_back(get32(s, 4 * i));
        }
        QByteArray mini;
        for (std::uint32_t n : rootChain)
            mini += readSector(n);
        if (rootSize < std::uint64_t(mini.size()))
            mini.truncate(qsizetype(rootSize));
        const std::uint64_t miniSectors = std::uint64_t(mini.size()) / std::uint64_t(miniSize);
        if (!chain(start, miniFat, miniSectors, miniChain))
            return fail("mini chain broken");
        for (std::uint32_t n : miniChain)
            stream += mini.mid(qsizetype(n) * miniSize, miniSize);
    } else {
        std::vector<std::uint32_t> streamChain;
        if (!chain(start, fat, sectors, streamChain))
            return fail("stream chain broken");
        stream.reserve(qsizetype(streamChain.size()) * sectorSize);
        for (std::uint32_t n : streamChain)
            stream += readSector(n);
    }
    if (std::uint64_t(stream.size()) < size)
        return fail("stream shorter than its size");
    stream.truncate(qsizetype(size));
    return true;
}
