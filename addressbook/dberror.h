#pragma once
// The error convention of every database operation: a database error shows
// message 8 "Fatal database error occurred.", a memory shortage message 9
// "Fatal memory error occurred."; an open transaction is rolled back (its own
// errors swallowed) and the operation reports failure. The program goes on.
// A row that another program deleted meanwhile (DbGoneException) is said
// in its own words instead of message 8.
#include "database.h"

#include <functional>

// Runs `body`; returns false after the messages and rollback above.
bool DbOperation(CDatabase &db, const std::function<void()> &body);

// Runs `body` in its own transaction (nested in the caller's when one is
// open) and commits it; on failure rolls it back and returns false.
bool DbTransaction(CDatabase &db, const std::function<void()> &body);

// The messages of the convention.
enum { MSG_DATABASE_ERROR = 8, MSG_MEMORY_ERROR = 9 };
