#pragma once

// The page-IO-bound workload of the storage benchmarks, written against the plain
// sqlite3 API so that the same code runs on the system SQLite (with or without the
// page codec) and, compiled separately, on SQLCipher.
//
// Workload: open a database of at least 50 MB and read every row through a 1 MiB
// page cache; then create a new file and insert 100 000 rows in one transaction.
// Opening and keying the files is part of the timed work. The includer declares
// sqlite3_key (the page codec's header, or SQLCipher's sqlite3.h with SQLITE_HAS_CODEC).

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace PresetWorkload {

struct Target {
    const char *vfs = nullptr; // null: the default VFS
    std::string key; // empty: no sqlite3_key call
};

inline double now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

inline bool exec(sqlite3 *db, const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "workload: %s: %s\n", sql, error ? error : sqlite3_errmsg(db));
    sqlite3_free(error);
    return false;
}

inline sqlite3 *open(const std::string &path, const Target &target)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, target.vfs) != SQLITE_OK
        || (!target.key.empty() && sqlite3_key(db, target.key.data(), static_cast<int>(target.key.size())) != SQLITE_OK)
        || !exec(db, "PRAGMA cache_size=-1024")) {
        std::fprintf(stderr, "workload: cannot open %s\n", path.c_str());
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

// Inserts `rows` rows of about 500 bytes (text and blob) into table t in one transaction.
inline bool insertRows(sqlite3 *db, int rows, int firstId)
{
    if (!exec(db, "CREATE TABLE IF NOT EXISTS t(id INTEGER PRIMARY KEY, name TEXT, payload BLOB)")
        || !exec(db, "BEGIN"))
        return false;
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?, ?, ?)", -1, &stmt, nullptr) != SQLITE_OK)
        return false;
    unsigned char payload[440];
    char name[64];
    bool ok = true;
    for (int i = 0; i < rows && ok; ++i) {
        const int id = firstId + i;
        for (size_t b = 0; b < sizeof payload; ++b)
            payload[b] = static_cast<unsigned char>((id * 131 + b * 7) ^ (b >> 3));
        const int nameLength = std::snprintf(name, sizeof name, "setting-%08d-%x", id, id * 2654435761u);
        sqlite3_bind_int(stmt, 1, id);
        sqlite3_bind_text(stmt, 2, name, nameLength, SQLITE_STATIC);
        sqlite3_bind_blob(stmt, 3, payload, static_cast<int>(sizeof payload), SQLITE_STATIC);
        ok = sqlite3_step(stmt) == SQLITE_DONE;
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    return ok && exec(db, "COMMIT");
}

// Makes the large database the read part scans (untimed preparation): 120 000
// rows of about 500 bytes, over 50 MB at any page size.
inline bool build(const std::string &path, const Target &target)
{
    std::remove(path.c_str());
    sqlite3 *db = open(path, target);
    if (!db)
        return false;
    bool ok = true;
    for (int batch = 0; ok && batch < 6; ++batch)
        ok = insertRows(db, 20000, batch * 20000 + 1);
    sqlite3_close(db);
    return ok;
}

// Timed: open, read every row, close. Returns seconds, or -1 on failure; *checksum
// lets the caller see that every variant read the same data.
inline double readAll(const std::string &path, const Target &target, long long *checksum)
{
    const double start = now();
    sqlite3 *db = open(path, target);
    if (!db)
        return -1;
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT id, name, payload FROM t", -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    long long sum = 0;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        sum += sqlite3_column_int64(stmt, 0) + sqlite3_column_bytes(stmt, 1);
        const auto *blob = static_cast<const unsigned char *>(sqlite3_column_blob(stmt, 2));
        sum += sqlite3_column_bytes(stmt, 2) + (blob ? blob[7] : 0);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    *checksum = sum;
    return rc == SQLITE_DONE ? now() - start : -1;
}

// Timed: create a new file, insert 100 000 rows in one transaction, close.
inline double insertNew(const std::string &path, const Target &target)
{
    std::remove(path.c_str());
    std::remove((path + "-journal").c_str());
    const double start = now();
    sqlite3 *db = open(path, target);
    if (!db)
        return -1;
    const bool ok = insertRows(db, 100000, 1);
    sqlite3_close(db);
    return ok ? now() - start : -1;
}

} // namespace PresetWorkload
