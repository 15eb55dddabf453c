#include "storage/Database.h"

#include "app/Logger.h"
#include "storage/PageCodec.h"

#include <sqlite3.h>

#include <cstring>
#include <limits>
#include <stdexcept>

namespace {

// Tried in this order: the preset key, then no key (a plain file).
const char *const see_keys[] = {PageCodec::presetKey, ""};

const QString constructorName = QStringLiteral("Database::Database(const QString&, bool, int)");
const QString closeName = QStringLiteral("Database::close()");
const QString queryName = QStringLiteral("Database::executeQuery(const QString&)");
const QString boundQueryName = QStringLiteral("Database::executeQuery(const QString&, const QVariantList&)");
const QString queriesName = QStringLiteral("Database::executeQueries(const QString&)");
const QString itemAtName = QStringLiteral("Database::itemAt(int, int)");
const QString clearResultsName = QStringLiteral("Database::clearResults()");

QString errorText(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// A NULL handle would crash in sqlite3_prepare_v2, so a closed object reports
// its queries as failures itself.
const QString notOpenText = QStringLiteral("the database is not open");

bool succeeds(sqlite3 *db, const char *sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Column texts are taken byte by byte: stored texts are ASCII with entities.
QString columnText(sqlite3_stmt *statement, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    if (!text)
        return QString();
    return QString::fromLatin1(text, sqlite3_column_bytes(statement, column));
}

bool bindParameter(sqlite3_stmt *statement, int index, const QVariant &value)
{
    if (value.isNull())
        return sqlite3_bind_null(statement, index) == SQLITE_OK;
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return sqlite3_bind_int64(statement, index, value.toLongLong()) == SQLITE_OK;
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong v = value.toULongLong();
        if (v > qulonglong(std::numeric_limits<qlonglong>::max()))
            return sqlite3_bind_double(statement, index, double(v)) == SQLITE_OK;
        return sqlite3_bind_int64(statement, index, qlonglong(v)) == SQLITE_OK;
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(statement, index, value.toDouble()) == SQLITE_OK;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob64(statement, index, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT)
            == SQLITE_OK;
    }
    default: {
        const QByteArray text = value.toString().toUtf8();
        return sqlite3_bind_text64(
                   statement, index, text.constData(), sqlite3_uint64(text.size()), SQLITE_TRANSIENT, SQLITE_UTF8)
            == SQLITE_OK;
    }
    }
}

} // namespace

Database::Database(const QString &fileName, bool encrypted, int flags)
    : m_fileName(fileName)
{
    const bool isDb = fileName.endsWith(QLatin1String(".db"));
    const bool isPreset = fileName.endsWith(QLatin1String(".preset"));
    const QByteArray name = fileName.toUtf8();

    for (const char *key : see_keys) {
        PageCodec::registerPageCodec();
        if (sqlite3_open_v2(name.constData(), &m_db, flags, nullptr) != SQLITE_OK) {
            const QString error = m_db ? errorText(m_db) : QString::fromUtf8(sqlite3_errstr(SQLITE_NOMEM));
            close();
            Logger::logError(
                QStringLiteral("Unable to open database %1 correctly. SQLite error: %2").arg(m_fileName, error),
                constructorName);
            return;
        }

        if (encrypted && sqlite3_key(m_db, key, int(std::strlen(key))) != SQLITE_OK) {
            const QString error = errorText(m_db);
            close();
            Logger::logError(QStringLiteral("Unable to perform sqlite3_key() on %1 correctly. SQLite error: %2")
                                 .arg(m_fileName, error),
                constructorName);
            return;
        }

        if (flags & SQLITE_OPEN_CREATE) {
            m_isOpen = true;
            Logger::logInfo(QStringLiteral("Database %1 opened.").arg(m_fileName), constructorName);
            return;
        }

        if (isDb) {
            if (succeeds(m_db, "SELECT * FROM key_actions") || succeeds(m_db, "SELECT * FROM parameters")) {
                m_isOpen = true;
                return;
            }
        } else if (isPreset) {
            if (succeeds(m_db, "SELECT * FROM info")) {
                m_isOpen = true;
                return;
            }
        }

        close();
    }

    Logger::logError(
        QStringLiteral("Database %1 was not opened. No encryption keys were valid.").arg(m_fileName), constructorName);
}

Database::~Database()
{
    close();
    m_results.clear();
}

void Database::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        Logger::logInfo(QStringLiteral("Database %1 closed.").arg(m_fileName), closeName);
    }
    m_isOpen = false;
}

bool Database::executeQuery(const QString &query)
{
    return runQuery(query, nullptr, queryName);
}

bool Database::executeQuery(const QString &query, const QVariantList &parameters)
{
    return runQuery(query, &parameters, boundQueryName);
}

bool Database::runQuery(const QString &query, const QVariantList *parameters, const QString &function)
{
    const QString prepareError = QStringLiteral("Unable to prepare query \"%1\" correctly. SQLite error: %2");
    if (!m_db) {
        Logger::logError(prepareError.arg(query, notOpenText), function);
        return false;
    }

    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(m_db, query.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK) {
        Logger::logError(prepareError.arg(query, errorText(m_db)), function);
        sqlite3_finalize(statement);
        return false;
    }

    if (parameters) {
        const int expected = statement ? sqlite3_bind_parameter_count(statement) : 0;
        if (expected != parameters->size()) {
            Logger::logError(
                prepareError.arg(
                    query, QStringLiteral("%1 parameters given, %2 expected").arg(parameters->size()).arg(expected)),
                function);
            sqlite3_finalize(statement);
            return false;
        }
        for (int i = 0; i < expected; ++i) {
            if (!bindParameter(statement, i + 1, parameters->at(i))) {
                Logger::logError(prepareError.arg(query, errorText(m_db)), function);
                sqlite3_finalize(statement);
                return false;
            }
        }
    }

    Logger::logInfo(QStringLiteral("Executing query \"%1\" against %2").arg(query, m_fileName), function);

    // Text without a statement (blanks, a comment) has nothing to run.
    if (!statement)
        return true;

    const QString stepError = QStringLiteral("An issue occurred while executing the query \"%1\". SQLite error: %2");
    if (query.startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive)) {
        clearResults();
        m_colCount = sqlite3_column_count(statement);
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            QStringList &row = m_results[m_rowCount];
            for (int column = 0; column < m_colCount; ++column)
                row.append(columnText(statement, column));
            ++m_rowCount;
        }
        if (rc != SQLITE_DONE) {
            // A result cut short by a damaged page must not pass for the whole result.
            Logger::logError(stepError.arg(query, errorText(m_db)), function);
            sqlite3_finalize(statement);
            clearResults();
            return false;
        }
        sqlite3_finalize(statement);
        return true;
    }

    if (sqlite3_step(statement) != SQLITE_DONE) {
        Logger::logError(stepError.arg(query, errorText(m_db)), function);
        sqlite3_finalize(statement);
        return false;
    }
    sqlite3_finalize(statement);
    return true;
}

bool Database::executeQueries(const QString &queries)
{
    const QString message = QStringLiteral("An error occurred while executing the queries \"%1\". SQLite error: %2");
    if (!m_db) {
        Logger::logError(message.arg(queries, notOpenText), queriesName);
        return false;
    }
    if (sqlite3_exec(m_db, queries.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        Logger::logError(message.arg(queries, errorText(m_db)), queriesName);
        return false;
    }
    return true;
}

QString Database::itemAt(int row, int col)
{
    if (m_results.empty()) {
        Logger::logWarning(
            QStringLiteral("Item at (R:%1, C:%2) does not exist. The result set is empty.").arg(row).arg(col),
            itemAtName);
        return QString();
    }
    if (row >= 0 && row < m_rowCount && col >= 0 && col < m_colCount) {
        try {
            const QStringList &cells = m_results.at(row);
            if (col < cells.size())
                return cells.at(col);
        } catch (const std::out_of_range &e) {
            Logger::logWarning(QStringLiteral("An out_of_range error occurred. R%1 does not exist. Exception: %2")
                                   .arg(row)
                                   .arg(QString::fromLatin1(e.what())),
                itemAtName);
            return QString();
        }
    }
    Logger::logWarning(QStringLiteral("Item at (R:%1, C:%2) does not exist. Row count: %3 | Column count: %4")
                           .arg(row)
                           .arg(col)
                           .arg(m_rowCount)
                           .arg(m_colCount),
        itemAtName);
    return QString();
}

void Database::copyResults(ResultSet &out) const
{
    for (const auto &[row, cells] : m_results)
        out[row].append(cells);
}

void Database::clearResults()
{
    for (int row = 0; row < m_rowCount; ++row) {
        try {
            m_results.at(row).clear();
        } catch (const std::out_of_range &e) {
            Logger::logWarning(
                QStringLiteral("An out of range error occurred while clearing the result set. Exception: %1")
                    .arg(QString::fromLatin1(e.what())),
                clearResultsName);
        }
    }
    m_results.clear();
    m_rowCount = 0;
    m_colCount = 0;
}
