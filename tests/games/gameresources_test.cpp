// What the games ship beside the code: the eating sound and the help pages,
// and the two entry points the main window calls.
#include "blocksdlg.h"
#include "games.h"
#include "gamesound.h"
#include "snakedlg.h"

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QString SourceFile(const char *relative)
{
    return QStringLiteral(GAMES_SOURCE_DIR "/") + QString::fromLatin1(relative);
}

quint32 U32(const QByteArray &b, int at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}

quint16 U16(const QByteArray &b, int at)
{
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

// Closes the first modal dialog of type D that runs, noting its title.
template <typename D> class Closer : public QObject {
public:
    Closer()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto *dlg = qobject_cast<D *>(QApplication::activeModalWidget())) {
                title = dlg->windowTitle();
                dlg->reject();
            }
        });
        m_timer.start(5);
    }
    QString title;

private:
    QTimer m_timer;
};

} // namespace

TEST(GameResources, EatingSoundIsAShortPcmWave)
{
    QFile f(SourceFile("resources/sounds/eatitem.wav"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    ASSERT_GE(b.size(), 44);
    EXPECT_EQ(b.mid(0, 4), "RIFF");
    EXPECT_EQ(U32(b, 4), quint32(b.size() - 8));
    EXPECT_EQ(b.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(U16(b, 20), 1); // PCM
    const int channels = U16(b, 22);
    const quint32 rate = U32(b, 24);
    const int bits = U16(b, 34);
    EXPECT_EQ(b.mid(36, 4), "data");
    const double seconds = double(U32(b, 40)) / (rate * channels * bits / 8);
    EXPECT_GT(seconds, 0.05);
    EXPECT_LT(seconds, 0.5);
    // Not silence.
    int loud = 0;
    for (int i = 44; i + 1 < b.size(); i += 2)
        loud += std::abs(qint16(U16(b, i))) > 3000;
    EXPECT_GT(loud, 100);
}

TEST(GameResources, HelpPagesNameTheirTopicsFirst)
{
    const struct {
        const char *file;
        int topic;
        const char *mustMention;
    } pages[] = {{"resources/help/snake.html", kSnakeHelpTopic, "Snakerec.dat"},
                 {"resources/help/blocks.html", kBlocksHelpTopic, "Blocksrec.dat"}};
    for (const auto &page : pages) {
        QFile f(SourceFile(page.file));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << page.file;
        const QString html = QString::fromUtf8(f.readAll());
        const QRegularExpressionMatch first = QRegularExpression("<!--\\s*(.*?)\\s*-->").match(html);
        ASSERT_TRUE(first.hasMatch()) << page.file;
        EXPECT_EQ(first.captured(1), QStringLiteral("topic %1").arg(page.topic)) << page.file;
        EXPECT_TRUE(html.contains(page.mustMention)) << page.file;
        EXPECT_TRUE(html.contains("</html>")) << page.file;
    }
    EXPECT_EQ(kSnakeHelpTopic, 30);
}

TEST(GameEntryPoints, ShowSnakeGameRunsTheSnakeDialog)
{
    QTemporaryDir dir;
    Closer<CSnakeDlg> closer;
    ShowSnakeGame(nullptr, dir.path());
    EXPECT_EQ(closer.title, "Snake");
}

TEST(GameEntryPoints, ShowBlocksGameRunsTheBlocksDialog)
{
    QTemporaryDir dir;
    Closer<CBlocksDlg> closer;
    ShowBlocksGame(nullptr, dir.path());
    EXPECT_EQ(closer.title, "Falling Blocks");
}
