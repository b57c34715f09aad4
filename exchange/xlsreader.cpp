#include "xlsreader.h"

#include "numberformat.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {
quint64 key(unsigned row, unsigned column)
{
    return (quint64(row) << 32) | column;
}

// A decimal number of at most 18 digits at `pos` followed by `end`; moves past both.
bool number(const QByteArray &text, qsizetype &pos, char end, qint64 &value)
{
    const qsizetype start = pos;
    value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 18)
        value = value * 10 + (text[pos++] - '0');
    if (pos == start || pos >= text.size() || text[pos] != end)
        return false;
    ++pos;
    return true;
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
    const QByteArray magic = "CORVELLE-XLS 1\n";
    if (!output.startsWith(magic))
        return false;
    qsizetype pos = magic.size();
    qint64 rows = 0, columns = 0;
    if (!number(output, pos, ' ', rows) || !number(output, pos, '\n', columns) || rows > UINT_MAX || columns > UINT_MAX)
        return false;
    // Cells come in row order, each as "row column size\n" and its text; the
    // list is kept sorted by (row, column) for CellText's binary search.
    std::vector<Cell> cells;
    bool sorted = true;
    for (;;) {
        if (output.mid(pos, 4) == "END\n")
            break;
        qint64 row = 0, column = 0, size = 0;
        if (!number(output, pos, ' ', row) || !number(output, pos, ' ', column) || !number(output, pos, '\n', size) ||
            row == 0 || column == 0 || row > rows || column > columns || size > output.size() - pos - 1 ||
            output[pos + size] != '\n')
            return false;
        const quint64 k = key(unsigned(row), unsigned(column));
        sorted = sorted && (cells.empty() || cells.back().key < k);
        cells.push_back({k, QString::fromUtf8(output.constData() + pos, size)});
        pos += size + 1;
    }
    if (!sorted) { // a later cell of the same place replaces the earlier one
        std::stable_sort(cells.begin(), cells.end(), [](const Cell &a, const Cell &b) { return a.key < b.key; });
        std::vector<Cell> unique;
        for (Cell &c : cells) {
            if (!unique.empty() && unique.back().key == c.key)
                unique.back() = std::move(c);
            else
                unique.push_back(std::move(c));
        }
        cells = std::move(unique);
    }
    m_rows = unsigned(rows);
    m_columns = unsigned(columns);
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
    const quint64 k = key(row, column);
    const auto at = std::lower_bound(m_cells.begin(), m_cells.end(), k,
                                     [](const Cell &c, quint64 wanted) { return c.key < wanted; });
    if (at != m_cells.end() && at->key == k)
        text = at->text;
    return true;
}
