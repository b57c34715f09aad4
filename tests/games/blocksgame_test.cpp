// The rules of the falling-blocks game with a fixed sequence of shapes.
#include "blocksgame.h"
#include "testrandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

constexpr int I = static_cast<int>(BlockShape::I);
constexpr int O = static_cast<int>(BlockShape::O);
constexpr int T = static_cast<int>(BlockShape::T);

std::set<std::pair<int, int>> AsSet(const BlockCells &cells)
{
    std::set<std::pair<int, int>> set;
    for (const BlockCell &c : cells)
        set.insert({c.x, c.y});
    return set;
}

int FilledCells(const CBlocksGame &game)
{
    int n = 0;
    for (int y = 0; y < CBlocksGame::kRows; ++y)
        for (int x = 0; x < CBlocksGame::kColumns; ++x)
            n += game.Cell(x, y) != 0;
    return n;
}

// Rows `first`..19 full but for column 9.
void FillRowsButLastColumn(CBlocksGame &game, int first)
{
    for (int y = first; y < CBlocksGame::kRows; ++y)
        for (int x = 0; x < CBlocksGame::kColumns - 1; ++x)
            game.SetCell(x, y, 3);
}

// An upright I whose cells are column 9, rows 0-3.
BlockPiece UprightIInLastColumn()
{
    return BlockPiece{BlockShape::I, 1, 7, 0};
}

} // namespace

TEST(BlocksGame, EveryShapeHasFourCellsAndTurnsBackAfterFourQuarters)
{
    for (int s = 0; s < kBlockShapeCount; ++s) {
        const auto shape = static_cast<BlockShape>(s);
        for (int r = 0; r < 4; ++r) {
            EXPECT_EQ(AsSet(CBlocksGame::ShapeCells(shape, r)).size(), 4u) << s << "/" << r;
        }
        EXPECT_EQ(CBlocksGame::ShapeCells(shape, 4), CBlocksGame::ShapeCells(shape, 0)) << s;
        EXPECT_EQ(CBlocksGame::ShapeCells(shape, -1), CBlocksGame::ShapeCells(shape, 3)) << s;
    }
    // The O looks the same whichever way it is turned.
    for (int r = 1; r < 4; ++r)
        EXPECT_EQ(AsSet(CBlocksGame::ShapeCells(BlockShape::O, r)), AsSet(CBlocksGame::ShapeCells(BlockShape::O, 0)));
    // The I stands up in its box's third column.
    const BlockCells upright = CBlocksGame::ShapeCells(BlockShape::I, 1);
    EXPECT_TRUE(std::all_of(upright.begin(), upright.end(), [](const BlockCell &c) { return c.x == 2; }));
}

TEST(BlocksGame, PiecesEnterCentredOnTheTopRow)
{
    const BlockPiece i = CBlocksGame::SpawnPiece(BlockShape::I);
    EXPECT_EQ(i.Cells(), (BlockCells{{{3, 0}, {4, 0}, {5, 0}, {6, 0}}}));
    const BlockPiece o = CBlocksGame::SpawnPiece(BlockShape::O);
    EXPECT_EQ(o.Cells(), (BlockCells{{{4, 0}, {5, 0}, {4, 1}, {5, 1}}}));
    const BlockPiece t = CBlocksGame::SpawnPiece(BlockShape::T);
    EXPECT_EQ(t.Cells(), (BlockCells{{{4, 0}, {3, 1}, {4, 1}, {5, 1}}}));
}

TEST(BlocksGame, StartDrawsThePieceAndTheNextShape)
{
    SequenceRandom random({T + 7, O, I});
    CBlocksGame game(random);
    game.Start();
    EXPECT_TRUE(game.IsRunning());
    EXPECT_EQ(game.Piece().shape, BlockShape::T);
    EXPECT_EQ(game.NextShape(), BlockShape::O);
    EXPECT_EQ(game.Score(), 0);
    EXPECT_EQ(game.Lines(), 0);
    EXPECT_EQ(game.Level(), 1);
    EXPECT_EQ(FilledCells(game), 0);
    // After the drop the previewed shape comes in and a new one is drawn.
    const BlocksStepResult r = game.HardDrop();
    EXPECT_TRUE(r.locked);
    EXPECT_EQ(game.Piece().shape, BlockShape::O);
    EXPECT_EQ(game.NextShape(), BlockShape::I);
    EXPECT_EQ(FilledCells(game), 4);
}

TEST(BlocksGame, MovesStopAtTheWalls)
{
    SequenceRandom random({I, O});
    CBlocksGame game(random);
    game.Start();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(game.MoveLeft());
    EXPECT_FALSE(game.MoveLeft());
    EXPECT_EQ(game.Piece().Cells()[0].x, 0);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(game.MoveRight());
    EXPECT_FALSE(game.MoveRight());
    EXPECT_EQ(game.Piece().Cells()[3].x, 9);
}

TEST(BlocksGame, MovesStopAtLockedCells)
{
    SequenceRandom random({O, O});
    CBlocksGame game(random);
    game.Start();
    game.SetCell(3, 1, 1);
    EXPECT_FALSE(game.MoveLeft());
    EXPECT_TRUE(game.MoveRight());
}

TEST(BlocksGame, RotationAtTheLeftWallKicksTheShapeIn)
{
    SequenceRandom random({I, O});
    CBlocksGame game(random);
    game.Start();
    game.SetPiece(BlockPiece{BlockShape::I, 1, -2, 5}); // upright in column 0
    ASSERT_TRUE(game.Fits(game.Piece()));
    ASSERT_TRUE(game.RotateClockwise());
    EXPECT_EQ(game.Piece().rotation, 2);
    EXPECT_EQ(game.Piece().Cells(), (BlockCells{{{3, 7}, {2, 7}, {1, 7}, {0, 7}}}));
}

TEST(BlocksGame, RotationAtTheRightWallKicksTheShapeIn)
{
    SequenceRandom random({I, O});
    CBlocksGame game(random);
    game.Start();
    game.SetPiece(BlockPiece{BlockShape::I, 1, 7, 5}); // upright in column 9
    ASSERT_TRUE(game.RotateClockwise());
    for (const BlockCell &c : game.Piece().Cells()) {
        EXPECT_GE(c.x, 6);
        EXPECT_LE(c.x, 9);
        EXPECT_EQ(c.y, 7);
    }
}

TEST(BlocksGame, RotationWithNoRoomIsRefused)
{
    SequenceRandom random({I, O});
    CBlocksGame game(random);
    game.Start();
    for (int y = 0; y < CBlocksGame::kRows; ++y)
        game.SetCell(1, y, 2);
    const BlockPiece before{BlockShape::I, 1, -2, 5};
    game.SetPiece(before);
    EXPECT_FALSE(game.RotateClockwise());
    EXPECT_FALSE(game.RotateCounterClockwise());
    EXPECT_EQ(game.Piece().Cells(), before.Cells());
    EXPECT_EQ(game.Piece().rotation, 1);
}

TEST(BlocksGame, CounterClockwiseUndoesClockwise)
{
    SequenceRandom random({T, O});
    CBlocksGame game(random);
    game.Start();
    game.Fall();
    game.Fall();
    const BlockCells before = game.Piece().Cells();
    ASSERT_TRUE(game.RotateClockwise());
    EXPECT_NE(game.Piece().Cells(), before);
    ASSERT_TRUE(game.RotateCounterClockwise());
    EXPECT_EQ(game.Piece().Cells(), before);
}

TEST(BlocksGame, FallingPieceLocksAndClearsAFullRow)
{
    SequenceRandom random({I, O, T});
    CBlocksGame game(random);
    game.Start();
    for (int x = 0; x < CBlocksGame::kColumns; ++x)
        if (x < 3 || x > 6)
            game.SetCell(x, 19, 2);
    game.SetCell(0, 18, 5); // a cell above the row moves down with the rest
    for (int i = 0; i < 19; ++i) {
        const BlocksStepResult r = game.Fall();
        ASSERT_TRUE(r.moved) << i;
        ASSERT_FALSE(r.locked) << i;
    }
    const BlocksStepResult r = game.Fall();
    EXPECT_TRUE(r.locked);
    EXPECT_EQ(r.linesCleared, 1);
    EXPECT_EQ(r.points, 40);
    EXPECT_EQ(game.Score(), 40);
    EXPECT_EQ(game.Lines(), 1);
    EXPECT_EQ(FilledCells(game), 1);
    EXPECT_EQ(game.Cell(0, 19), 5);
    EXPECT_EQ(game.Cell(0, 18), 0);
    EXPECT_EQ(game.Piece().shape, BlockShape::O);
}

TEST(BlocksGame, FourRowsAtOnceScoreTwelveHundred)
{
    SequenceRandom random({I, O});
    CBlocksGame game(random);
    game.Start();
    FillRowsButLastColumn(game, 16);
    game.SetPiece(UprightIInLastColumn());
    const BlocksStepResult r = game.HardDrop();
    EXPECT_TRUE(r.locked);
    EXPECT_EQ(r.linesCleared, 4);
    EXPECT_EQ(r.points, 1200 + 2 * 16);
    EXPECT_EQ(game.Score(), 1232);
    EXPECT_EQ(game.Lines(), 4);
    EXPECT_EQ(FilledCells(game), 0);
}

TEST(BlocksGame, TenLinesRaiseTheLevelAndSpeedTheFall)
{
    SequenceRandom random({I, O});
    CBlocksGame game(random);
    game.Start();
    EXPECT_EQ(game.FallPeriod(), 800);
    int expected = 0;
    for (int round = 0; round < 3; ++round) {
        FillRowsButLastColumn(game, 16);
        game.SetPiece(UprightIInLastColumn());
        ASSERT_EQ(game.HardDrop().linesCleared, 4);
        expected += 1200 + 32;
    }
    EXPECT_EQ(game.Lines(), 12);
    EXPECT_EQ(game.Level(), 2);
    EXPECT_EQ(game.FallPeriod(), 730);
    EXPECT_EQ(game.Score(), expected);
    // Rows are worth the level's multiple now.
    FillRowsButLastColumn(game, 16);
    game.SetPiece(UprightIInLastColumn());
    EXPECT_EQ(game.HardDrop().points, 2400 + 32);
}

TEST(BlocksGame, FallPeriodShrinksWithTheLevelDownToItsFloor)
{
    EXPECT_EQ(CBlocksGame::FallPeriodForLevel(1), 800);
    EXPECT_EQ(CBlocksGame::FallPeriodForLevel(2), 730);
    EXPECT_EQ(CBlocksGame::FallPeriodForLevel(10), 170);
    EXPECT_EQ(CBlocksGame::FallPeriodForLevel(11), 100);
    EXPECT_EQ(CBlocksGame::FallPeriodForLevel(40), 100);
    EXPECT_EQ(CBlocksGame::LinePoints(1, 1), 40);
    EXPECT_EQ(CBlocksGame::LinePoints(2, 3), 300);
    EXPECT_EQ(CBlocksGame::LinePoints(3, 1), 300);
    EXPECT_EQ(CBlocksGame::LinePoints(4, 2), 2400);
    EXPECT_EQ(CBlocksGame::LinePoints(0, 5), 0);
}

TEST(BlocksGame, DropsScoreByTheRow)
{
    SequenceRandom random({O, O});
    CBlocksGame game(random);
    game.Start();
    const BlocksStepResult soft = game.SoftDrop();
    EXPECT_TRUE(soft.moved);
    EXPECT_EQ(game.Score(), 1);
    EXPECT_EQ(game.DropTarget().y, 18);
    const BlocksStepResult hard = game.HardDrop(); // from row 1 to row 18
    EXPECT_TRUE(hard.locked);
    EXPECT_EQ(hard.points, 34);
    EXPECT_EQ(game.Score(), 35);
    EXPECT_NE(game.Cell(4, 19), 0);
    EXPECT_NE(game.Cell(5, 18), 0);
}

TEST(BlocksGame, ANextPieceWithNoRoomEndsTheGame)
{
    SequenceRandom random({O, I});
    CBlocksGame game(random);
    game.Start();
    // Columns 4 and 5 stacked up to row 2, with no full row.
    for (int y = 2; y < CBlocksGame::kRows; ++y) {
        game.SetCell(4, y, 1);
        game.SetCell(5, y, 1);
    }
    const BlocksStepResult r = game.Fall(); // the O rests at once
    EXPECT_TRUE(r.locked);
    EXPECT_TRUE(r.gameOver);
    EXPECT_FALSE(game.IsRunning());
    // Nothing moves after the end.
    EXPECT_FALSE(game.MoveLeft());
    EXPECT_FALSE(game.Fall().moved);
}

TEST(BlocksGame, APieceRestingAboveTheWellEndsTheGame)
{
    SequenceRandom random({I, O});
    CBlocksGame game(random);
    game.Start();
    for (int y = 2; y < CBlocksGame::kRows; ++y)
        game.SetCell(9, y, 1);
    game.SetPiece(BlockPiece{BlockShape::I, 1, 7, -2}); // column 9, rows -2..1
    const BlocksStepResult r = game.Fall();
    EXPECT_TRUE(r.locked);
    EXPECT_TRUE(r.gameOver);
    EXPECT_EQ(game.Cell(9, 0), 1 + I);
    EXPECT_EQ(game.Cell(9, 1), 1 + I);
}

TEST(BlocksGame, PauseFreezesThePiece)
{
    SequenceRandom random({T, O});
    CBlocksGame game(random);
    game.Start();
    game.TogglePause();
    EXPECT_TRUE(game.IsPaused());
    const BlockCells before = game.Piece().Cells();
    EXPECT_FALSE(game.MoveLeft());
    EXPECT_FALSE(game.RotateClockwise());
    EXPECT_FALSE(game.Fall().moved);
    EXPECT_FALSE(game.HardDrop().locked);
    EXPECT_EQ(game.Piece().Cells(), before);
    EXPECT_EQ(game.Score(), 0);
    game.TogglePause();
    EXPECT_FALSE(game.IsPaused());
    EXPECT_TRUE(game.MoveLeft());
}

TEST(BlocksGame, NoPauseWithoutAGame)
{
    SequenceRandom random;
    CBlocksGame game(random);
    game.SetPaused(true);
    EXPECT_FALSE(game.IsPaused());
    EXPECT_FALSE(game.IsRunning());
    EXPECT_FALSE(game.MoveRight());
}
