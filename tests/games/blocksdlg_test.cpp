// The falling-blocks dialog driven with the keyboard on the offscreen platform.
#include "blocksdlg.h"
#include "games.h"
#include "modalcloser.h"
#include "testrandom.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int I = static_cast<int>(BlockShape::I);
constexpr int O = static_cast<int>(BlockShape::O);

class BlocksDialogTest : public ::testing::Test {
protected:
    void Open(CBlocksDlg &dlg)
    {
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    }
    QTemporaryDir dir;
    QString RecordPath() const { return dir.filePath("Blocksrec.dat"); }
};

} // namespace

TEST_F(BlocksDialogTest, KeysMoveDropAndPause)
{
    std::vector<int> topics;
    SetGamesHelpHandler([&](int topic) { topics.push_back(topic); });
    SequenceRandom random({I, O});
    CBlocksDlg dlg(dir.path(), nullptr, &random);
    Open(dlg);
    EXPECT_EQ(dlg.CancelButton()->text(), "Cancel");
    EXPECT_FALSE(dlg.PauseButton()->isEnabled());

    QTest::mouseClick(dlg.StartButton(), Qt::LeftButton);
    ASSERT_TRUE(dlg.Game().IsRunning());
    EXPECT_EQ(dlg.CancelButton()->text(), "Stop");
    EXPECT_EQ(dlg.Timer().interval(), 800);
    EXPECT_EQ(dlg.Game().NextShape(), BlockShape::O);

    QTest::keyClick(&dlg, Qt::Key_Left);
    EXPECT_EQ(dlg.Game().Piece().x, 2);
    QTest::keyClick(dlg.CancelButton(), Qt::Key_Right); // focus on a button
    QTest::keyClick(dlg.CancelButton(), Qt::Key_Right);
    EXPECT_EQ(dlg.Game().Piece().x, 4);
    QTest::keyClick(&dlg, Qt::Key_Up);
    EXPECT_EQ(dlg.Game().Piece().rotation, 1);
    QTest::keyClick(&dlg, Qt::Key_Z);
    EXPECT_EQ(dlg.Game().Piece().rotation, 0);
    QTest::keyClick(&dlg, Qt::Key_Down);
    EXPECT_EQ(dlg.ScoreDisplay()->text(), "1");

    // Space drops the I (cells 4..7 of row 1) onto the floor: 18 rows.
    QTest::keyClick(dlg.CancelButton(), Qt::Key_Space);
    EXPECT_TRUE(dlg.Game().IsRunning()); // the button was not pressed
    for (int x = 4; x <= 7; ++x)
        EXPECT_NE(dlg.Game().Cell(x, 19), 0) << x;
    EXPECT_EQ(dlg.ScoreDisplay()->text(), "37");
    EXPECT_EQ(dlg.Game().Piece().shape, BlockShape::O);

    QTest::keyClick(&dlg, Qt::Key_P);
    EXPECT_TRUE(dlg.Game().IsPaused());
    EXPECT_FALSE(dlg.Timer().isActive());
    EXPECT_EQ(dlg.PauseButton()->text(), "Resume");
    const BlockPiece before = dlg.Game().Piece();
    QTest::keyClick(&dlg, Qt::Key_Left);
    QTest::keyClick(&dlg, Qt::Key_Space);
    EXPECT_EQ(dlg.Game().Piece().Cells(), before.Cells());
    QTest::keyClick(&dlg, Qt::Key_P);
    EXPECT_FALSE(dlg.Game().IsPaused());
    EXPECT_TRUE(dlg.Timer().isActive());

    QTest::keyClick(&dlg, Qt::Key_F1);
    EXPECT_EQ(topics, std::vector<int>{31});
    SetGamesHelpHandler({});

    // Stop ends the game without a record.
    QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dlg.Game().IsRunning());
    EXPECT_EQ(dlg.CancelButton()->text(), "Storno");
    EXPECT_FALSE(QFile::exists(RecordPath()));
    EXPECT_TRUE(dlg.isVisible());
    QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(BlocksDialogTest, GameOverShowsTheScoreAndKeepsTheRecord)
{
    SequenceRandom random({I, O});
    CBlocksDlg dlg(dir.path(), nullptr, &random);
    Open(dlg);
    QTest::mouseClick(dlg.StartButton(), Qt::LeftButton);
    // Columns 4 and 5 stacked to row 2: the I rests on row 1 and the O that
    // follows finds no room.
    for (int y = 2; y < CBlocksGame::kRows; ++y) {
        dlg.Game().SetCell(4, y, 1);
        dlg.Game().SetCell(5, y, 1);
    }
    ScoreDialogCloser closer;
    QTest::keyClick(&dlg, Qt::Key_Space);
    ASSERT_EQ(closer.scores, std::vector<int>{2});
    EXPECT_FALSE(dlg.Game().IsRunning());
    EXPECT_FALSE(dlg.Timer().isActive());
    EXPECT_EQ(dlg.CancelButton()->text(), "Storno");
    EXPECT_TRUE(dlg.StartButton()->isEnabled());
    EXPECT_EQ(ReadGameRecord(RecordPath()), 2);
    EXPECT_EQ(dlg.BestDisplay()->text(), "2");

    // A new game starts from an empty well.
    QTest::mouseClick(dlg.StartButton(), Qt::LeftButton);
    EXPECT_EQ(dlg.Game().Cell(4, 19), 0);
    EXPECT_EQ(dlg.ScoreDisplay()->text(), "0");
}

TEST_F(BlocksDialogTest, RecordShowsTheBestScoreFromItsFile)
{
    ASSERT_TRUE(WriteGameRecord(RecordPath(), 4321));
    SequenceRandom random({I, O});
    CBlocksDlg dlg(dir.path(), nullptr, &random);
    Open(dlg);
    EXPECT_EQ(dlg.BestDisplay()->text(), "4321");
    ScoreDialogCloser closer;
    QTest::mouseClick(dlg.RecordButton(), Qt::LeftButton);
    EXPECT_EQ(closer.scores, std::vector<int>{4321});
}
