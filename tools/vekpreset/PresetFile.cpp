#include "PresetFile.h"

#include "storage/PageCodec.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cstring>

QString sqliteError(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

sqlite3 *openConnection(const QString &path, int flags, bool withKey, QString *error)
{
    PageCodec::registerPageCodec();
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        *error = QStringLiteral("cannot open %1: %2").arg(path, db ? sqliteError(db) : QStringLiteral("out of memory"));
        sqlite3_close(db);
        return nullptr;
    }
    if (withKey && sqlite3_key(db, PageCodec::presetKey, int(std::strlen(PageCodec::presetKey))) != SQLITE_OK) {
        *error = QStringLiteral("cannot set the preset key on %1: %2").arg(path, sqliteError(db));
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

bool queryText(sqlite3 *db, const char *sql, QByteArray *result, QString *error)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        *error = sqliteError(db);
        return false;
    }
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
        *result = text ? QByteArray(text, sqlite3_column_bytes(statement, 0)) : QByteArray();
    } else if (rc == SQLITE_DONE) {
        *result = QByteArray();
    } else {
        *error = sqliteError(db);
        sqlite3_finalize(statement);
        return false;
    }
    sqlite3_finalize(statement);
    return true;
}

bool integrityOk(sqlite3 *db, QStringList *report, QString *error)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) != SQLITE_OK) {
        *error = sqliteError(db);
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        report->append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0))));
    if (rc != SQLITE_DONE) {
        *error = sqliteError(db);
        sqlite3_finalize(statement);
        return false;
    }
    sqlite3_finalize(statement);
    if (report->size() == 1 && report->first() == QLatin1String("ok"))
        return true;
    *error = QStringLiteral("the integrity check failed");
    return false;
}

PresetFile::~PresetFile()
{
    close();
}

bool PresetFile::open(const QString &path, bool readOnly, QString *error)
{
    close();
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("%1 does not exist").arg(path);
        return false;
    }
    if (info.isDir()) {
        *error = QStringLiteral("%1 is a directory").arg(path);
        return false;
    }
    m_path = path;

    // Without a key first: an encrypted file never reads as plain, while a
    // plain one read with the key only looks damaged.
    QString lastError;
    for (const bool withKey : {false, true}) {
        sqlite3 *db = openConnection(path, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, withKey, error);
        if (!db)
            return false;
        if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr) == SQLITE_OK) {
            m_db = db;
            m_encrypted = withKey;
            return true;
        }
        lastError = sqliteError(db);
        sqlite3_close(db);
    }
    *error = QStringLiteral("%1 is neither a plain SQLite database nor a preset encrypted with the preset key (%2)")
                 .arg(path, lastError);
    if (readOnly && QFileInfo::exists(path + QLatin1String("-journal")))
        *error += QStringLiteral("; the rollback journal of an interrupted write lies beside it, and the first "
                                 "read-write open (an editor opening the preset) rolls it back");
    return false;
}

void PresetFile::close()
{
    if (m_db)
        sqlite3_close(m_db);
    m_db = nullptr;
    m_encrypted = false;
}

int PresetFile::pageSize() const
{
    QByteArray text;
    QString ignored;
    return queryText(m_db, "PRAGMA page_size", &text, &ignored) ? text.toInt() : 0;
}

// Bytes 16 to 23 of the header are plain in both kinds of file.
QByteArray PresetFile::header() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(24);
}

int PresetFile::reservedBytes() const
{
    const QByteArray bytes = header();
    return bytes.size() == 24 ? quint8(bytes.at(20)) : 0;
}

bool PresetFile::asksForWal() const
{
    const QByteArray bytes = header();
    return bytes.size() == 24 && (bytes.at(18) == 2 || bytes.at(19) == 2);
}
