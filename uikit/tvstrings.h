#pragma once
// The string table service. The program registers its table of (id, text)
// once at start-up; TVLoadStringResource then finds texts by id. The library
// keeps its own small table (ids 5-18) apart, because the program's ids
// overlap it; the library's dialogs read theirs with TVLibraryString.
#include "tvexport.h"
#include <QString>
#include <cstddef>

struct TVStringEntry {
    int id;
    const char *text; // UTF-8
};

// Registers the program's string table. The table must outlive the program
// (a static array); a later call replaces the earlier table.
TEVROKIT_EXPORT void TVSetStringTable(const TVStringEntry *table, std::size_t count);

// The program's string with this id, or an empty string when there is none.
TEVROKIT_EXPORT QString TVLoadStringResource(int id);

// True when the program's table holds this id.
TEVROKIT_EXPORT bool TVHasStringResource(int id);

// The library's own string with this id (5-18), or an empty string.
TEVROKIT_EXPORT QString TVLibraryString(int id);
