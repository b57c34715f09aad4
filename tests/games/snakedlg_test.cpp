// The "Snake" dialog driven with the keyboard on the offscreen platform.
#include "games.h"
#include "modalcloser.h"
#include "snakedlg.h"
#include "testrandom.h"
#include "tvmessage.h"
#include "tvstrings.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Records every message box and answers OK.
class BoxRecorder {
public:
    BoxRecorder()
    {
        m_old = CTVMessage::SetHook([this](const TVMessageRecord &r) {
            records.push_back(r);
            return unsigned(TVB_OK);
        });
    }
    ~BoxRecorder() { CTVMessage::SetHook(m_old); }
    std::vector<TVMessageRecord> records;

private:
    CTVMessage::Hook m_old;
};

class SnakeDialogTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString RecordPath() const { return dir.filePath("Snakerec.dat"); }
};

// Food at (12,10), then one more piece of food ahead of the snake each time
// it eats, so that fourteen steps right make 50 points.
std::vector<int> FiftyPointsDraws()
{
    std::vector<int> draws = {12, 10, 1};
    for (int x : {15, 18, 21, 24}) {
        draws.insert(draws.end(), {x, 10, 1, 1, 1});
    }
    return draws;
}

void ShowAndWait(QDialog &dlg)
{
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
}

QColor PixelOfCell(const CSnakeBoard &board, int x, int y)
{
    return board.Render().pixelColor(CSnakeBoard::CellRect(x, y).center());
}

} // namespace

TEST_F(SnakeDialogTest, OpensWithAnEmptyBoardInsideItsFrame)
{
    SequenceRandom random({20, 3});
    CSnakeDlg dlg(dir.path(), nullptr, &random);
    EXPECT_EQ(dlg.windowTitle(), "Snake");
    EXPECT_EQ(dlg.CancelButton()->text(), "Cancel");
    EXPECT_EQ(dlg.StartButton()->text(), "Start");
    EXPECT_EQ(dlg.RecordButton()->text(), "Record");
    EXPECT_EQ(dlg.ScoreDisplay()->text(), "0");
    EXPECT_TRUE(dlg.IsUsable());
    // The frame runs from (15, 15) to (585, 377); cell (0, 0) starts at (20, 20).
    EXPECT_EQ(dlg.Board()->geometry(), QRect(QPoint(15, 15), QPoint(584, 376)));
    EXPECT_EQ(CSnakeBoard::CellRect(0, 0).translated(dlg.Board()->pos()), QRect(20, 20, 16, 16));
    EXPECT_EQ(CSnakeBoard::CellRect(34, 21).translated(dlg.Board()->pos()).bottomRight(), QPoint(579, 371));
    const QImage board = dlg.Board()->Render();
    EXPECT_EQ(board.pixelColor(2, 2), QColor(0, 0, 0));
    EXPECT_EQ(board.pixelColor(board.width() - 3, board.height() - 3), QColor(0, 0, 0));
    EXPECT_EQ(PixelOfCell(*dlg.Board(), 10, 10), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_FALSE(QFile::exists(RecordPath()));
}

TEST_F(SnakeDialogTest, StartThenArrowKeysSteerAndTickAtOnce)
{
    SequenceRandom random({20, 3});
    CSnakeDlg dlg(dir.path(), nullptr, &random);
    ShowAndWait(dlg);

    QTest::mouseClick(dlg.StartButton(), Qt::LeftButton);
    ASSERT_TRUE(dlg.Game().IsRunning());
    EXPECT_EQ(dlg.CancelButton()->text(), "Stop");
    EXPECT_FALSE(dlg.StartButton()->isEnabled());
    EXPECT_FALSE(dlg.RecordButton()->isEnabled());
    EXPECT_TRUE(dlg.Timer().isActive());
    EXPECT_EQ(dlg.Timer().interval(), 160);

    // The snake in its colour (0xC00000 as 0x00BBGGRR), the food's picture.
    EXPECT_EQ(PixelOfCell(*dlg.Board(), 10, 10), QColor(0, 0, 0xC0));
    EXPECT_EQ(PixelOfCell(*dlg.Board(), 0, 10), QColor(0, 0, 0xC0));
    const QImage board = dlg.Board()->Render();
    const QPoint foodMiddle = CSnakeBoard::CellRect(20, 3).topLeft() + QPoint(16, 16);
    EXPECT_NE(board.pixelColor(foodMiddle), QColor(0xC0, 0xC0, 0xC0));

    QTest::keyClick(&dlg, Qt::Key_Up);
    EXPECT_EQ(dlg.Game().Direction(), SnakeDirection::Up);
    EXPECT_EQ(dlg.Game().Snake().front(), (SnakeCell{10, 9}));
    EXPECT_TRUE(dlg.Timer().isActive());
    EXPECT_EQ(PixelOfCell(*dlg.Board(), 10, 9), QColor(0, 0, 0xC0));

    // Down would reverse: refused, but the snake still moves at once.
    QTest::keyClick(&dlg, Qt::Key_Down);
    EXPECT_EQ(dlg.Game().Direction(), SnakeDirection::Up);
    EXPECT_EQ(dlg.Game().Snake().front(), (SnakeCell{10, 8}));

    // The keys steer whatever control has the focus.
    QTest::keyClick(dlg.CancelButton(), Qt::Key_Left);
    EXPECT_EQ(dlg.Game().Snake().front(), (SnakeCell{9, 8}));
    EXPECT_TRUE(dlg.Game().IsRunning());
}

TEST_F(SnakeDialogTest, AGameOfFiftyPointsLeavesFiftyInTheRecordFile)
{
    SequenceRandom random(FiftyPointsDraws());
    CSnakeDlg dlg(dir.path(), nullptr, &random);
    ShowAndWait(dlg);
    EXPECT_EQ(dlg.Record().Best(), 0);

    QTest::mouseClick(dlg.StartButton(), Qt::LeftButton);
    for (int i = 0; i < 14; ++i)
        QTest::keyClick(&dlg, Qt::Key_Right);
    ASSERT_EQ(dlg.Game().Score(), 50);
    EXPECT_EQ(dlg.ScoreDisplay()->text(), "50");

    ScoreDialogCloser closer;
    QTest::keyClick(&dlg, Qt::Key_Up);
    QTest::keyClick(&dlg, Qt::Key_Left);
    EXPECT_TRUE(closer.scores.empty());
    QTest::keyClick(&dlg, Qt::Key_Down); // into the body
    ASSERT_EQ(closer.scores, std::vector<int>{50});

    EXPECT_FALSE(dlg.Game().IsRunning());
    EXPECT_FALSE(dlg.Timer().isActive());
    EXPECT_EQ(dlg.CancelButton()->text(), "Storno");
    EXPECT_EQ(dlg.ScoreDisplay()->text(), "0");
    EXPECT_TRUE(dlg.StartButton()->isEnabled());
    EXPECT_TRUE(dlg.RecordButton()->isEnabled());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(ReadGameRecord(RecordPath()), 50);
    EXPECT_EQ(dlg.Record().Best(), 50);
    // The board is cleared.
    EXPECT_EQ(PixelOfCell(*dlg.Board(), 23, 9), QColor(0xC0, 0xC0, 0xC0));

    // Record shows the best score; then "Storno" closes the dialog.
    QTest::mouseClick(dlg.RecordButton(), Qt::LeftButton);
    EXPECT_EQ(closer.scores, (std::vector<int>{50, 50}));
    QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

TEST_F(SnakeDialogTest, ALowerScoreKeepsTheRecord)
{
    ASSERT_TRUE(WriteGameRecord(RecordPath(), 70));
    SequenceRandom random(FiftyPointsDraws());
    CSnakeDlg dlg(dir.path(), nullptr, &random);
    ShowAndWait(dlg);
    EXPECT_EQ(dlg.Record().Best(), 70);
    QTest::mouseClick(dlg.StartButton(), Qt::LeftButton);
    for (int i = 0; i < 14; ++i)
        QTest::keyClick(&dlg, Qt::Key_Right);
    ScoreDialogCloser closer;
    for (auto key : {Qt::Key_Up, Qt::Key_Left, Qt::Key_Down})
        QTest::keyClick(&dlg, key);
    EXPECT_EQ(closer.scores, std::vector<int>{50});
    EXPECT_EQ(ReadGameRecord(RecordPath()), 70);
}

TEST_F(SnakeDialogTest, StopEndsTheGameWithoutTouchingTheRecord)
{
    SequenceRandom random(FiftyPointsDraws());
    CSnakeDlg dlg(dir.path(), nullptr, &random);
    ShowAndWait(dlg);
    QTest::mouseClick(dlg.StartButton(), Qt::LeftButton);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(&dlg, Qt::Key_Right);
    ASSERT_EQ(dlg.Game().Score(), 20);
    ScoreDialogCloser closer;
    QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
    EXPECT_TRUE(closer.scores.empty());
    EXPECT_FALSE(dlg.Game().IsRunning());
    EXPECT_FALSE(dlg.Timer().isActive());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.CancelButton()->text(), "Storno");
    EXPECT_TRUE(dlg.StartButton()->isEnabled());
    EXPECT_FALSE(QFile::exists(RecordPath()));
    // Arrow keys do nothing between games.
    QTest::keyClick(&dlg, Qt::Key_Up);
    EXPECT_FALSE(dlg.Game().IsRunning());
}

TEST_F(SnakeDialogTest, EscapeDuringAGameStopsItAndKeepsTheDialogOpen)
{
    SequenceRandom random({20, 3});
    CSnakeDlg dlg(dir.path(), nullptr, &random);
    ShowAndWait(dlg);
    QTest::mouseClick(dlg.StartButton(), Qt::LeftButton);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.Game().IsRunning());
    EXPECT_TRUE(dlg.isVisible());
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(SnakeDialogTest, EatingPlaysTheSoundFromTheProgramDirectory)
{
    {
        QFile f(dir.filePath("eatitem.dat"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("RIFF") + QByteArray(64, '\0'));
    }
    SequenceRandom random(FiftyPointsDraws());
    CSnakeDlg dlg(dir.path(), nullptr, &random);
    ShowAndWait(dlg);
    ASSERT_TRUE(dlg.Sound().IsLoaded());
    QTest::mouseClick(dlg.StartButton(), Qt::LeftButton);
    QTest::keyClick(&dlg, Qt::Key_Right);
    EXPECT_EQ(dlg.Sound().PlayCount(), 0);
    QTest::keyClick(&dlg, Qt::Key_Right); // eats (12, 10)
    EXPECT_EQ(dlg.Sound().PlayCount(), 1);
}

TEST_F(SnakeDialogTest, FOneAsksForHelpTopicThirty)
{
    std::vector<int> topics;
    SetGamesHelpHandler([&](int topic) { topics.push_back(topic); });
    SequenceRandom random({20, 3});
    CSnakeDlg dlg(dir.path(), nullptr, &random);
    ShowAndWait(dlg);
    QTest::keyClick(&dlg, Qt::Key_F1);
    QTest::keyClick(dlg.StartButton(), Qt::Key_F1);
    EXPECT_EQ(topics, (std::vector<int>{30, 30}));
    SetGamesHelpHandler({});
    QTest::keyClick(&dlg, Qt::Key_F1); // no handler: nothing happens
    EXPECT_EQ(topics.size(), 2u);
}

TEST_F(SnakeDialogTest, NoPlaceForTheFoodShowsTheCongratulationAndCloses)
{
    // Every draw lands on the snake's head.
    SequenceRandom random({}, 10);
    CSnakeDlg dlg(dir.path(), nullptr, &random);
    ShowAndWait(dlg);
    BoxRecorder boxes;
    QTest::mouseClick(dlg.StartButton(), Qt::LeftButton);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].kind, TVMessageKind::Information);
    EXPECT_EQ(boxes.records[0].id, 59399);
    if (TVHasStringResource(59399)) {
        EXPECT_TRUE(boxes.records[0].text.contains("Score = 0")) << boxes.records[0].text.toStdString();
    }
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(dlg.Timer().isActive());
    EXPECT_FALSE(QFile::exists(RecordPath()));
}

TEST_F(SnakeDialogTest, FillingTheBoardInPlayKeepsTheScoreAsTheRecord)
{
    // The food at (12, 10) is eaten; no new place is found after it.
    SequenceRandom random({12, 10, 1}, 10);
    CSnakeDlg dlg(dir.path(), nullptr, &random);
    ShowAndWait(dlg);
    BoxRecorder boxes;
    ScoreDialogCloser closer;
    QTest::mouseClick(dlg.StartButton(), Qt::LeftButton);
    QTest::keyClick(&dlg, Qt::Key_Right);
    EXPECT_TRUE(boxes.records.empty());
    QTest::keyClick(&dlg, Qt::Key_Right);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].id, 59399);
    if (TVHasStringResource(59399)) {
        EXPECT_TRUE(boxes.records[0].text.contains("Score = 10")) << boxes.records[0].text.toStdString();
    }
    EXPECT_TRUE(closer.scores.empty()); // no "Score" dialog on this path
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(dlg.Timer().isActive());
    EXPECT_EQ(ReadGameRecord(RecordPath()), 10);
}

TEST_F(SnakeDialogTest, TheClockMovesTheSnake)
{
    SequenceRandom random({20, 3});
    CSnakeDlg dlg(dir.path(), nullptr, &random);
    ShowAndWait(dlg);
    QTest::mouseClick(dlg.StartButton(), Qt::LeftButton);
    const SnakeCell start = dlg.Game().Snake().front();
    // Ticks of 160 ms move the head right along row 10.
    for (int i = 0; i < 100 && dlg.Game().Snake().front().x - start.x < 2; ++i)
        QTest::qWait(50);
    const SnakeCell now = dlg.Game().Snake().front();
    EXPECT_EQ(now.y, start.y);
    EXPECT_GE(now.x - start.x, 2);
    QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
}
