#pragma once
// The rules of the Snake game, apart from its dialog: the 35 x 22 board that
// wraps around at its edges, the snake, the food, the bonus items, the tick,
// steering and the speed rule. Every random number comes from the injected
// CGameRandom, so a test can play a whole game move by move.

#include "gamerandom.h"

#include <deque>
#include <optional>

struct SnakeCell {
    int x = 0;
    int y = 0;
    bool operator==(const SnakeCell &) const = default;
};

enum class SnakeDirection { Left = 1, Right = 2, Up = 3, Down = 4 };

// A 2 x 2 block: columns x..x+1, rows y..y+1.
struct SnakeBlock {
    int x = 0;
    int y = 0;
    bool Covers(SnakeCell c) const { return c.x >= x && c.x <= x + 1 && c.y >= y && c.y <= y + 1; }
};

struct SnakeBonus {
    SnakeBlock block;
    int type = 1; // worth in tens of points: 1, 3, 6 or 10
    int life = 0; // remaining ticks
};

// What one tick did; the dialog plays the sound and shows the boxes.
struct SnakeTickResult {
    bool gameOver = false;  // the head ran into the snake
    bool boardFull = false; // no place was left for a new item
    bool ateFood = false;
    bool ateBonus = false;
    int points = 0; // points scored by this tick
};

class CSnakeGame {
public:
    static constexpr int kColumns = 35;
    static constexpr int kRows = 22;
    static constexpr int kStartPeriod = 160; // ms
    static constexpr int kPeriodStep = 8;    // ms taken off at each speed-up
    static constexpr int kMinPeriod = 20;    // ms
    static constexpr int kSpeedUpPoints = 100;
    static constexpr int kPlaceAttempts = 5000;
    static constexpr int kGrowthPerItem = 4;
    static constexpr int kFoodPoints = 10;
    static constexpr int kStartLength = 11;

    explicit CSnakeGame(CGameRandom &random);

    // Starts a game: score 0, period 160 ms, heading right, the eleven cells
    // (10,10) .. (0,10) head first, the food placed. Returns false when the
    // food found no place (the game is then over with boardFull semantics).
    bool Start();
    // Ends a running game without a result (the cancel button).
    void Stop();
    bool IsRunning() const { return m_running; }

    // One step of the clock.
    SnakeTickResult Tick();

    // An arrow key: returns true when the direction was taken; a reversal
    // onto the snake's own neck is refused. Does not tick by itself.
    bool Steer(SnakeDirection direction);

    // Adds points and applies the speed rule: every 100 points since the last
    // speed-up take 8 ms off the period, down to 20 ms.
    void AddPoints(int points);

    const std::deque<SnakeCell> &Snake() const { return m_snake; }
    SnakeDirection Direction() const { return m_direction; }
    const std::optional<SnakeBlock> &Food() const { return m_food; }
    const std::optional<SnakeBonus> &Bonus() const { return m_bonus; }
    int Growth() const { return m_growth; }
    int Score() const { return m_score; }
    int ScoreAtSpeedUp() const { return m_scoreAtSpeedUp; }
    int Period() const { return m_period; }

    bool SnakeCovers(SnakeCell cell) const;
    // The cell one step from `from` in `direction`, wrapped around the board.
    static SnakeCell Step(SnakeCell from, SnakeDirection direction);
    // The period after one speed-up from `period`.
    static int FasterPeriod(int period);

    // Puts the game in a given position (a running game with this snake,
    // heading this way); used to set up situations in tests and demos.
    void SetPosition(std::deque<SnakeCell> snake, SnakeDirection direction);
    void SetFood(std::optional<SnakeBlock> food) { m_food = food; }
    void SetBonus(std::optional<SnakeBonus> bonus) { m_bonus = bonus; }

private:
    // Up to 5000 random tries for a 2 x 2 block that lies inside the board
    // and touches no snake cell.
    std::optional<SnakeBlock> PlaceBlock();
    bool SnakeTouches(const SnakeBlock &block) const;
    void Clear();

    CGameRandom &m_random;
    std::deque<SnakeCell> m_snake; // head first
    SnakeDirection m_direction = SnakeDirection::Right;
    std::optional<SnakeBlock> m_food;
    std::optional<SnakeBonus> m_bonus;
    int m_growth = 0;
    int m_score = 0;
    int m_scoreAtSpeedUp = 0;
    int m_period = kStartPeriod;
    bool m_running = false;
};
