#include "labeltest.h"

#include "addressrecords.h"
#include "database.h"
#include "folderops.h"
#include "recordsets.h"
#include "sqlformat.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>

std::int32_t RootFolder(CDatabase &db)
{
    CSetFolder set(&db);
    set.Open(SqlFormat(QStringLiteral("SELECT * FROM FOLDER WHERE ID_PARENT = %d"), -1));
    return set.m_ID_FOLDER_FOLDER;
}

std::int32_t AddFolder(CDatabase &db, const QString &name, std::int32_t parent)
{
    return CreateFolder(db, name, parent).id;
}

std::int32_t AddAddress(CDatabase &db, std::int32_t folder, const QString &name, const QString &town,
                        const QString &street, const QString &zip, const QString &country)
{
    AddressEntry a;
    a.name = name;
    a.town = town;
    a.street = street;
    a.zip = zip;
    a.country = country;
    return SaveNewAddress(db, a, {}, {}, folder);
}

LabelSize LabelSizeNamed(CDatabase &db, const QString &name)
{
    const auto rows = ReadLabelSizes(db, SqlFormat(QStringLiteral("SELECT * FROM LABSIZE WHERE NAME = '%s'"), name));
    return rows.empty() ? LabelSize{} : rows.front();
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
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
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
