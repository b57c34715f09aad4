// The SQLite extension that gives other SQLite tools (the sqlite3 shell, DB
// Browser for SQLite) the program's UNOCASE collation and umatch function,
// so they can check, vacuum and edit an address book file:
//   sqlite3 -cmd '.load /usr/lib/x86_64-linux-gnu/corvelle/unocase' envdb.mdb
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

#include "unocase.h"

extern "C" {

__attribute__((visibility("default"))) int sqlite3_unocase_init(sqlite3 *db, char **error,
                                                                 const sqlite3_api_routines *api)
{
    SQLITE_EXTENSION_INIT2(api);
    const int rc = unocase::Register(db);
    if (rc != SQLITE_OK && error)
        *error = sqlite3_mprintf("cannot register the UNOCASE collation");
    return rc;
}

// The entry point the shell tries first when .load names no entry.
__attribute__((visibility("default"))) int sqlite3_extension_init(sqlite3 *db, char **error,
                                                                   const sqlite3_api_routines *api)
{
    return sqlite3_unocase_init(db, error, api);
}
}
