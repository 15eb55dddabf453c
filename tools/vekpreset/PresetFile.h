#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

// An existing SQLite file opened directly, plain or with the preset key,
// whatever its name (the tool also reads files that are not named .preset).
class PresetFile {
public:
    PresetFile() = default;
    ~PresetFile();
    PresetFile(const PresetFile &) = delete;
    PresetFile &operator=(const PresetFile &) = delete;

    // Tries no key, then the preset key; the first connection that can read
    // the schema wins. On failure returns false and sets *error.
    bool open(const QString &path, bool readOnly, QString *error);
    void close();

    sqlite3 *handle() const { return m_db; }
    bool isEncrypted() const { return m_encrypted; }
    int pageSize() const;
    int reservedBytes() const;
    // Bytes 18 and 19 of the header ask for a write-ahead log.
    bool asksForWal() const;

private:
    QByteArray header() const;

    QString m_path;
    sqlite3 *m_db = nullptr;
    bool m_encrypted = false;
};

// Opens (or creates) a connection on a path with or without the preset key.
sqlite3 *openConnection(const QString &path, int flags, bool withKey, QString *error);
QString sqliteError(sqlite3 *db);
// Runs a PRAGMA or query and returns the first column of the first row.
bool queryText(sqlite3 *db, const char *sql, QByteArray *result, QString *error);
// Runs PRAGMA integrity_check; *report gets its lines.
bool integrityOk(sqlite3 *db, QStringList *report, QString *error);
