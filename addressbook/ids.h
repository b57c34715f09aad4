#pragma once
// Identifier allocation. A creating operation opens the single IDS row inside
// its own transaction, takes the identifiers of the rows it writes from the
// counters in the order it writes them, and writes the row back once at the
// end. A rollback of the transaction takes the counters back with the rows,
// so a failed operation consumes no identifier.
#include "recordsets.h"

enum class IdCounter { Address, Email, Tel, Envsize, Envstyle, Labsize, Labstyle, Folder, Kalibrace };

class IdAllocator {
public:
    // Opens the IDS row for editing; throws DbException when it is missing.
    explicit IdAllocator(CDatabase &db);
    // The next identifier of a table; the counter moves on by one.
    std::int32_t Next(IdCounter counter);
    // Writes the counters back and closes the row.
    void Finish();

private:
    CSetIDS m_ids;
    bool m_finished = false;
};
