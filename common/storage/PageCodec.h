#pragma once

// Page encryption of preset files, as a VFS shim over the default SQLite VFS.
//
// registerPageCodec() installs the shim as the default VFS (idempotent, thread
// safe); Database calls it before its first open. A connection gets its key with
// sqlite3_key()/sqlite3_key_v2() right after opening, exactly as with a codec-enabled
// SQLite build.
//
// What the shim transforms: whole pages of main database files and the page images
// of their rollback journals (with the journal checksums rewritten to cover the
// encrypted image). Temporary files, statement journals and in-memory databases
// stay plain; a keyed connection keeps its temporary files in memory
// (temp_store=MEMORY). An encrypted database is never put into WAL mode.

#include <cstdint>

struct sqlite3;

namespace PageCodec {
// Returns false when the shim could not be registered.
bool registerPageCodec();
// The key text of preset files.
extern const char presetKey[];

enum Algorithm : uint8_t { Rc4 = 0, Aes128 = 1, Aes256 = 2 };

// Key size in bytes and reserved bytes requested for a new database, by algorithm.
extern const int szKey[3];
extern const int nNonce[3];

// One parsed key text.
struct KeyContext {
    uint16_t keyLength = 0; // scheme word plus the key bytes taken from the text (up to 260)
    uint8_t noKey = 1; // pages pass unchanged
    uint8_t algorithm = Rc4;
    uint8_t schemeLength = 0; // 0, 4 ("rc4:") or 7 ("aes128:", "aes256:")
    unsigned char keyText[264] = {}; // scheme word, then the key expanded to szKey bytes

    const unsigned char *keyBytes() const { return keyText + schemeLength; }
    int keySize() const { return szKey[algorithm]; }
};

// Parses a key text of nKey bytes; a null or empty text gives "no key".
KeyContext loadKeyAny(const void *key, int nKey);

// Totals over every page the shim has transformed in this process.
struct Statistics {
    uint64_t pages = 0;
    uint64_t bytes = 0; // encrypted or decrypted bytes (the usable part of each page)
};
Statistics statistics();
} // namespace PageCodec

extern "C" {
int sqlite3_key(sqlite3 *db, const void *key, int nKey);
int sqlite3_key_v2(sqlite3 *db, const char *dbName, const void *key, int nKey);
}
