#pragma once

// The preset and the write transaction of the crash-safety tests, shared by the
// test and its child program.
namespace Workload {
// 1 KiB pages, so that the transaction touches many of them.
inline constexpr char fill[] = "PRAGMA page_size=1024;"
                               "CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT, payload BLOB);"
                               "CREATE INDEX t_name ON t(name);"
                               "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 400)"
                               " INSERT INTO t SELECT x, printf('marker-%05d', x), randomblob(x % 97) FROM c;";

// Every row changes and rows go and come; the small cache makes SQLite write pages
// into the database (and sync the journal again) long before the commit.
inline constexpr char transaction[]
    = "PRAGMA cache_size=8;"
      "BEGIN;"
      "UPDATE t SET name = replace(name, 'marker', 'MARKER'), payload = zeroblob(id % 97 + 7);"
      "DELETE FROM t WHERE id % 7 = 0;"
      "INSERT INTO t SELECT id + 5000, name || '+', zeroblob(60) FROM t WHERE id < 150;"
      "COMMIT;";
} // namespace Workload
