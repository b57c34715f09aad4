#pragma once
// Answers the "Score" dialogs that a game opens with exec(): each one is
// noted and closed as soon as it runs.
#include "scoredlg.h"

#include <QApplication>
#include <QTimer>
#include <vector>

class ScoreDialogCloser : public QObject {
public:
    ScoreDialogCloser()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto *dlg = qobject_cast<CScoreDlg *>(QApplication::activeModalWidget())) {
                scores.push_back(dlg->Score());
                dlg->accept();
            }
        });
        m_timer.start(5);
    }
    std::vector<int> scores;

private:
    QTimer m_timer;
};
