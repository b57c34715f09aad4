#include "helpwindow.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <algorithm>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPointer>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QUrl>

namespace {

struct PageInfo {
    QString file, title;
    QStringList keywords;
    int topic = 0;
};

const QList<PageInfo> &pages()
{
    static const QList<PageInfo> list = [] {
        QList<PageInfo> out;
        const QRegularExpression topicRe(QStringLiteral("<!--\\s*topic\\s+(\\d+)\\s*-->"));
        const QRegularExpression titleRe(QStringLiteral("<title>(.*?)</title>"), QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpression keyRe(QStringLiteral("<!--\\s*keywords:\\s*(.*?)\\s*-->"));
        for (const QString &name : QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
            QFile f(QStringLiteral(":/help/") + name);
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(f.readAll());
            PageInfo p;
            p.file = name;
            if (auto m = topicRe.match(text); m.hasMatch())
                p.topic = m.captured(1).toInt();
            p.title = titleRe.match(text).captured(1).trimmed();
            if (p.title.isEmpty())
                p.title = name;
            if (auto m = keyRe.match(text); m.hasMatch())
                for (const QString &k : m.captured(1).split(u',', Qt::SkipEmptyParts))
                    p.keywords << k.trimmed();
            out << p;
        }
        return out;
    }();
    return list;
}

QPointer<HelpWindow> g_window;

} // namespace

QMap<int, QString> HelpWindow::Topics()
{
    QMap<int, QString> map;
    for (const PageInfo &p : pages())
        if (p.topic > 0)
            map.insert(p.topic, p.file);
    return map;
}

HelpWindow *HelpWindow::Instance(QWidget *parent)
{
    if (!g_window)
        g_window = new HelpWindow(parent);
    return g_window;
}

HelpWindow::HelpWindow(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Corvelle Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(860, 600);
    auto *split = new QSplitter(this);
    m_index = new QListWidget(split);
    m_index->setObjectName(QStringLiteral("helpIndex"));
    m_browser = new QTextBrowser(split);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setSearchPaths({QStringLiteral(":/help")});
    m_browser->setOpenExternalLinks(true);
    split->setStretchFactor(1, 3);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(split);
    connect(m_index, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        m_browser->setSource(QUrl(QStringLiteral("qrc:/help/") + item->data(Qt::UserRole).toString()));
    });
    connect(m_index, &QListWidget::itemClicked, m_index, &QListWidget::itemActivated);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] { markCurrent(); });
    ShowContents();
}

QString HelpWindow::currentSource() const
{
    return m_browser->source().fileName();
}

bool HelpWindow::ShowTopic(int topic)
{
    const QString file = Topics().value(topic);
    if (file.isEmpty()) {
        ShowContents();
        return false;
    }
    m_browser->setSource(QUrl(QStringLiteral("qrc:/help/") + file));
    markCurrent();
    show();
    raise();
    activateWindow();
    return true;
}

QStringList HelpWindow::ContentsOrder()
{
    // The main page first, then the pages by topic number, which groups
    // them by subject; pages without a number come last, by title.
    QList<PageInfo> sorted = pages();
    std::stable_sort(sorted.begin(), sorted.end(), [](const PageInfo &a, const PageInfo &b) {
        auto rank = [](const PageInfo &p) { return p.topic == 1 ? 0 : p.topic > 0 ? p.topic : 1 << 30; };
        if (rank(a) != rank(b))
            return rank(a) < rank(b);
        return a.title.compare(b.title, Qt::CaseInsensitive) < 0;
    });
    QStringList files;
    for (const PageInfo &p : sorted)
        files << p.file;
    return files;
}

void HelpWindow::markCurrent()
{
    const QString file = currentSource();
    for (int i = 0; i < m_index->count(); ++i) {
        QListWidgetItem *item = m_index->item(i);
        const bool current = item->data(Qt::UserRole).toString() == file;
        QFont f = item->font();
        f.setBold(current);
        item->setFont(f);
        if (current && m_index->currentItem() != item) {
            m_index->setCurrentItem(item);
            m_index->scrollToItem(item);
        }
    }
}

void HelpWindow::ShowContents()
{
    m_index->clear();
    QHash<QString, QString> titles;
    for (const PageInfo &p : pages())
        titles.insert(p.file, p.title);
    for (const QString &file : ContentsOrder()) {
        auto *item = new QListWidgetItem(titles.value(file), m_index);
        item->setData(Qt::UserRole, file);
    }
    const QString home = Topics().value(1);
    if (!home.isEmpty())
        m_browser->setSource(QUrl(QStringLiteral("qrc:/help/") + home));
    markCurrent();
    show();
    raise();
}

void HelpWindow::ShowIndex()
{
    m_index->clear();
    QMap<QString, QString> entries; // keyword (sorted, case-insensitive key) -> file
    QMap<QString, QString> shown;
    for (const PageInfo &p : pages()) {
        QStringList words = p.keywords;
        words << p.title;
        for (const QString &w : words) {
            entries.insert(w.toLower() + u'\x01' + p.file, p.file);
            shown.insert(w.toLower() + u'\x01' + p.file, w);
        }
    }
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        auto *item = new QListWidgetItem(shown.value(it.key()), m_index);
        item->setData(Qt::UserRole, it.value());
    }
    show();
    raise();
}
