#include "zippackage.h"

#include <QBuffer>
#include <QDate>
#include <QRegularExpression>
#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

ZipPackage::ZipPackage(const QByteArray &bytes)
    : m_buffer(std::make_unique<QBuffer>()), m_zip(std::make_unique<QuaZip>())
{
    // The buffer reads the caller's bytes without copying them.
    m_buffer->setData(bytes);
    m_zip->setIoDevice(m_buffer.get());
    m_zip->setAutoClose(false);
    m_open = m_buffer->open(QIODevice::ReadOnly) && m_zip->open(QuaZip::mdUnzip);
}

ZipPackage::~ZipPackage()
{
    if (m_open)
        m_zip->close();
}

bool ZipPackage::Has(const QString &name) const
{
    return m_open && m_zip->setCurrentFile(name, QuaZip::csInsensitive) && m_zip->hasCurrentFile();
}

QStringList ZipPackage::Names() const
{
    return m_open ? m_zip->getFileNameList() : QStringList();
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
    if (!m_zip->setCurrentFile(name, QuaZip::csInsensitive) || !m_zip->hasCurrentFile())
        return fail(QStringLiteral("missing"));
    QuaZipFile part(m_zip.get());
    if (!part.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot be unpacked (damaged or encrypted)"));
    // Read in pieces and stop at the limit, whatever size the archive claims.
    char piece[65536];
    for (;;) {
        const qint64 n = part.read(piece, sizeof piece);
        if (n < 0) {
            part.close();
            return fail(QStringLiteral("damaged"));
        }
        if (n == 0)
            break;
        if (out.size() + n > limit || m_total + n > kTotalLimit) {
            part.close();
            return fail(QStringLiteral("unpacks to more than %1 MiB").arg(std::min(limit, kTotalLimit) >> 20));
        }
        out.append(piece, qsizetype(n));
        m_total += n;
    }
    part.close();
    if (part.getZipError() != UNZ_OK)
        return fail(QStringLiteral("checksum does not match (damaged)"));
    return true;
}

ZipWriter::ZipWriter(const QString &path) : m_zip(std::make_unique<QuaZip>(path))
{
    m_open = m_zip->open(QuaZip::mdCreate);
}

ZipWriter::~ZipWriter()
{
    if (m_open)
        m_zip->close();
}

bool ZipWriter::Add(const QString &name, const QByteArray &data, bool compress)
{
    if (!m_open || m_failed)
        return false;
    QuaZipFile file(m_zip.get());
    QuaZipNewInfo info(name);
    info.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    // Method 0 stores the entry as it is; 8 deflates it.
    bool ok = file.open(QIODevice::WriteOnly, info, nullptr, 0, compress ? Z_DEFLATED : 0, compress ? 6 : 0);
    if (!ok) {
        m_failed = true;
        return false;
    }
    ok = file.write(data) == data.size();
    file.close();
    if (!ok || file.getZipError() != ZIP_OK)
        m_failed = true;
    return !m_failed;
}

bool ZipWriter::Close()
{
    if (!m_open)
        return false;
    m_open = false;
    m_zip->close();
    return !m_failed && m_zip->getZipError() == ZIP_OK;
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
