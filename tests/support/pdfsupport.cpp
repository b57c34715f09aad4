#include "pdfsupport.h"

#include <QProcess>
#include <QRegularExpression>

QString RunPdfTool(const QString &tool, const QStringList &arguments)
{
    QProcess p;
    p.start(tool, arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

std::vector<PdfWord> PdfWords(const QString &pdf)
{
    const QString html = RunPdfTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    std::vector<PdfWord> words;
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    const QStringList pages = html.split(QStringLiteral("<page "));
    // The text before the first page is the document's head.
    for (qsizetype i = 1; i < pages.size(); ++i) {
        auto it = word.globalMatch(pages[i]);
        while (it.hasNext()) {
            const auto m = it.next();
            PdfWord w;
            w.box = QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                           QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
            QString text = m.captured(5);
            text.replace(QLatin1String("&amp;"), QLatin1String("&"));
            text.replace(QLatin1String("&quot;"), QLatin1String("\""));
            text.replace(QLatin1String("&lt;"), QLatin1String("<"));
            text.replace(QLatin1String("&gt;"), QLatin1String(">"));
            text.replace(QLatin1String("&apos;"), QLatin1String("'"));
            w.text = text;
            w.page = int(i - 1);
            words.push_back(w);
        }
    }
    return words;
}

int PdfPageCount(const QString &pdf)
{
    static const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    const auto m = pages.match(RunPdfTool(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QSizeF PdfPageSize(const QString &pdf)
{
    static const QRegularExpression size(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"));
    const auto m = size.match(RunPdfTool(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}
