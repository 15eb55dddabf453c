#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include <sqlite3.h>

// Raw SQLite probes shared by the codec tests.

// The first column of the first row as text, or "<error>".
inline QString firstText(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *stmt = nullptr;
    QString result = QStringLiteral("<error>");
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        result = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    return result;
}

// Digest of every row of the test table t, or an empty array when reading fails.
inline QByteArray contentDigest(sqlite3 *db)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT id, name, hex(payload) FROM t ORDER BY id", -1, &stmt, nullptr) != SQLITE_OK)
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < 3; ++c) {
            hash.addData(QByteArrayView(reinterpret_cast<const char *>(sqlite3_column_text(stmt, c))));
            hash.addData(QByteArrayView("|"));
        }
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE ? hash.result() : QByteArray();
}
