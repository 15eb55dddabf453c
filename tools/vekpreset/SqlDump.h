#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;

// Writes the schema and every row of a database as SQL text that, run on an
// empty database, recreates the same tables, rows, indexes, triggers and views.
bool dumpSql(sqlite3 *db, QByteArray *out, QString *error);
