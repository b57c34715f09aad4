#include "printingtest.h"

#include "database.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>

DeviceMetrics A4Metrics(int dpi)
{
    DeviceMetrics m;
    m.LOGPIXELSX = m.LOGPIXELSY = dpi;
    m.HORZRES = int(210 / 25.4 * dpi);
    m.VERTRES = int(297 / 25.4 * dpi);
    m.HORZSIZE = 210;
    m.VERTSIZE = 297;
    return m;
}

std::vector<PdfWord> PdfWords(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    std::vector<PdfWord> words;
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    const auto pages = html.split(QStringLiteral("<page "));
    // The text before the first page is the document's head.
    for (qsizetype i = 1; i < pages.size(); ++i) {
        auto it = word.globalMatch(pages[i]);
        while (it.hasNext()) {
            const auto m = it.next();
            PdfWord w;
            w.box = QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                           QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
            w.text = m.captured(5);
            w.page = int(i - 1);
            words.push_back(w);
        }
    }
    return words;
}

int PdfPageCount(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return -1;
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    const auto m = pages.match(out);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

void OnModalDialog(std::function<void(QWidget *)> action)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(w);
        }
    });
    timer->start();
}

void InsertCalibration(CDatabase &db, int id, int envsize, int labsize, double x, double y, bool isDefault,
                       bool landscape)
{
    db.BeginTrans();
    CSetKalibrace set(&db);
    set.Open(QStringLiteral("SELECT * FROM KALIBRACE WHERE 0"));
    set.AddNew();
    set.m_ID_KALIBRACE_KALIBRACE = id;
    set.m_ID_ENVSIZE = envsize;
    set.m_ID_LABSIZE = labsize;
    set.m_X = x;
    set.m_Y = y;
    set.m_DEFAULT = isDefault;
    set.m_LANDSCAPE = landscape;
    set.Update();
    set.Close();
    db.CommitTrans();
}

int CountCalibrations(CDatabase &db, const QString &sql)
{
    CSetKalibrace set(&db);
    set.Open(sql);
    const int n = int(set.GetRecordCount());
    set.Close();
    return n;
}
