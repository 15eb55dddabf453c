#include "SqlDump.h"

#include "PresetFile.h"

#include <QUtf8StringView>

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

Statement prepare(sqlite3 *db, const QByteArray &sql, QString *error)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) != SQLITE_OK)
        *error = sqliteError(db);
    return Statement(statement, &sqlite3_finalize);
}

QByteArray quoteIdentifier(const QByteArray &name)
{
    QByteArray quoted = name;
    quoted.replace('"', "\"\"");
    return '"' + quoted + '"';
}

QByteArray hex(const char *data, int size)
{
    return "X'" + QByteArray(data, size).toHex().toUpper() + "'";
}

QByteArray realLiteral(double value)
{
    if (std::isinf(value))
        return value > 0 ? QByteArray("1e999") : QByteArray("-1e999");
    // The shortest of the usual precisions that reads back as the same double.
    char buffer[40];
    for (const char *format : {"%.15g", "%.17g"}) {
        std::snprintf(buffer, sizeof buffer, format, value);
        if (std::strtod(buffer, nullptr) == value)
            break;
    }
    QByteArray text(buffer);
    if (!text.contains('.') && !text.contains('e'))
        text += ".0";
    return text;
}

QByteArray valueLiteral(sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return QByteArray::number(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
        return realLiteral(sqlite3_column_double(statement, column));
    case SQLITE_TEXT: {
        const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        const QByteArray text(data, sqlite3_column_bytes(statement, column));
        // The script is read back as UTF-8 and run as C text: anything else goes as hex.
        if (text.contains('\0') || !QUtf8StringView(text).isValidUtf8())
            return "CAST(" + hex(text.constData(), int(text.size())) + " AS TEXT)";
        QByteArray quoted = text;
        quoted.replace('\'', "''");
        return '\'' + quoted + '\'';
    }
    case SQLITE_BLOB:
        return hex(
            static_cast<const char *>(sqlite3_column_blob(statement, column)), sqlite3_column_bytes(statement, column));
    default:
        return "NULL";
    }
}

bool dumpRows(sqlite3 *db, const QByteArray &table, QByteArray *out, QString *error)
{
    Statement rows = prepare(db, "SELECT * FROM " + quoteIdentifier(table), error);
    if (!rows)
        return false;
    const int columns = sqlite3_column_count(rows.get());
    const QByteArray insert = "INSERT INTO " + quoteIdentifier(table) + " VALUES(";
    int rc;
    while ((rc = sqlite3_step(rows.get())) == SQLITE_ROW) {
        out->append(insert);
        for (int column = 0; column < columns; ++column) {
            if (column > 0)
                out->append(',');
            out->append(valueLiteral(rows.get(), column));
        }
        out->append(");\n");
    }
    if (rc != SQLITE_DONE) {
        *error = QStringLiteral("reading table %1: %2").arg(QString::fromUtf8(table), sqliteError(db));
        return false;
    }
    return true;
}

bool pragmaValue(sqlite3 *db, const char *pragma, QByteArray *value, QString *error)
{
    return queryText(db, pragma, value, error);
}

} // namespace

bool dumpSql(sqlite3 *db, QByteArray *out, QString *error)
{
    QByteArray pageSize, userVersion, applicationId;
    if (!pragmaValue(db, "PRAGMA page_size", &pageSize, error)
        || !pragmaValue(db, "PRAGMA user_version", &userVersion, error)
        || !pragmaValue(db, "PRAGMA application_id", &applicationId, error))
        return false;

    out->append("PRAGMA page_size=" + pageSize + ";\n");
    out->append("BEGIN TRANSACTION;\n");

    Statement tables = prepare(
        db, "SELECT name, sql FROM sqlite_schema WHERE type = 'table' AND sql IS NOT NULL ORDER BY rowid", error);
    if (!tables)
        return false;
    bool hasSequence = false;
    int rc;
    while ((rc = sqlite3_step(tables.get())) == SQLITE_ROW) {
        const QByteArray name(reinterpret_cast<const char *>(sqlite3_column_text(tables.get(), 0)));
        const QByteArray sql(reinterpret_cast<const char *>(sqlite3_column_text(tables.get(), 1)));
        if (name == "sqlite_sequence") {
            hasSequence = true;
            continue;
        }
        if (name.startsWith("sqlite_"))
            continue; // statistics: rebuilt by ANALYZE, not data
        if (sql.left(20).toUpper().startsWith("CREATE VIRTUAL TABLE")) {
            *error = QStringLiteral("table %1 is a virtual table, which cannot be dumped").arg(QString::fromUtf8(name));
            return false;
        }
        out->append(sql + ";\n");
        if (!dumpRows(db, name, out, error))
            return false;
    }
    if (rc != SQLITE_DONE) {
        *error = sqliteError(db);
        return false;
    }

    // Indexes, triggers and views after the rows, so no trigger fires on the copy.
    Statement others = prepare(db,
        "SELECT sql FROM sqlite_schema WHERE type IN ('index', 'trigger', 'view') AND sql IS NOT NULL ORDER BY rowid",
        error);
    if (!others)
        return false;
    while ((rc = sqlite3_step(others.get())) == SQLITE_ROW)
        out->append(QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(others.get(), 0))) + ";\n");
    if (rc != SQLITE_DONE) {
        *error = sqliteError(db);
        return false;
    }

    if (hasSequence) {
        out->append("DELETE FROM sqlite_sequence;\n");
        if (!dumpRows(db, "sqlite_sequence", out, error))
            return false;
    }
    if (userVersion != "0")
        out->append("PRAGMA user_version=" + userVersion + ";\n");
    if (applicationId != "0")
        out->append("PRAGMA application_id=" + applicationId + ";\n");
    out->append("COMMIT;\n");
    return true;
}
