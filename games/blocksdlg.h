#pragma once
// The falling-blocks dialog (dialog 248): the well with its frame, the next
// shape, score, lines, level and best score, and the buttons Start, Pause,
// Record and a cancel button ("Cancel", "Stop" during a game, "Storno" after
// one). Keys: Left and Right move, Up turns clockwise, Z turns back, Down
// drops one row, Space drops the piece, P pauses, F1 opens the help page.

#include "blocksgame.h"
#include "gamerandom.h"
#include "gamerecord.h"

#include <QDialog>
#include <QTimer>
#include <memory>

class QLabel;
class QPushButton;

class CBlocksWell : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrame = 5;
    static constexpr int kCell = 22;

    CBlocksWell(const CBlocksGame &game, QWidget *parent);
    QImage Render() const;
    static QColor ShapeColour(int shapeIndex);
    static void DrawCell(QPainter &p, const QRect &r, const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void Draw(QPainter &p) const;
    const CBlocksGame &m_game;
};

class CBlocksPreview : public QWidget {
    Q_OBJECT
public:
    CBlocksPreview(const CBlocksGame &game, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const CBlocksGame &m_game;
};

class CBlocksDlg : public QDialog {
    Q_OBJECT
public:
    explicit CBlocksDlg(const QString &programDir, QWidget *parent = nullptr, CGameRandom *random = nullptr);
    ~CBlocksDlg() override;

    CBlocksGame &Game() { return m_game; }
    const CGameRecord &Record() const { return m_record; }
    CBlocksWell *Well() const { return m_well; }
    QPushButton *StartButton() const { return m_start; }
    QPushButton *PauseButton() const { return m_pause; }
    QPushButton *RecordButton() const { return m_recordButton; }
    QPushButton *CancelButton() const { return m_cancel; }
    QLabel *ScoreDisplay() const { return m_scoreLabel; }
    QLabel *LinesDisplay() const { return m_linesLabel; }
    QLabel *LevelDisplay() const { return m_levelLabel; }
    QLabel *BestDisplay() const { return m_bestLabel; }
    const QTimer &Timer() const { return m_timer; }

public slots:
    void OnStart();
    void OnPause();
    void OnRecord();
    void OnTick();
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool HandleKey(int key);
    void Apply(const BlocksStepResult &result);
    void GameOver();
    void ResetControls();
    void Refresh();

    std::unique_ptr<CGameRandom> m_ownRandom;
    CGameRandom &m_random;
    CBlocksGame m_game;
    CGameRecord m_record;
    QTimer m_timer;
    CBlocksWell *m_well = nullptr;
    CBlocksPreview *m_preview = nullptr;
    QLabel *m_scoreLabel = nullptr;
    QLabel *m_linesLabel = nullptr;
    QLabel *m_levelLabel = nullptr;
    QLabel *m_bestLabel = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_pause = nullptr;
    QPushButton *m_recordButton = nullptr;
    QPushButton *m_cancel = nullptr;
};
