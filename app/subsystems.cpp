#include "subsystems.h"
#include "database.h"
#include "appcontext.h"

#ifdef CORVELLE_HAVE_GAMES
#include "games.h"
#endif
#ifdef CORVELLE_HAVE_PRINTING
#include "printingcommands.h"
#endif
#if defined(CORVELLE_HAVE_PRINTING) && __has_include("envelopeprinting.h")
#include "envelopeprinting.h"
#define CORVELLE_HAVE_ENVELOPES 1
#endif
#if defined(CORVELLE_HAVE_PRINTING) && __has_include("labelprinting.h")
#include "labelprinting.h"
#define CORVELLE_HAVE_LABELS 1
#endif
#ifdef CORVELLE_HAVE_REPORT
#include "reportcommands.h"
#endif
#ifdef CORVELLE_HAVE_EXCHANGE
#include "databaselock.h"
#include "exchangecommands.h"
#include "exchangehooks.h"
#include "tvmessage.h"
#endif
#include <QFileInfo>

void RegisterPrintingOperations()
{
#ifdef CORVELLE_HAVE_PRINTING
    RegisterPrintingCommands();
#endif
#ifdef CORVELLE_HAVE_ENVELOPES
    RegisterEnvelopePrinting();
#endif
#ifdef CORVELLE_HAVE_LABELS
    RegisterLabelPrinting();
#endif
#ifdef CORVELLE_HAVE_REPORT
    RegisterReportCommands();
#endif
}

void RegisterSubsystemCommands(QWidget *, const std::function<bool()> &reloadPanes,
                               const std::function<void(int)> &showHelp)
{
    RegisterPrintingOperations();
#ifdef CORVELLE_HAVE_EXCHANGE
    RegisterExchangeCommands();
    SetAddressBookChangedHandler(reloadPanes);
#else
    (void)reloadPanes;
#endif
#ifdef CORVELLE_HAVE_GAMES
    SetGamesHelpHandler(showHelp);
#else
    (void)showHelp;
#endif
}

void UnregisterSubsystemHooks()
{
#ifdef CORVELLE_HAVE_EXCHANGE
    SetAddressBookChangedHandler({});
#endif
#ifdef CORVELLE_HAVE_GAMES
    SetGamesHelpHandler({});
#endif
}

bool RunGame(int commandId, QWidget *parent)
{
#ifdef CORVELLE_HAVE_GAMES
    if (commandId == 32792) {
        ShowSnakeGame(parent, AppContext::ProgramDirectory());
        return true;
    }
    if (commandId == 32791) {
        ShowBlocksGame(parent, AppContext::ProgramDirectory());
        return true;
    }
#else
    (void)commandId;
    (void)parent;
#endif
    return false;
}

bool HaveGames()
{
#ifdef CORVELLE_HAVE_GAMES
    return true;
#else
    return false;
#endif
}

bool HoldDatabaseInUse(const QString &path)
{
#ifdef CORVELLE_HAVE_EXCHANGE
    // A server database is held by the connection itself (the open waits
    // for a restore running on another desk).
    if (CDatabase::IsServerName(path))
        return true;
    // A missing file is left to the open, which reports it.
    if (!DatabaseUseLock::HoldShared(path) && QFileInfo::exists(path)) {
        CTVError error(DatabaseInUseText());
        return false;
    }
#else
    (void)path;
#endif
    return true;
}
