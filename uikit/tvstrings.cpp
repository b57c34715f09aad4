#include "tvstrings.h"

#include <algorithm>

extern const TVStringEntry kLibraryStrings[];
extern const std::size_t kLibraryStringCount;

namespace {

const TVStringEntry *g_table = nullptr;
std::size_t g_count = 0;
bool g_sorted = false;

const TVStringEntry *find(const TVStringEntry *table, std::size_t count, bool sorted, int id)
{
    if (!table)
        return nullptr;
    if (sorted) {
        const TVStringEntry *end = table + count;
        const TVStringEntry *it =
            std::lower_bound(table, end, id, [](const TVStringEntry &e, int v) { return e.id < v; });
        return (it != end && it->id == id) ? it : nullptr;
    }
    for (std::size_t i = 0; i < count; ++i)
        if (table[i].id == id)
            return &table[i];
    return nullptr;
}

} // namespace

void TVSetStringTable(const TVStringEntry *table, std::size_t count)
{
    g_table = table;
    g_count = count;
    g_sorted = std::is_sorted(table, table + count,
                              [](const TVStringEntry &a, const TVStringEntry &b) { return a.id < b.id; });
}

QString TVLoadStringResource(int id)
{
    const TVStringEntry *e = find(g_table, g_count, g_sorted, id);
    return e ? QString::fromUtf8(e->text) : QString();
}

bool TVHasStringResource(int id)
{
    return find(g_table, g_count, g_sorted, id) != nullptr;
}

QString TVLibraryString(int id)
{
    const TVStringEntry *e = find(kLibraryStrings, kLibraryStringCount, false, id);
    return e ? QString::fromUtf8(e->text) : QString();
}
