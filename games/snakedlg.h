#pragma once
// The "Snake" dialog: the board of 35 x 22 cells of 16 pixels inside a black
// frame 5 pixels wide, the score display and the buttons Start, Record and a
// cancel button that reads "Cancel", "Stop" during a game and "Storno" after
// one. The rules live in CSnakeGame; this class draws, steers and keeps time.

#include "gamerandom.h"
#include "gamerecord.h"
#include "gamesound.h"
#include "snakegame.h"

#include <QDialog>
#include <QImage>
#include <QTimer>
#include <map>
#include <memory>

class QLabel;
class QPushButton;
class CSnakeDlg;

// The playing field with its frame; placed at (15, 15) of the dialog so that
// cell (x, y) covers (20 + 16x, 20 + 16y) - (36 + 16x, 36 + 16y).
class CSnakeBoard : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrame = 5;
    static constexpr int kCell = 16;
    static constexpr int kLeft = 15; // of the frame, in the dialog
    static constexpr int kTop = 15;

    CSnakeBoard(const CSnakeGame &game, const std::map<int, QImage> &pictures, QWidget *parent);

    // The board as it is drawn now (tests look at single pixels).
    QImage Render() const;
    // The rectangle of cell (x, y) in the board's coordinates.
    static QRect CellRect(int x, int y);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void Draw(QPainter &p) const;
    const CSnakeGame &m_game;
    const std::map<int, QImage> &m_pictures;
};

class CSnakeDlg : public QDialog {
    Q_OBJECT
public:
    // `random` (optional, not owned) replaces the clock-seeded source.
    explicit CSnakeDlg(const QString &programDir, QWidget *parent = nullptr, CGameRandom *random = nullptr);
    ~CSnakeDlg() override;

    // False when the pictures could not be made (the dialog must not open).
    bool IsUsable() const { return m_usable; }

    const CSnakeGame &Game() const { return m_game; }
    CSnakeGame &Game() { return m_game; }
    const CGameRecord &Record() const { return m_record; }
    const CGameSound &Sound() const { return m_sound; }
    CSnakeBoard *Board() const { return m_board; }
    QPushButton *StartButton() const { return m_start; }
    QPushButton *RecordButton() const { return m_recordButton; }
    QPushButton *CancelButton() const { return m_cancel; }
    QLabel *ScoreDisplay() const { return m_scoreDisplay; }
    const QTimer &Timer() const { return m_timer; }

public slots:
    void OnStart();
    void OnRecord();
    void OnTick();
    // The cancel button, Escape and the close box: during a game they end the
    // game, otherwise they close the dialog.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool HandleKey(int key);
    void Steer(SnakeDirection direction);
    void RunTick();
    void ShowResult(const SnakeTickResult &result);
    void GameOver();
    void BoardFull();
    void ResetControls();
    void ShowScore();

    std::unique_ptr<CGameRandom> m_ownRandom;
    CGameRandom &m_random;
    CSnakeGame m_game;
    CGameRecord m_record;
    CGameSound m_sound;
    std::map<int, QImage> m_pictures;
    bool m_usable = true;
    QTimer m_timer;
    CSnakeBoard *m_board = nullptr;
    QLabel *m_scoreDisplay = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_recordButton = nullptr;
    QPushButton *m_cancel = nullptr;
};
