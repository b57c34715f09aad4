// The rules of Snake, played move by move with a fixed random sequence.
#include "snakegame.h"
#include "testrandom.h"

#include <gtest/gtest.h>

namespace {

std::deque<SnakeCell> StartSnake()
{
    std::deque<SnakeCell> cells;
    for (int x = 10; x >= 0; --x)
        cells.push_back({x, 10});
    return cells;
}

} // namespace

TEST(SnakeGame, StartSetsTheOpeningPosition)
{
    SequenceRandom random({20, 3});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    EXPECT_TRUE(game.IsRunning());
    EXPECT_EQ(game.Snake(), StartSnake());
    EXPECT_EQ(game.Direction(), SnakeDirection::Right);
    EXPECT_EQ(game.Score(), 0);
    EXPECT_EQ(game.Period(), 160);
    EXPECT_EQ(game.Growth(), 0);
    EXPECT_FALSE(game.Bonus().has_value());
    ASSERT_TRUE(game.Food().has_value());
    EXPECT_EQ(game.Food()->x, 20);
    EXPECT_EQ(game.Food()->y, 3);
    EXPECT_EQ(random.Draws(), 2u);
}

TEST(SnakeGame, PlacementRejectsTheLastColumnAndRowAndTheSnake)
{
    // (34, 5) and (5, 21) would leave the board; (9, 9) touches (9, 10) and
    // (10, 10) of the snake; (10, 9) covers the head itself.
    SequenceRandom random({34, 5, 5, 21, 9, 9, 10, 9, 20, 3});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    EXPECT_EQ(game.Food()->x, 20);
    EXPECT_EQ(game.Food()->y, 3);
    EXPECT_EQ(random.Draws(), 10u);
}

TEST(SnakeGame, PlacementReducesTheDrawsModuloTheBoard)
{
    SequenceRandom random({35 * 7 + 12, 22 * 3 + 4});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    EXPECT_EQ(game.Food()->x, 12);
    EXPECT_EQ(game.Food()->y, 4);
}

TEST(SnakeGame, BlockNextToTheSnakeIsAccepted)
{
    // (11, 8) covers (11..12, 8..9): beside the snake's row, not on it.
    SequenceRandom random({11, 8});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    EXPECT_EQ(game.Food()->x, 11);
    EXPECT_EQ(game.Food()->y, 8);
}

TEST(SnakeGame, TickMovesTheHeadAndDropsTheTail)
{
    SequenceRandom random({20, 3});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    const SnakeTickResult r = game.Tick();
    EXPECT_FALSE(r.gameOver);
    EXPECT_FALSE(r.ateFood);
    ASSERT_EQ(game.Snake().size(), 11u);
    EXPECT_EQ(game.Snake().front(), (SnakeCell{11, 10}));
    EXPECT_EQ(game.Snake().back(), (SnakeCell{1, 10}));
}

TEST(SnakeGame, MovingOffTheRightEdgeContinuesInColumnZero)
{
    SequenceRandom random({20, 3});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    game.SetPosition({{34, 5}, {33, 5}, {32, 5}}, SnakeDirection::Right);
    game.Tick();
    EXPECT_EQ(game.Snake().front(), (SnakeCell{0, 5}));
    game.Tick();
    EXPECT_EQ(game.Snake().front(), (SnakeCell{1, 5}));
    EXPECT_TRUE(game.IsRunning());
}

TEST(SnakeGame, EveryEdgeWrapsAround)
{
    EXPECT_EQ(CSnakeGame::Step({0, 7}, SnakeDirection::Left), (SnakeCell{34, 7}));
    EXPECT_EQ(CSnakeGame::Step({34, 7}, SnakeDirection::Right), (SnakeCell{0, 7}));
    EXPECT_EQ(CSnakeGame::Step({6, 0}, SnakeDirection::Up), (SnakeCell{6, 21}));
    EXPECT_EQ(CSnakeGame::Step({6, 21}, SnakeDirection::Down), (SnakeCell{6, 0}));
    EXPECT_EQ(CSnakeGame::Step({6, 8}, SnakeDirection::Down), (SnakeCell{6, 9}));
}

TEST(SnakeGame, ReversingOntoTheNeckIsRefused)
{
    SequenceRandom random({20, 3});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    EXPECT_FALSE(game.Steer(SnakeDirection::Left));
    EXPECT_EQ(game.Direction(), SnakeDirection::Right);
    const SnakeTickResult r = game.Tick();
    EXPECT_FALSE(r.gameOver);
    EXPECT_EQ(game.Snake().front(), (SnakeCell{11, 10}));
}

TEST(SnakeGame, EachDirectionRefusesOnlyItsOpposite)
{
    SequenceRandom random({20, 3});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    EXPECT_TRUE(game.Steer(SnakeDirection::Right)); // same direction
    EXPECT_TRUE(game.Steer(SnakeDirection::Up));
    EXPECT_FALSE(game.Steer(SnakeDirection::Down));
    EXPECT_TRUE(game.Steer(SnakeDirection::Left));
    EXPECT_FALSE(game.Steer(SnakeDirection::Right));
    EXPECT_TRUE(game.Steer(SnakeDirection::Down));
    EXPECT_FALSE(game.Steer(SnakeDirection::Up));
    EXPECT_EQ(game.Direction(), SnakeDirection::Down);
}

TEST(SnakeGame, TwoQuickTurnsCanRunIntoTheBody)
{
    SequenceRandom random({20, 3});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    // A hooked snake heading right: up, then left, runs into (4, 4).
    game.SetPosition({{5, 5}, {4, 5}, {3, 5}, {3, 4}, {4, 4}, {4, 3}, {4, 2}}, SnakeDirection::Right);
    ASSERT_TRUE(game.Steer(SnakeDirection::Up));
    EXPECT_FALSE(game.Tick().gameOver);
    EXPECT_EQ(game.Snake().front(), (SnakeCell{5, 4}));
    ASSERT_TRUE(game.Steer(SnakeDirection::Left));
    const SnakeTickResult r = game.Tick();
    EXPECT_TRUE(r.gameOver);
    EXPECT_FALSE(game.IsRunning());
}

TEST(SnakeGame, ThreeTurnsFromTheStartEndTheGame)
{
    SequenceRandom random({20, 3});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    game.Steer(SnakeDirection::Up);
    EXPECT_FALSE(game.Tick().gameOver);
    game.Steer(SnakeDirection::Left);
    EXPECT_FALSE(game.Tick().gameOver);
    game.Steer(SnakeDirection::Down);
    EXPECT_TRUE(game.Tick().gameOver); // (9, 10) is body
    // A finished game does not move any more.
    const SnakeTickResult after = game.Tick();
    EXPECT_FALSE(after.gameOver);
    EXPECT_FALSE(game.IsRunning());
}

TEST(SnakeGame, TheTailCellCountsAsBody)
{
    SequenceRandom random({20, 3});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    // A square of four: the next head cell is the tail.
    game.SetPosition({{5, 5}, {5, 6}, {4, 6}, {4, 5}}, SnakeDirection::Left);
    EXPECT_TRUE(game.Tick().gameOver);
}

TEST(SnakeGame, EatingFoodScoresGrowsAndPlacesNewFood)
{
    SequenceRandom random({12, 10, 1, 30, 2});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    EXPECT_FALSE(game.Tick().ateFood); // head (11, 10)
    const SnakeTickResult r = game.Tick(); // head (12, 10)
    EXPECT_TRUE(r.ateFood);
    EXPECT_EQ(r.points, 10);
    EXPECT_EQ(game.Score(), 10);
    EXPECT_EQ(game.Growth(), 4);
    EXPECT_EQ(game.Food()->x, 30);
    EXPECT_EQ(game.Food()->y, 2);
    EXPECT_EQ(game.Snake().size(), 11u); // the tail went this tick
    for (int i = 0; i < 4; ++i)
        game.Tick();
    EXPECT_EQ(game.Growth(), 0);
    EXPECT_EQ(game.Snake().size(), 15u);
    game.Tick();
    EXPECT_EQ(game.Snake().size(), 15u);
}

TEST(SnakeGame, AnyPartOfTheFoodBlockIsEaten)
{
    // Food at (11, 9) covers (11..12, 9..10): the head enters its lower row.
    SequenceRandom random({11, 9, 1, 30, 2});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    EXPECT_TRUE(game.Tick().ateFood);
}

TEST(SnakeGame, BonusKindsFollowTheSecondDraw)
{
    const int lives[4] = {40, 30, 25, 20};
    const int types[4] = {1, 3, 6, 10};
    for (int r = 0; r < 4; ++r) {
        // Start food, then tick: chance 8 (mod 8 = 0), kind r, place (20, 15).
        SequenceRandom random({30, 2, 8, r, 20, 15});
        CSnakeGame game(random);
        ASSERT_TRUE(game.Start());
        game.Tick();
        ASSERT_TRUE(game.Bonus().has_value()) << r;
        EXPECT_EQ(game.Bonus()->type, types[r]);
        EXPECT_EQ(game.Bonus()->life, lives[r]);
        EXPECT_EQ(game.Bonus()->block.x, 20);
        EXPECT_EQ(game.Bonus()->block.y, 15);
    }
}

TEST(SnakeGame, NoBonusUnlessTheChanceDrawIsAMultipleOfEight)
{
    SequenceRandom random({30, 2, 7, 9, 15});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    game.Tick();
    game.Tick();
    game.Tick();
    EXPECT_FALSE(game.Bonus().has_value());
    EXPECT_EQ(random.Draws(), 5u); // one draw a tick, nothing more
}

TEST(SnakeGame, BonusAgesAndDisappears)
{
    // Kind 3: life 20. The snake runs along row 10, far from (20, 15).
    SequenceRandom random({30, 2, 0, 3, 20, 15});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    game.Tick();
    ASSERT_TRUE(game.Bonus().has_value());
    for (int i = 1; i < 20; ++i) {
        game.Tick();
        ASSERT_TRUE(game.Bonus().has_value()) << i;
        EXPECT_EQ(game.Bonus()->life, 20 - i);
    }
    game.Tick();
    EXPECT_FALSE(game.Bonus().has_value());
}

TEST(SnakeGame, EatingABonusOfTenMakesHundredAndSpeedsUp)
{
    // Bonus of type 10 at (13, 10); the head reaches it on the third tick.
    SequenceRandom random({30, 2, 0, 3, 13, 10});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    game.Tick();
    ASSERT_TRUE(game.Bonus().has_value());
    game.Tick();
    EXPECT_EQ(game.Bonus()->life, 19);
    const SnakeTickResult r = game.Tick();
    EXPECT_TRUE(r.ateBonus);
    EXPECT_EQ(r.points, 100);
    EXPECT_EQ(game.Score(), 100);
    EXPECT_EQ(game.Growth(), 4);
    EXPECT_EQ(game.Period(), 152);
    EXPECT_EQ(game.ScoreAtSpeedUp(), 100);
}

TEST(SnakeGame, SpeedRuleCountsFromTheLastSpeedUp)
{
    SequenceRandom random({20, 3});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    game.AddPoints(60);
    EXPECT_EQ(game.Period(), 160);
    game.AddPoints(30);
    EXPECT_EQ(game.Period(), 160);
    game.AddPoints(10); // 100
    EXPECT_EQ(game.Period(), 152);
    game.AddPoints(90); // 190: only 90 since the last speed-up
    EXPECT_EQ(game.Period(), 152);
    game.AddPoints(10); // 200
    EXPECT_EQ(game.Period(), 144);
    EXPECT_EQ(game.ScoreAtSpeedUp(), 200);
}

TEST(SnakeGame, PeriodNeverGoesBelowTwenty)
{
    SequenceRandom random({20, 3});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    for (int i = 0; i < 17; ++i)
        game.AddPoints(100);
    EXPECT_EQ(game.Period(), 24);
    game.AddPoints(100);
    EXPECT_EQ(game.Period(), 20);
    for (int i = 0; i < 10; ++i)
        game.AddPoints(100);
    EXPECT_EQ(game.Period(), 20);
    EXPECT_EQ(CSnakeGame::FasterPeriod(21), 20);
    EXPECT_EQ(CSnakeGame::FasterPeriod(160), 152);
}

TEST(SnakeGame, StartAgainResetsScoreAndPeriod)
{
    SequenceRandom random({20, 3});
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    game.AddPoints(300);
    game.Stop();
    EXPECT_FALSE(game.IsRunning());
    EXPECT_TRUE(game.Snake().empty());
    ASSERT_TRUE(game.Start());
    EXPECT_EQ(game.Score(), 0);
    EXPECT_EQ(game.Period(), 160);
    EXPECT_EQ(game.ScoreAtSpeedUp(), 0);
}

TEST(SnakeGame, NoPlaceForTheFoodAtStartFillsTheBoard)
{
    // 10 always: (10, 10), the head's block, 5000 times.
    SequenceRandom random({}, 10);
    CSnakeGame game(random);
    EXPECT_FALSE(game.Start());
    EXPECT_FALSE(game.IsRunning());
    EXPECT_EQ(random.Draws(), 2u * CSnakeGame::kPlaceAttempts);
}

TEST(SnakeGame, NoPlaceAfterEatingFillsTheBoardAndKeepsThePoints)
{
    SequenceRandom random({12, 10, 1}, 10);
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    EXPECT_FALSE(game.Tick().boardFull); // head (11, 10); chance draw 1
    const std::size_t before = random.Draws();
    // Head (12, 10) eats; every try for new food hits (10, 10), the snake.
    const SnakeTickResult r = game.Tick();
    EXPECT_TRUE(r.ateFood);
    EXPECT_TRUE(r.boardFull);
    EXPECT_FALSE(r.gameOver);
    EXPECT_EQ(game.Score(), 10);
    EXPECT_FALSE(game.IsRunning());
    EXPECT_EQ(random.Draws() - before, 2u * CSnakeGame::kPlaceAttempts);
}

TEST(SnakeGame, NoPlaceForABonusFillsTheBoardToo)
{
    // The chance draw 0 and kind 0 come first, then only (10, 10).
    SequenceRandom random({30, 2, 0, 0}, 10);
    CSnakeGame game(random);
    ASSERT_TRUE(game.Start());
    const SnakeTickResult r = game.Tick();
    EXPECT_TRUE(r.boardFull);
    EXPECT_FALSE(game.IsRunning());
}
