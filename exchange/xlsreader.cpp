#include "xlsreader.h"

#include "numberformat.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cmath>

namespace {
quint64 key(unsigned row, unsigned column)
{
    return (quint64(row) << 32) | column;
}
} // namespace

QString NumberText(double value)
{
    return GeneralNumberText(value);
}

QString XlsSheetReader::ReaderProgram()
{
    const QString name = QStringLiteral("tesmar-xlsread");
    const QString beside = QCoreApplication::applicationDirPath() + u'/' + name;
    if (QFileInfo(beside).isExecutable())
        return beside;
#ifdef CORVELLE_LIBEXEC_FROM_BIN
    // An installed program keeps its helpers in the package's libexec folder.
    const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/" CORVELLE_LIBEXEC_FROM_BIN "/") + name;
    if (QFileInfo(installed).isExecutable())
        return QFileInfo(installed).canonicalFilePath();
#endif
    return QStandardPaths::findExecutable(name);
}

bool XlsSheetReader::Open(const QString &path, int timeoutMs, const std::function<bool()> &keepGoing)
{
    Close();
    const QString program = ReaderProgram();
    if (program.isEmpty() || !QFileInfo(path).isFile())
        return false;
    QProcess reader;
    reader.setProcessChannelMode(QProcess::SeparateChannels);
    reader.setStandardErrorFile(QProcess::nullDevice());
    reader.start(program, {path}, QIODevice::ReadOnly);
    if (!reader.waitForStarted(10000))
        return false;
    QByteArray output;
    const qint64 limit = qint64(1) << 30; // more output than any real sheet gives
    QElapsedTimer quiet;
    quiet.start();
    while (reader.state() != QProcess::NotRunning) {
        // Short waits, so that the window stays responsive in between.
        const bool ready = reader.waitForReadyRead(keepGoing ? 50 : timeoutMs);
        if (ready)
            quiet.restart();
        if ((!ready && reader.state() != QProcess::NotRunning && quiet.elapsed() >= timeoutMs) ||
            (keepGoing && !keepGoing())) {
            reader.kill();
            reader.waitForFinished(5000);
            return false;
        }
        output += reader.readAllStandardOutput();
        if (output.size() > limit) {
            reader.kill();
            reader.waitForFinished(5000);
            return false;
        }
    }
    output += reader.readAllStandardOutput();
    if (keepGoing && !keepGoing())
        return false;
    if (reader.exitStatus() != QProcess::NormalExit || reader.exitCode() != 0)
        return false;
    return Parse(output);
}

bool XlsSheetReader::Parse(const QByteArray &output)
{
    Close();
    qsizetype pos = 0;
    auto line = [&](QByteArray &out) {
        const qsizetype end = output.indexOf('\n', pos);
        if (end < 0)
            return false;
        out = output.mid(pos, end - pos);
        pos = end + 1;
        return true;
    };
    QByteArray l;
    if (!line(l) || l != "CORVELLE-XLS 1" || !line(l))
        return false;
    QList<QByteArray> dims = l.split(' ');
    bool ok1 = false, ok2 = false;
    if (dims.size() != 2)
        return false;
    const unsigned rows = dims[0].toUInt(&ok1), columns = dims[1].toUInt(&ok2);
    if (!ok1 || !ok2)
        return false;
    QHash<quint64, QString> cells;
    for (;;) {
        if (!line(l))
            return false;
        if (l == "END")
            break;
        const QList<QByteArray> parts = l.split(' ');
        if (parts.size() != 3)
            return false;
        bool a = false, b = false, c = false;
        const unsigned row = parts[0].toUInt(&a), column = parts[1].toUInt(&b);
        const qsizetype size = parts[2].toLongLong(&c);
        if (!a || !b || !c || size < 0 || row == 0 || column == 0 || row > rows || column > columns ||
            pos + size + 1 > output.size() || output[pos + size] != '\n')
            return false;
        cells.insert(key(row, column), QString::fromUtf8(output.constData() + pos, size));
        pos += size + 1;
    }
    m_rows = rows;
    m_columns = columns;
    m_cells = std::move(cells);
    m_open = true;
    return true;
}

void XlsSheetReader::Close()
{
    m_open = false;
    m_rows = m_columns = 0;
    m_cells.clear();
}

bool XlsSheetReader::CellText(unsigned row, unsigned column, QString &text) const
{
    text.clear();
    if (!m_open)
        return false;
    text = m_cells.value(key(row, column));
    return true;
}
