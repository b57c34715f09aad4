#include "dberror.h"

#include "../uikit/tvmessage.h"

#include <new>

namespace {

bool guarded(CDatabase &db, int depthBefore, const std::function<void()> &body)
{
    int message = 0;
    QString gone;
    try {
        body();
        return true;
    } catch (const DbGoneException &e) {
        gone = e.text();
    } catch (const DbException &) {
        message = MSG_DATABASE_ERROR;
    } catch (const std::bad_alloc &) {
        message = MSG_MEMORY_ERROR;
    }
    while (db.TransactionDepth() > depthBefore)
        db.Rollback();
    if (!gone.isEmpty())
        CTVError error(gone);
    else
        CTVError error(message);
    return false;
}

} // namespace

bool DbOperation(CDatabase &db, const std::function<void()> &body)
{
    return guarded(db, db.TransactionDepth(), body);
}

bool DbTransaction(CDatabase &db, const std::function<void()> &body)
{
    const int depth = db.TransactionDepth();
    return guarded(db, depth, [&] {
        db.BeginTrans();
        body();
        db.CommitTrans();
    });
}
