#include "snakegame.h"

#include <algorithm>

CSnakeGame::CSnakeGame(CGameRandom &random) : m_random(random) {}

void CSnakeGame::Clear()
{
    m_snake.clear();
    m_food.reset();
    m_bonus.reset();
    m_growth = 0;
}

bool CSnakeGame::Start()
{
    Clear();
    m_score = 0;
    m_scoreAtSpeedUp = 0;
    m_period = kStartPeriod;
    m_direction = SnakeDirection::Right;
    for (int x = kStartLength - 1; x >= 0; --x)
        m_snake.push_back({x, 10});
    m_running = true;
    m_food = PlaceBlock();
    if (!m_food) {
        m_running = false;
        return false;
    }
    return true;
}

void CSnakeGame::Stop()
{
    m_running = false;
    Clear();
}

SnakeCell CSnakeGame::Step(SnakeCell from, SnakeDirection direction)
{
    switch (direction) {
    case SnakeDirection::Left:
        from.x = from.x == 0 ? kColumns - 1 : from.x - 1;
        break;
    case SnakeDirection::Right:
        from.x = from.x == kColumns - 1 ? 0 : from.x + 1;
        break;
    case SnakeDirection::Up:
        from.y = from.y == 0 ? kRows - 1 : from.y - 1;
        break;
    case SnakeDirection::Down:
        from.y = from.y == kRows - 1 ? 0 : from.y + 1;
        break;
    }
    return from;
}

int CSnakeGame::FasterPeriod(int period)
{
    return std::max(kMinPeriod, period - kPeriodStep);
}

bool CSnakeGame::SnakeCovers(SnakeCell cell) const
{
    return std::find(m_snake.begin(), m_snake.end(), cell) != m_snake.end();
}

bool CSnakeGame::SnakeTouches(const SnakeBlock &block) const
{
    return std::any_of(m_snake.begin(), m_snake.end(), [&](const SnakeCell &c) { return block.Covers(c); });
}

std::optional<SnakeBlock> CSnakeGame::PlaceBlock()
{
    for (int attempt = 0; attempt < kPlaceAttempts; ++attempt) {
        SnakeBlock block;
        block.x = m_random.Next() % kColumns;
        block.y = m_random.Next() % kRows;
        // The block's second column and row must stay on the board.
        if (block.x == kColumns - 1 || block.y == kRows - 1)
            continue;
        if (SnakeTouches(block))
            continue;
        return block;
    }
    return std::nullopt;
}

void CSnakeGame::AddPoints(int points)
{
    m_score += points;
    if (m_score - m_scoreAtSpeedUp >= kSpeedUpPoints) {
        m_period = FasterPeriod(m_period);
        m_scoreAtSpeedUp = m_score;
    }
}

bool CSnakeGame::Steer(SnakeDirection direction)
{
    if (!m_running)
        return false;
    const bool reversal = (direction == SnakeDirection::Left && m_direction == SnakeDirection::Right) ||
                          (direction == SnakeDirection::Right && m_direction == SnakeDirection::Left) ||
                          (direction == SnakeDirection::Up && m_direction == SnakeDirection::Down) ||
                          (direction == SnakeDirection::Down && m_direction == SnakeDirection::Up);
    if (reversal)
        return false;
    m_direction = direction;
    return true;
}

SnakeTickResult CSnakeGame::Tick()
{
    SnakeTickResult result;
    if (!m_running || m_snake.empty())
        return result;

    // 1-2: the next head cell; running into the snake ends the game.
    const SnakeCell head = Step(m_snake.front(), m_direction);
    if (SnakeCovers(head)) {
        m_running = false;
        result.gameOver = true;
        return result;
    }

    // 3: move, the tail staying while the snake grows.
    m_snake.push_front(head);
    if (m_growth > 0)
        --m_growth;
    else
        m_snake.pop_back();

    const int scoreBefore = m_score;
    if (m_food && SnakeTouches(*m_food)) {
        // 4: the food is eaten. Its points count before a new place is
        // looked for, so that a full board still credits the last item.
        result.ateFood = true;
        m_growth += kGrowthPerItem;
        AddPoints(kFoodPoints);
        m_food = PlaceBlock();
        if (!m_food) {
            m_running = false;
            result.boardFull = true;
            result.points = m_score - scoreBefore;
            return result;
        }
    } else if (m_bonus) {
        // 5: the bonus is eaten by the head or ages by one tick.
        if (m_bonus->block.Covers(head)) {
            result.ateBonus = true;
            m_growth += kGrowthPerItem;
            const int worth = m_bonus->type * 10;
            m_bonus.reset();
            AddPoints(worth);
        } else if (--m_bonus->life <= 0) {
            m_bonus.reset();
        }
    }

    // 6: with no bonus on the board, one in eight ticks brings a new one.
    if (!m_bonus && m_random.Next() % 8 == 0) {
        static constexpr int kLives[4] = {40, 30, 25, 20};
        static constexpr int kTypes[4] = {1, 3, 6, 10};
        const int r = m_random.Next() % 4;
        const std::optional<SnakeBlock> block = PlaceBlock();
        if (!block) {
            m_running = false;
            result.boardFull = true;
            result.points = m_score - scoreBefore;
            return result;
        }
        m_bonus = SnakeBonus{*block, kTypes[r], kLives[r]};
    }

    result.points = m_score - scoreBefore;
    return result;
}

void CSnakeGame::SetPosition(std::deque<SnakeCell> snake, SnakeDirection direction)
{
    m_snake = std::move(snake);
    m_direction = direction;
    m_running = !m_snake.empty();
}
