#pragma once
// One transaction for the length of a scope: begun on construction, undone
// on destruction unless Commit was called. Every multi-row change of the
// folder and move operations runs in one of these, so a failure half way
// leaves nothing of the change behind.
#include "database.h"

class ScopedTransaction {
public:
    explicit ScopedTransaction(CDatabase &db) : m_db(db) { m_db.BeginTrans(); }
    ~ScopedTransaction()
    {
        if (!m_done)
            m_db.Rollback();
    }
    ScopedTransaction(const ScopedTransaction &) = delete;
    ScopedTransaction &operator=(const ScopedTransaction &) = delete;

    void Commit()
    {
        m_db.CommitTrans();
        m_done = true;
    }

private:
    CDatabase &m_db;
    bool m_done = false;
};
