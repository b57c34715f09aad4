#pragma once
// The help window: HTML pages shipped inside the program, each marked with
// its topic number ("<!-- topic N -->"), shown by topic, as contents or as an
// index built from the pages' titles and keywords.
#include <QDialog>
#include <QMap>

class QTextBrowser;
class QListWidget;

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    static HelpWindow *Instance(QWidget *parent = nullptr);
    // True when a page has this topic (then shown); otherwise the contents.
    bool ShowTopic(int topic);
    void ShowContents();
    void ShowIndex();

    // The help page file of each topic number.
    static QMap<int, QString> Topics();
    QString currentSource() const;
    // The page files in the order the contents list shows them.
    static QStringList ContentsOrder();

private:
    explicit HelpWindow(QWidget *parent);
    void markCurrent(); // the page shown is the list's current, bold entry
    QTextBrowser *m_browser;
    QListWidget *m_index;
};
