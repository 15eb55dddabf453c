#pragma once

// Page encryption of preset files, as a VFS shim over the default SQLite VFS.
//
// registerPageCodec() installs the shim as the default VFS (idempotent, thread
// safe); Database calls it before its first open. A connection gets its key with
// sqlite3_key()/sqlite3_key_v2() right after opening, exactly as with a codec-enabled
// SQLite build.

struct sqlite3;

namespace PageCodec {
// Returns false when the shim could not be registered.
bool registerPageCodec();
// The key text of preset files.
extern const char presetKey[];
}

extern "C" {
int sqlite3_key(sqlite3 *db, const void *key, int nKey);
int sqlite3_key_v2(sqlite3 *db, const char *dbName, const void *key, int nKey);
}
