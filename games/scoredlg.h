#pragma once
// The "Score" dialog: the number as "Score: %d" in Arial 32 pt, centred,
// drawn first in black and then 2 pixels up and to the left in blue.

#include <QDialog>

class CScoreDlg : public QDialog {
    Q_OBJECT
public:
    explicit CScoreDlg(int score, QWidget *parent = nullptr);

    int Score() const { return m_score; }
    QString Text() const;
    static QFont ScoreFont();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_score;
};
