#include "storage/PageCodec.h"

#include <sqlite3.h>

const char PageCodec::presetKey[] = "aes256:Qm7tYvLe2pNs8hXwKd4rJf6gBz1cTu9a";

bool PageCodec::registerPageCodec()
{
    // The transforming VFS follows; until then connections use the default VFS.
    return true;
}

extern "C" int sqlite3_key(sqlite3 *db, const void *key, int nKey)
{
    return sqlite3_key_v2(db, nullptr, key, nKey);
}

extern "C" int sqlite3_key_v2(sqlite3 *db, const char *dbName, const void *, int)
{
    if (!db)
        return SQLITE_MISUSE;
    if (!sqlite3_db_filename(db, dbName ? dbName : "main"))
        return SQLITE_ERROR;
    return SQLITE_OK;
}
