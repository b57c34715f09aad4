#pragma once
// The games under Help > Games: Snake (command 32792, dialog 252) and the
// falling-blocks game (command 32791, dialog 248). The main window calls
// these; each runs its modal dialog. `programDir` is the program directory,
// where the best-score files and the eating sound live.

#include <QString>
#include <functional>

class QWidget;

inline constexpr int kSnakeHelpTopic = 30;
inline constexpr int kBlocksHelpTopic = 31;

void ShowSnakeGame(QWidget *parent, const QString &programDir);
void ShowBlocksGame(QWidget *parent, const QString &programDir);

// F1 in a game calls this handler with the game's help topic. The main window
// sets it; while it is unset F1 does nothing.
void SetGamesHelpHandler(std::function<void(int)> handler);
// Calls the handler with `topic` when one is set.
void ShowGamesHelp(int topic);
