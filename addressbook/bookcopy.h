#pragma once
// The rows of the address book's twelve tables carried from one database to
// another: a server's rows into a new file (a backup of a shared address
// book), or a file's rows onto a server (its restore). Either side may be a
// file or a server; the values go through the engines' bindings unchanged.
#include <cstdint>
#include <functional>
#include <stdexcept>

class CDatabase;

// Thrown when the step callback asks to stop; nothing further is written.
class CopyAborted : public std::runtime_error {
public:
    CopyAborted() : std::runtime_error("copy aborted") {}
};

// Rows of the twelve tables together.
std::int64_t CountAddressBookRows(CDatabase &db);

// Removes every row of the twelve tables of `to` and writes the rows of
// `from` in their place, table by table in their stored order. Runs inside
// the caller's transaction on `to` (it opens none of its own) and reads
// `from` as the caller has set it up (a snapshot on a server). `step` is
// called after every batch with the rows written so far and the total;
// false from it throws CopyAborted. Throws DbException on an engine error
// (a text of more than 255 characters on the server, for example).
void ReplaceAddressBookRows(CDatabase &from, CDatabase &to,
                            const std::function<bool(std::int64_t done, std::int64_t total)> &step = {});
