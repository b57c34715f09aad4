#include "exchangehooks.h"

#include "database.h"
#include "tvmessage.h"

#include <QCoreApplication>
#include <cstdlib>

namespace {
std::function<void()> &changedHandler()
{
    static std::function<void()> h;
    return h;
}
std::function<void(int)> &fatalHandler()
{
    static std::function<void(int)> h;
    return h;
}
} // namespace

void SetAddressBookChangedHandler(std::function<void()> handler)
{
    changedHandler() = std::move(handler);
}

void NotifyAddressBookChanged()
{
    if (changedHandler())
        changedHandler()();
}

std::function<void(int)> SetFatalExitHandler(std::function<void(int)> handler)
{
    std::function<void(int)> old = std::move(fatalHandler());
    fatalHandler() = std::move(handler);
    return old;
}

bool ReopenDatabaseOrEnd(CDatabase &db, const QString &path)
{
    try {
        db.Open(path, true);
        return true;
    } catch (const DbException &) {
    } catch (const std::bad_alloc &) {
    }
    CTVError error(MSG_FATAL_REOPEN);
    if (fatalHandler()) {
        fatalHandler()(1);
    } else {
        // Nothing is open any more, so nothing can be lost by ending here.
        if (QCoreApplication::instance())
            QCoreApplication::exit(1);
        std::exit(1);
    }
    return false;
}
