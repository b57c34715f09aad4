#include "exchangehooks.h"

#include "database.h"
#include "databaselock.h"
#include "tvstrings.h"
#include "tvmessage.h"

#include <QCoreApplication>
#include <cstdlib>
#include <sqlite3.h>

namespace {
std::function<bool()> &changedHandler()
{
    static std::function<bool()> h;
    return h;
}
std::function<void(int)> &fatalHandler()
{
    static std::function<void(int)> h;
    return h;
}
} // namespace

void SetAddressBookChangedHandler(std::function<bool()> handler)
{
    changedHandler() = std::move(handler);
}

bool NotifyAddressBookChanged()
{
    if (!changedHandler() || changedHandler()())
        return true;
    EndAfterFailedReopen(ReopenOutcome::Failed);
    return false;
}

std::function<void(int)> SetFatalExitHandler(std::function<void(int)> handler)
{
    std::function<void(int)> old = std::move(fatalHandler());
    fatalHandler() = std::move(handler);
    return old;
}

ReopenOutcome ReopenDatabase(CDatabase &db, const QString &path)
{
    try {
        db.Open(path, true);
    } catch (const DbException &e) {
        const int code = e.code() & 0xFF;
        return code == SQLITE_BUSY || code == SQLITE_LOCKED ? ReopenOutcome::InUse : ReopenOutcome::Failed;
    } catch (const std::bad_alloc &) {
        return ReopenOutcome::Failed;
    }
    // The use lock follows the file: after a restore it is a new one.
    DatabaseUseLock::BackToShared(path);
    return ReopenOutcome::Opened;
}

void EndAfterFailedReopen(ReopenOutcome outcome)
{
    if (outcome == ReopenOutcome::InUse)
        CTVError error(DatabaseInUseText() + QStringLiteral("\n\n") + TVLoadStringResource(MSG_FATAL_REOPEN));
    else
        CTVError error(MSG_FATAL_REOPEN);
    if (fatalHandler()) {
        fatalHandler()(1);
    } else {
        // Nothing is open any more, so nothing can be lost by ending here.
        if (QCoreApplication::instance())
            QCoreApplication::exit(1);
        std::exit(1);
    }
}

bool ReopenDatabaseOrEnd(CDatabase &db, const QString &path)
{
    const ReopenOutcome outcome = ReopenDatabase(db, path);
    if (outcome == ReopenOutcome::Opened)
        return true;
    EndAfterFailedReopen(outcome);
    return false;
}
