#include "blocksgame.h"

#include <algorithm>

namespace {

// The shapes as they enter the well, in their bounding boxes of 4 (I),
// 2 (O) or 3 cells; rotation turns them about the box's centre.
struct ShapeDef {
    int box;
    BlockCells cells;
};

constexpr ShapeDef kShapes[kBlockShapeCount] = {
    {4, {{{0, 1}, {1, 1}, {2, 1}, {3, 1}}}}, // I
    {2, {{{0, 0}, {1, 0}, {0, 1}, {1, 1}}}}, // O
    {3, {{{1, 0}, {0, 1}, {1, 1}, {2, 1}}}}, // T
    {3, {{{1, 0}, {2, 0}, {0, 1}, {1, 1}}}}, // S
    {3, {{{0, 0}, {1, 0}, {1, 1}, {2, 1}}}}, // Z
    {3, {{{0, 0}, {0, 1}, {1, 1}, {2, 1}}}}, // J
    {3, {{{2, 0}, {0, 1}, {1, 1}, {2, 1}}}}, // L
};

// Sideways shifts tried in turn when a rotation does not fit where it is.
constexpr int kKicks[] = {0, -1, 1, -2, 2};

} // namespace

BlockCells CBlocksGame::ShapeCells(BlockShape shape, int rotation)
{
    const ShapeDef &def = kShapes[static_cast<int>(shape)];
    BlockCells cells = def.cells;
    const int turns = ((rotation % 4) + 4) % 4;
    for (int t = 0; t < turns; ++t) {
        for (BlockCell &c : cells)
            c = BlockCell{def.box - 1 - c.y, c.x}; // a quarter turn clockwise
    }
    return cells;
}

BlockCells BlockPiece::Cells() const
{
    BlockCells cells = CBlocksGame::ShapeCells(shape, rotation);
    for (BlockCell &c : cells) {
        c.x += x;
        c.y += y;
    }
    return cells;
}

BlockPiece CBlocksGame::SpawnPiece(BlockShape shape)
{
    const ShapeDef &def = kShapes[static_cast<int>(shape)];
    int top = def.box;
    for (const BlockCell &c : def.cells)
        top = std::min(top, c.y);
    BlockPiece piece;
    piece.shape = shape;
    piece.rotation = 0;
    piece.x = (kColumns - def.box) / 2;
    piece.y = -top; // the shape's top row on the well's top row
    return piece;
}

int CBlocksGame::FallPeriodForLevel(int level)
{
    return std::max(kMinPeriod, kFirstPeriod - kPeriodStep * (std::max(level, 1) - 1));
}

int CBlocksGame::LinePoints(int lines, int level)
{
    static constexpr int kBase[5] = {0, 40, 100, 300, 1200};
    if (lines < 0 || lines > 4)
        return 0;
    return kBase[lines] * std::max(level, 1);
}

CBlocksGame::CBlocksGame(CGameRandom &random) : m_random(random) {}

BlockShape CBlocksGame::DrawShape()
{
    return static_cast<BlockShape>(m_random.Next() % kBlockShapeCount);
}

void CBlocksGame::Start()
{
    for (auto &row : m_well)
        row.fill(0);
    m_score = 0;
    m_lines = 0;
    m_level = 1;
    m_paused = false;
    m_running = true;
    m_piece = SpawnPiece(DrawShape());
    m_next = DrawShape();
}

void CBlocksGame::Stop()
{
    m_running = false;
    m_paused = false;
}

void CBlocksGame::SetPaused(bool paused)
{
    m_paused = m_running && paused;
}

int CBlocksGame::Cell(int x, int y) const
{
    if (x < 0 || x >= kColumns || y < 0 || y >= kRows)
        return 0;
    return m_well[y][x];
}

void CBlocksGame::SetCell(int x, int y, int value)
{
    if (x >= 0 && x < kColumns && y >= 0 && y < kRows)
        m_well[y][x] = value;
}

bool CBlocksGame::Fits(const BlockPiece &piece) const
{
    for (const BlockCell &c : piece.Cells()) {
        if (c.x < 0 || c.x >= kColumns || c.y >= kRows)
            return false;
        // Above the well is open space.
        if (c.y >= 0 && m_well[c.y][c.x] != 0)
            return false;
    }
    return true;
}

bool CBlocksGame::MoveLeft()
{
    if (!CanPlay())
        return false;
    BlockPiece moved = m_piece;
    --moved.x;
    if (!Fits(moved))
        return false;
    m_piece = moved;
    return true;
}

bool CBlocksGame::MoveRight()
{
    if (!CanPlay())
        return false;
    BlockPiece moved = m_piece;
    ++moved.x;
    if (!Fits(moved))
        return false;
    m_piece = moved;
    return true;
}

bool CBlocksGame::TryRotate(int turn)
{
    if (!CanPlay())
        return false;
    BlockPiece turned = m_piece;
    turned.rotation = (turned.rotation + turn + 4) % 4;
    for (int kick : kKicks) {
        BlockPiece tried = turned;
        tried.x += kick;
        if (Fits(tried)) {
            m_piece = tried;
            return true;
        }
    }
    return false;
}

bool CBlocksGame::RotateClockwise()
{
    return TryRotate(1);
}

bool CBlocksGame::RotateCounterClockwise()
{
    return TryRotate(-1);
}

BlockPiece CBlocksGame::DropTarget() const
{
    BlockPiece target = m_piece;
    for (;;) {
        BlockPiece lower = target;
        ++lower.y;
        if (!Fits(lower))
            return target;
        target = lower;
    }
}

int CBlocksGame::ClearFullRows()
{
    int cleared = 0;
    int write = kRows - 1;
    for (int read = kRows - 1; read >= 0; --read) {
        const bool full = std::all_of(m_well[read].begin(), m_well[read].end(), [](int v) { return v != 0; });
        if (full) {
            ++cleared;
            continue;
        }
        if (write != read)
            m_well[write] = m_well[read];
        --write;
    }
    for (; write >= 0; --write)
        m_well[write].fill(0);
    return cleared;
}

BlocksStepResult CBlocksGame::Lock()
{
    BlocksStepResult result;
    result.locked = true;
    bool aboveTop = false;
    for (const BlockCell &c : m_piece.Cells()) {
        if (c.y < 0)
            aboveTop = true;
        else
            m_well[c.y][c.x] = static_cast<int>(m_piece.shape) + 1;
    }

    const int cleared = ClearFullRows();
    if (cleared > 0) {
        result.linesCleared = cleared;
        result.points = LinePoints(cleared, m_level);
        m_score += result.points;
        m_lines += cleared;
        m_level = 1 + m_lines / kLinesPerLevel;
    }

    // A piece resting partly above the well, or a next piece that cannot
    // enter, ends the game (the rows it completed still count).
    if (aboveTop) {
        m_running = false;
        result.gameOver = true;
        return result;
    }
    m_piece = SpawnPiece(m_next);
    m_next = DrawShape();
    if (!Fits(m_piece)) {
        m_running = false;
        result.gameOver = true;
    }
    return result;
}

BlocksStepResult CBlocksGame::Fall()
{
    if (!CanPlay())
        return {};
    BlockPiece lower = m_piece;
    ++lower.y;
    if (Fits(lower)) {
        m_piece = lower;
        BlocksStepResult result;
        result.moved = true;
        return result;
    }
    return Lock();
}

BlocksStepResult CBlocksGame::SoftDrop()
{
    if (!CanPlay())
        return {};
    BlocksStepResult result = Fall();
    if (result.moved) {
        m_score += 1;
        result.points += 1;
    }
    return result;
}

BlocksStepResult CBlocksGame::HardDrop()
{
    if (!CanPlay())
        return {};
    const BlockPiece target = DropTarget();
    const int rows = target.y - m_piece.y;
    m_piece = target;
    const int dropPoints = 2 * rows;
    m_score += dropPoints;
    BlocksStepResult result = Lock();
    result.moved = rows > 0;
    result.points += dropPoints;
    return result;
}
