#include "games.h"

#include "blocksdlg.h"
#include "snakedlg.h"
#include "tvmessage.h"

namespace {
std::function<void(int)> &HelpHandler()
{
    static std::function<void(int)> handler;
    return handler;
}
} // namespace

void SetGamesHelpHandler(std::function<void(int)> handler)
{
    HelpHandler() = std::move(handler);
}

void ShowGamesHelp(int topic)
{
    if (const auto &handler = HelpHandler())
        handler(topic);
}

void ShowSnakeGame(QWidget *parent, const QString &programDir)
{
    CSnakeDlg dlg(programDir, parent);
    if (!dlg.IsUsable()) {
        CTVError(7);
        return;
    }
    dlg.exec();
}

void ShowBlocksGame(QWidget *parent, const QString &programDir)
{
    CBlocksDlg dlg(programDir, parent);
    dlg.exec();
}
