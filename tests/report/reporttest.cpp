#include "reporttest.h"

#include "addressrecords.h"
#include "recordsets.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>

std::int32_t RootFolder(CDatabase &db)
{
    CSetFolder set(&db);
    set.Open(QStringLiteral("SELECT * FROM FOLDER WHERE ID_PARENT = -1"));
    return set.IsEOF() ? -1 : set.m_ID_FOLDER_FOLDER;
}

AddressEntry AddAddress(CDatabase &db, std::int32_t folder, const QString &name, const QString &street,
                        const QString &town, const QString &zip, const QString &country, const QString &note)
{
    AddressEntry a;
    a.folder = folder;
    a.name = name;
    a.street = street;
    a.town = town;
    a.zip = zip;
    a.country = country;
    a.note = note;
    a.id = SaveNewAddress(db, a, {}, {}, folder);
    return a;
}

QStringList NamesOf(const std::vector<AddressEntry> &rows)
{
    QStringList names;
    for (const AddressEntry &r : rows)
        names << r.name;
    return names;
}

std::vector<PdfWord> PdfWords(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    std::vector<PdfWord> words;
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    const auto pages = html.split(QStringLiteral("<page "));
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
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return -1;
    static const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    const auto m = pages.match(QString::fromUtf8(p.readAllStandardOutput()));
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
