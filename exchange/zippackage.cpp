#include "zippackage.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <QDateTime>
#include <cstring>
#include <unzip.h>
#include <zip.h>

// The package's bytes as the file minizip reads through its I/O functions.
struct ZipPackage::Stream {
    const QByteArray *bytes = nullptr;
    ZPOS64_T pos = 0;
    zlib_filefunc64_def io{};
};

namespace {

using Stream = ZipPackage::Stream;

voidpf memOpen(voidpf opaque, const void *, int mode)
{
    // Reading only.
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ)
        return nullptr;
    static_cast<Stream *>(opaque)->pos = 0;
    return opaque;
}

uLong memRead(voidpf, voidpf stream, void *buf, uLong size)
{
    Stream *s = static_cast<Stream *>(stream);
    const ZPOS64_T total = ZPOS64_T(s->bytes->size());
    if (s->pos >= total)
        return 0;
    const uLong n = uLong(std::min<ZPOS64_T>(size, total - s->pos));
    std::memcpy(buf, s->bytes->constData() + s->pos, n);
    s->pos += n;
    return n;
}

uLong memWrite(voidpf, voidpf, const void *, uLong)
{
    return 0;
}

ZPOS64_T memTell(voidpf, voidpf stream)
{
    return static_cast<Stream *>(stream)->pos;
}

long memSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    Stream *s = static_cast<Stream *>(stream);
    const ZPOS64_T total = ZPOS64_T(s->bytes->size());
    ZPOS64_T base = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: base = s->pos; break;
    case ZLIB_FILEFUNC_SEEK_END: base = total; break;
    default: return -1;
    }
    if (offset > total || base + offset > total)
        return -1;
    s->pos = base + offset;
    return 0;
}

int memClose(voidpf, voidpf)
{
    return 0;
}

int memError(voidpf, voidpf)
{
    return 0;
}

} // namespace

ZipPackage::ZipPackage(const QByteArray &bytes) : m_stream(std::make_unique<Stream>())
{
    m_stream->bytes = &bytes;
    m_stream->io.zopen64_file = memOpen;
    m_stream->io.zread_file = memRead;
    m_stream->io.zwrite_file = memWrite;
    m_stream->io.ztell64_file = memTell;
    m_stream->io.zseek64_file = memSeek;
    m_stream->io.zclose_file = memClose;
    m_stream->io.zerror_file = memError;
    m_stream->io.opaque = m_stream.get();
    m_zip = unzOpen2_64("package", &m_stream->io);
    m_open = m_zip != nullptr;
}

ZipPackage::~ZipPackage()
{
    if (m_zip)
        unzClose(m_zip);
}

bool ZipPackage::Has(const QString &name) const
{
    // 2: the names compared without letter case.
    return m_open && unzLocateFile(m_zip, name.toUtf8().constData(), 2) == UNZ_OK;
}

QStringList ZipPackage::Names() const
{
    QStringList out;
    if (!m_open)
        return out;
    for (int r = unzGoToFirstFile(m_zip); r == UNZ_OK; r = unzGoToNextFile(m_zip)) {
        char name[1024];
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(m_zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
            break;
        out << QString::fromUtf8(name);
    }
    return out;
}

bool ZipPackage::Read(const QString &name, QByteArray &out, QString *why, qint64 limit)
{
    out.clear();
    auto fail = [&](const QString &reason) {
        out.clear();
        if (why)
            *why = name + QStringLiteral(": ") + reason;
        return false;
    };
    if (!m_open)
        return fail(QStringLiteral("not a ZIP archive"));
    if (unzLocateFile(m_zip, name.toUtf8().constData(), 2) != UNZ_OK)
        return fail(QStringLiteral("missing"));
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(m_zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return fail(QStringLiteral("damaged entry"));
    if (info.flag & 1)
        return fail(QStringLiteral("encrypted"));
    if (unzOpenCurrentFile(m_zip) != UNZ_OK)
        return fail(QStringLiteral("cannot be unpacked (damaged)"));
    // Read in pieces and stop at the limit, whatever size the archive claims.
    char piece[65536];
    for (;;) {
        const int n = unzReadCurrentFile(m_zip, piece, sizeof piece);
        if (n < 0) {
            unzCloseCurrentFile(m_zip);
            return fail(QStringLiteral("damaged"));
        }
        if (n == 0)
            break;
        if (out.size() + n > limit || m_total + n > kTotalLimit) {
            unzCloseCurrentFile(m_zip);
            return fail(QStringLiteral("unpacks to more than %1 MiB").arg(std::min(limit, kTotalLimit) >> 20));
        }
        out.append(piece, n);
        m_total += n;
    }
    if (unzCloseCurrentFile(m_zip) != UNZ_OK)
        return fail(QStringLiteral("checksum does not match (damaged)"));
    return true;
}

ZipWriter::ZipWriter(const QString &path)
{
    m_zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    m_open = m_zip != nullptr;
}

ZipWriter::~ZipWriter()
{
    if (m_open)
        zipClose(m_zip, nullptr);
}

bool ZipWriter::Add(const QString &name, const QByteArray &data, bool compress)
{
    if (!m_open || m_failed)
        return false;
    zip_fileinfo info{};
    const QDateTime now = QDateTime::currentDateTime();
    info.tmz_date.tm_year = uInt(now.date().year());
    info.tmz_date.tm_mon = uInt(now.date().month() - 1);
    info.tmz_date.tm_mday = uInt(now.date().day());
    info.tmz_date.tm_hour = uInt(now.time().hour());
    info.tmz_date.tm_min = uInt(now.time().minute());
    info.tmz_date.tm_sec = uInt(now.time().second());
    // Method 0 stores the entry as it is; Z_DEFLATED packs it.
    if (zipOpenNewFileInZip64(m_zip, name.toUtf8().constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                              compress ? Z_DEFLATED : 0, compress ? 6 : 0, data.size() >= 0xFFFFFFFFll) != ZIP_OK) {
        m_failed = true;
        return false;
    }
    // In pieces: the length minizip takes is an unsigned int.
    for (qsizetype at = 0; at < data.size() && !m_failed; at += qsizetype(1) << 30) {
        const qsizetype n = std::min<qsizetype>(data.size() - at, qsizetype(1) << 30);
        if (zipWriteInFileInZip(m_zip, data.constData() + at, unsigned(n)) != ZIP_OK)
            m_failed = true;
    }
    if (zipCloseFileInZip(m_zip) != ZIP_OK)
        m_failed = true;
    return !m_failed;
}

bool ZipWriter::Close()
{
    if (!m_open)
        return false;
    m_open = false;
    const bool closed = zipClose(m_zip, nullptr) == ZIP_OK;
    m_zip = nullptr;
    return closed && !m_failed;
}

bool IsoDateToSerial(const QString &text, double &serial)
{
    static const QRegularExpression re(
        QStringLiteral("^(-?\\d{4,})-(\\d{2})-(\\d{2})(?:T(\\d{2}):(\\d{2})(?::(\\d{2}(?:\\.\\d+)?))?)?"
                       "(?:Z|[+-]\\d{2}:?\\d{2})?$"));
    const QRegularExpressionMatch m = re.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!date.isValid())
        return false;
    const double hours = m.captured(4).toDouble(), minutes = m.captured(5).toDouble(),
                 seconds = m.captured(6).toDouble();
    if (hours > 24 || minutes > 59 || seconds >= 61)
        return false;
    serial = double(QDate(1899, 12, 30).daysTo(date)) + (hours * 3600 + minutes * 60 + seconds) / 86400.0;
    return true;
}

bool IsoDurationToDays(const QString &text, double &days)
{
    static const QRegularExpression re(QStringLiteral(
        "^(-)?P(?:(\\d+(?:\\.\\d+)?)D)?(?:T(?:(\\d+(?:\\.\\d+)?)H)?(?:(\\d+(?:\\.\\d+)?)M)?(?:(\\d+(?:\\.\\d+)?)S)?)?$"));
    const QString t = text.trimmed();
    const QRegularExpressionMatch m = re.match(t);
    if (!m.hasMatch() || t == QLatin1String("P") || t.endsWith(u'T'))
        return false;
    const double d = m.captured(2).toDouble(), h = m.captured(3).toDouble(), mi = m.captured(4).toDouble(),
                 s = m.captured(5).toDouble();
    days = d + (h * 3600 + mi * 60 + s) / 86400.0;
    if (!m.captured(1).isEmpty())
        days = -days;
    return true;
}
