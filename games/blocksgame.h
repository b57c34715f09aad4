#pragma once
// The rules of the falling-blocks game, apart from its dialog: a well of
// 10 x 20 cells, the seven four-cell shapes, moving, rotating (with small
// sideways kicks off the walls), soft and hard drops, clearing full rows,
// score, level and the fall period. Random shapes come from the injected
// CGameRandom.

#include "gamerandom.h"

#include <array>

enum class BlockShape { I = 0, O, T, S, Z, J, L };
inline constexpr int kBlockShapeCount = 7;

struct BlockCell {
    int x = 0;
    int y = 0;
    bool operator==(const BlockCell &) const = default;
};

using BlockCells = std::array<BlockCell, 4>;

// The falling piece: its shape, rotation (0-3, clockwise quarter turns) and
// the top-left corner of its bounding box in the well (y may be negative
// while the piece pokes out above the well).
struct BlockPiece {
    BlockShape shape = BlockShape::I;
    int rotation = 0;
    int x = 0;
    int y = 0;
    BlockCells Cells() const;
};

struct BlocksStepResult {
    bool moved = false;     // the piece went down at least one row
    bool locked = false;    // the piece came to rest and became part of the well
    int linesCleared = 0;
    int points = 0;
    bool gameOver = false;  // the next piece found no room
};

class CBlocksGame {
public:
    static constexpr int kColumns = 10;
    static constexpr int kRows = 20;
    static constexpr int kLinesPerLevel = 10;
    static constexpr int kFirstPeriod = 800; // ms at level 1
    static constexpr int kPeriodStep = 70;   // ms less per level
    static constexpr int kMinPeriod = 100;   // ms

    explicit CBlocksGame(CGameRandom &random);

    // Empties the well, resets score, lines and level, draws the first piece
    // and the next one.
    void Start();
    // Ends a running game without a result.
    void Stop();
    bool IsRunning() const { return m_running; }

    bool IsPaused() const { return m_paused; }
    void SetPaused(bool paused);
    void TogglePause() { SetPaused(!m_paused); }

    // Player moves; each returns whether the piece moved. Nothing moves while
    // paused or without a game.
    bool MoveLeft();
    bool MoveRight();
    bool RotateClockwise();
    bool RotateCounterClockwise();
    // One row down by the player: 1 point; locks the piece when it rests.
    BlocksStepResult SoftDrop();
    // Straight down and locked: 2 points per row fallen.
    BlocksStepResult HardDrop();
    // One step of the clock: down one row, or lock when the piece rests.
    BlocksStepResult Fall();

    // 0 for an empty cell, else 1 + the BlockShape of the piece that left it.
    int Cell(int x, int y) const;
    void SetCell(int x, int y, int value); // sets up positions in tests
    const BlockPiece &Piece() const { return m_piece; }
    void SetPiece(const BlockPiece &piece) { m_piece = piece; }
    BlockShape NextShape() const { return m_next; }
    // Where the piece would land with a hard drop.
    BlockPiece DropTarget() const;

    int Score() const { return m_score; }
    int Lines() const { return m_lines; }
    int Level() const { return m_level; }
    int FallPeriod() const { return FallPeriodForLevel(m_level); }

    static int FallPeriodForLevel(int level);
    // Points for clearing `lines` rows at once at `level`: 40, 100, 300 or
    // 1200 times the level.
    static int LinePoints(int lines, int level);
    // The piece of `shape` as it enters the well.
    static BlockPiece SpawnPiece(BlockShape shape);
    // Cells of `shape` in `rotation`, relative to its bounding box.
    static BlockCells ShapeCells(BlockShape shape, int rotation);

    bool Fits(const BlockPiece &piece) const;

private:
    bool CanPlay() const { return m_running && !m_paused; }
    bool TryRotate(int turn);
    BlocksStepResult Lock();
    int ClearFullRows();
    BlockShape DrawShape();

    CGameRandom &m_random;
    std::array<std::array<int, kColumns>, kRows> m_well{};
    BlockPiece m_piece;
    BlockShape m_next = BlockShape::I;
    int m_score = 0;
    int m_lines = 0;
    int m_level = 1;
    bool m_running = false;
    bool m_paused = false;
};
