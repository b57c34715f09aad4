#include "privatecups.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTransform>
#include <QUuid>
#include <algorithm>
#include <vector>

namespace {

const char *const kCupsd = "/usr/sbin/cupsd";
const char *const kPpd = "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd";
const char *const kPdfConfigDir = "/etc/cups";

bool writeFile(const QString &path, const QByteArray &text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
}

} // namespace

PrivateCups::PrivateCups()
{
    if (!QFileInfo::exists(QString::fromLatin1(kCupsd)) ||
        !QFileInfo::exists(QStringLiteral("/usr/lib/cups/backend/cups-pdf"))) {
        m_error = QStringLiteral("cupsd or the cups-pdf backend is missing: run scripts/install-deps.sh");
        return;
    }
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return;
    }
    // A short socket path: the dir of QTemporaryDir is short enough in /tmp.
    const QString d = m_dir.path();
    for (const char *sub : {"spool", "cache", "state", "log", "out", "taken", "ppd", "files"})
        QDir(d).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(d + QStringLiteral("/spool"), QFileDevice::Permissions(0x7777));
    QFile::setPermissions(d + QStringLiteral("/out"), QFileDevice::Permissions(0x7777));
    QFile::setPermissions(d + QStringLiteral("/files"), QFileDevice::Permissions(0x7777));
    const QByteArray dir = d.toUtf8();
    const QByteArray cupsd = "Listen " + dir + "/cups.sock\n"
                             "LogLevel warn\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
                             "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                             "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                             "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
    const QByteArray files = "ServerRoot " + dir + "\nRequestRoot " + dir + "/spool\nCacheDir " + dir +
                             "/cache\nStateDir " + dir + "/state\nTempDir " + dir + "/spool\nErrorLog " + dir +
                             "/log/error_log\nAccessLog " + dir + "/log/access_log\nPageLog " + dir +
                             "/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                             "FileDevice Yes\nSandboxing Relaxed\n";
    if (!writeFile(d + QStringLiteral("/cupsd.conf"), cupsd) ||
        !writeFile(d + QStringLiteral("/cups-files.conf"), files)) {
        m_error = QStringLiteral("cannot write the server's configuration");
        return;
    }
    // cups-pdf reads the settings of a queue from /etc/cups/cups-pdf-<name>.conf,
    // <name> being the device URI's path: only this queue writes into our folder.
    const QString name = QStringLiteral("corvelle%1").arg(QUuid::createUuid().toString(QUuid::Id128).left(12));
    m_pdfConfig = QStringLiteral("%1/cups-pdf-%2.conf").arg(QString::fromLatin1(kPdfConfigDir), name);
    if (!writeFile(m_pdfConfig, "Out " + dir + "/out\nLabel 1\nGrp root\nLog " + dir + "/log\n")) {
        m_error = QStringLiteral("cannot write %1").arg(m_pdfConfig);
        m_pdfConfig.clear();
        return;
    }

    m_cupsd = std::make_unique<QProcess>();
    m_cupsd->setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd->setStandardOutputFile(d + QStringLiteral("/log/cupsd.out"));
    m_cupsd->start(QString::fromLatin1(kCupsd), {QStringLiteral("-f"), QStringLiteral("-c"), d + QStringLiteral("/cupsd.conf"),
                                                 QStringLiteral("-s"), d + QStringLiteral("/cups-files.conf")});
    if (!m_cupsd->waitForStarted(10000)) {
        m_error = QStringLiteral("cupsd does not start");
        return;
    }
    const QString socket = d + QStringLiteral("/cups.sock");
    qputenv("CUPS_SERVER", socket.toUtf8());
    QElapsedTimer timer;
    timer.start();
    while (!QFileInfo::exists(socket) && timer.elapsed() < 15000 && m_cupsd->state() == QProcess::Running)
        QThread::msleep(50);
    if (!QFileInfo::exists(socket)) {
        m_error = QStringLiteral("cupsd gives no socket");
        return;
    }
    m_queue = QStringLiteral("CorvelleTest");
    // The scheduler may need a moment before it takes requests.
    bool added = false;
    while (!added && timer.elapsed() < 20000) {
        added = run(QStringLiteral("lpadmin"), {QStringLiteral("-h"), socket, QStringLiteral("-p"), m_queue,
                                                QStringLiteral("-E"), QStringLiteral("-v"),
                                                QStringLiteral("cups-pdf:/") + name, QStringLiteral("-m"),
                                                QString::fromLatin1(kPpd)});
        if (!added)
            QThread::msleep(200);
    }
    if (!added) {
        m_error = QStringLiteral("lpadmin cannot create the cups-pdf queue");
        return;
    }
    run(QStringLiteral("lpadmin"), {QStringLiteral("-h"), socket, QStringLiteral("-d"), m_queue});
}

PrivateCups::~PrivateCups()
{
    if (m_cupsd && m_cupsd->state() != QProcess::NotRunning) {
        m_cupsd->terminate();
        if (!m_cupsd->waitForFinished(10000)) {
            m_cupsd->kill();
            m_cupsd->waitForFinished(5000);
        }
    }
    if (!m_pdfConfig.isEmpty())
        QFile::remove(m_pdfConfig);
    qunsetenv("CUPS_SERVER");
}

bool PrivateCups::run(const QString &program, const QStringList &arguments, QString *out) const
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    if (out)
        *out = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QString PrivateCups::QueueOptions() const
{
    QString out;
    run(QStringLiteral("lpoptions"), {QStringLiteral("-d"), m_queue, QStringLiteral("-l")}, &out);
    return out;
}

bool PrivateCups::AddFileQueue(const QString &name, const QString &ppd)
{
    if (!m_error.isEmpty())
        return false;
    const QString socket = m_dir.path() + QStringLiteral("/cups.sock");
    const QString file = m_dir.path() + QStringLiteral("/files/") + name;
    return run(QStringLiteral("lpadmin"), {QStringLiteral("-h"), socket, QStringLiteral("-p"), name, QStringLiteral("-E"),
                                           QStringLiteral("-v"), QStringLiteral("file://") + file, QStringLiteral("-P"),
                                           ppd});
}

QByteArray PrivateCups::TakeFileOutput(const QString &name, int timeoutMs)
{
    if (!m_error.isEmpty())
        return {};
    QElapsedTimer timer;
    timer.start();
    QFile file(m_dir.path() + QStringLiteral("/files/") + name);
    while (timer.elapsed() < timeoutMs) {
        QString jobs;
        run(QStringLiteral("lpstat"), {QStringLiteral("-o"), name}, &jobs);
        if (jobs.trimmed().isEmpty() && file.size() > 0 && file.open(QIODevice::ReadOnly)) {
            const QByteArray sent = file.readAll();
            file.close();
            file.remove();
            return sent;
        }
        QThread::msleep(200);
    }
    return {};
}

QString PrivateCups::TakeOutput(int timeoutMs)
{
    if (!m_error.isEmpty())
        return {};
    QElapsedTimer timer;
    timer.start();
    const QDir out(m_dir.path() + QStringLiteral("/out"));
    while (timer.elapsed() < timeoutMs) {
        QString jobs;
        run(QStringLiteral("lpstat"), {QStringLiteral("-o"), m_queue}, &jobs);
        const QFileInfoList files = out.entryInfoList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Time);
        if (jobs.trimmed().isEmpty() && !files.isEmpty()) {
            const QString taken =
                m_dir.path() + QStringLiteral("/taken/%1-%2").arg(++m_taken).arg(files.front().fileName());
            for (const QFileInfo &f : files)
                if (f.filePath() != files.front().filePath())
                    QFile::remove(f.filePath());
            return QFile::rename(files.front().filePath(), taken) ? taken : QString();
        }
        QThread::msleep(200);
    }
    return {};
}

QImage RenderPdfPage(const QString &pdf, int dpi, int page)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-gray"), QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
             QString::number(page), QStringLiteral("-l"), QString::number(page), QStringLiteral("-singlefile"), pdf,
             prefix});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QImage(prefix + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
}

namespace {

// Ink pixels, and the same dilated by `r` pixels (a square neighbourhood).
struct Ink {
    int width = 0, height = 0;
    std::vector<unsigned char> ink, near;
};

Ink inkOf(const QImage &image, int r)
{
    Ink k;
    k.width = image.width();
    k.height = image.height();
    k.ink.assign(std::size_t(k.width) * std::size_t(k.height), 0);
    for (int y = 0; y < k.height; ++y) {
        const uchar *line = image.constScanLine(y);
        for (int x = 0; x < k.width; ++x)
            k.ink[std::size_t(y) * std::size_t(k.width) + std::size_t(x)] = line[x] < 128;
    }
    // Separable dilation: rows, then columns.
    std::vector<unsigned char> rows(k.ink.size(), 0);
    for (int y = 0; y < k.height; ++y)
        for (int x = 0; x < k.width; ++x)
            if (k.ink[std::size_t(y) * std::size_t(k.width) + std::size_t(x)])
                for (int dx = std::max(0, x - r); dx <= std::min(k.width - 1, x + r); ++dx)
                    rows[std::size_t(y) * std::size_t(k.width) + std::size_t(dx)] = 1;
    k.near.assign(k.ink.size(), 0);
    for (int y = 0; y < k.height; ++y)
        for (int x = 0; x < k.width; ++x)
            if (rows[std::size_t(y) * std::size_t(k.width) + std::size_t(x)])
                for (int dy = std::max(0, y - r); dy <= std::min(k.height - 1, y + r); ++dy)
                    k.near[std::size_t(dy) * std::size_t(k.width) + std::size_t(x)] = 1;
    return k;
}

// Share of a's ink that lies near b's ink, leaving out a band of `edge`
// pixels along a's border.
double covered(const Ink &a, const Ink &b, int edge)
{
    long total = 0, hit = 0;
    for (int y = edge; y < a.height - edge; ++y)
        for (int x = edge; x < a.width - edge; ++x) {
            if (!a.ink[std::size_t(y) * std::size_t(a.width) + std::size_t(x)])
                continue;
            ++total;
            if (x < b.width && y < b.height && b.near[std::size_t(y) * std::size_t(b.width) + std::size_t(x)])
                ++hit;
        }
    return total == 0 ? 1.0 : double(hit) / double(total);
}

long inkCount(const Ink &a)
{
    return long(std::count(a.ink.begin(), a.ink.end(), 1));
}

} // namespace

double InkAgreement(const QImage &reference, const QImage &printed, int tolerance, QString *detail, int edge)
{
    if (reference.isNull() || printed.isNull())
        return -1;
    std::vector<QImage> candidates;
    const bool turned = (reference.width() > reference.height()) != (printed.width() > printed.height()) &&
                        reference.width() != reference.height();
    if (turned) {
        candidates.push_back(printed.transformed(QTransform().rotate(90)));
        candidates.push_back(printed.transformed(QTransform().rotate(-90)));
    } else {
        candidates.push_back(printed);
        candidates.push_back(printed.transformed(QTransform().rotate(180)));
    }
    const Ink ref = inkOf(reference, tolerance);
    double best = -1;
    for (const QImage &c : candidates) {
        if (std::abs(c.width() - reference.width()) > tolerance || std::abs(c.height() - reference.height()) > tolerance)
            continue;
        const Ink other = inkOf(c.convertToFormat(QImage::Format_Grayscale8), tolerance);
        const double share = std::min(covered(ref, other, edge), covered(other, ref, edge));
        if (detail && share > best)
            *detail = QStringLiteral("reference %1x%2 ink %3, printed %4x%5 ink %6, agreement %7")
                          .arg(reference.width()).arg(reference.height()).arg(inkCount(ref))
                          .arg(c.width()).arg(c.height()).arg(inkCount(other)).arg(share);
        best = std::max(best, share);
    }
    if (detail && best < 0)
        *detail = QStringLiteral("page sizes differ: reference %1x%2, printed %3x%4")
                      .arg(reference.width()).arg(reference.height()).arg(printed.width()).arg(printed.height());
    return best;
}
