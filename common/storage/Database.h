#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <map>

struct sqlite3;

// Row index (from 0) to the row's column texts in column order; NULL reads as "".
using ResultSet = std::map<int, QStringList>;

// One SQLite connection plus the result set of its last SELECT. The constructor
// tries the preset key, then no key, and keeps the first connection that validates.
class Database {
public:
    // flags are sqlite3_open_v2 flags: 1 read-only, 2 read-write, 6 read-write + create.
    Database(const QString &fileName, bool encrypted, int flags);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    void close();
    bool isOpen() const { return m_isOpen; }
    int rowCount() const { return m_rowCount; }
    int colCount() const { return m_colCount; }

    // Runs one statement; a SELECT fills the result set.
    bool executeQuery(const QString &query);
    // The same with `?` placeholders bound, in order, to `parameters`: use this
    // form for every text that comes from a file or the user.
    bool executeQuery(const QString &query, const QVariantList &parameters);
    // Runs a script of statements; the result set is not touched.
    bool executeQueries(const QString &queries);

    QString itemAt(int row, int col);
    void copyResults(ResultSet &out) const;
    void clearResults();

    // The underlying connection, for the storage layer's own tools and tests.
    sqlite3 *handle() const { return m_db; }
    QString fileName() const { return m_fileName; }

private:
    bool runQuery(const QString &query, const QVariantList *parameters, const QString &function);

    sqlite3 *m_db = nullptr;
    QString m_fileName;
    ResultSet m_results;
    int m_rowCount = 0;
    int m_colCount = 0;
    bool m_isOpen = false;
};
