#include "Commands.h"

#include "storage/OutputFile.h"
#include "PresetFile.h"
#include "SqlDump.h"

#include "app/QtUtil.h"
#include "storage/Database.h"

#include <QFile>
#include <QUtf8StringView>

#include <sqlite3.h>

#include <cstdio>

namespace {

// Presets from this version on are encrypted.
constexpr int firstEncryptedVersion = 9;
constexpr int presetReservedBytes = 12;

int fail(const QString &message)
{
    std::fprintf(stderr, "vekpreset: %s\n", message.toLocal8Bit().constData());
    return 1;
}

void warn(const QString &message)
{
    std::fprintf(stderr, "vekpreset: warning: %s\n", message.toLocal8Bit().constData());
}

struct Connection {
    sqlite3 *db = nullptr;
    ~Connection() { sqlite3_close(db); }
};

bool copyDatabase(sqlite3 *from, sqlite3 *to, QString *error)
{
    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup) {
        *error = sqliteError(to);
        return false;
    }
    const int rc = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) {
        *error = QString::fromUtf8(sqlite3_errstr(rc));
        return false;
    }
    return true;
}

// Reopens a finished output from disk and checks that it reads back as intended.
bool verifyOutput(const QString &path, bool encrypted, QString *error)
{
    PresetFile output;
    if (!output.open(path, true, error))
        return false;
    if (output.isEncrypted() != encrypted) {
        *error = encrypted ? QStringLiteral("the output did not come out encrypted")
                           : QStringLiteral("the output did not come out plain");
        return false;
    }
    if (encrypted && output.reservedBytes() != presetReservedBytes) {
        *error = QStringLiteral("the output reserves %1 bytes per page instead of %2")
                     .arg(output.reservedBytes())
                     .arg(presetReservedBytes);
        return false;
    }
    if (encrypted && output.asksForWal()) {
        *error = QStringLiteral("an encrypted preset cannot use a write-ahead log");
        return false;
    }
    QStringList report;
    if (!integrityOk(output.handle(), &report, error)) {
        if (!report.isEmpty())
            *error += QStringLiteral(": ") + report.join(QStringLiteral("; "));
        return false;
    }
    return true;
}

// The version the SQL text writes into its info table, from a dry run in memory.
bool versionOf(const QString &sql, const QString &sqlPath, int *version)
{
    Database memory(QStringLiteral(":memory:"), false, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (!memory.isOpen()) {
        fail(QStringLiteral("cannot open an in-memory database"));
        return false;
    }
    if (!memory.executeQueries(sql)) {
        fail(QStringLiteral("%1: %2").arg(sqlPath, sqliteError(memory.handle())));
        return false;
    }
    *version = 0;
    if (!memory.executeQuery(QStringLiteral("SELECT version FROM info")) || memory.rowCount() == 0) {
        warn(QStringLiteral("%1 writes no version into an info table; the preset is written plain").arg(sqlPath));
        return true;
    }
    *version = memory.itemAt(0, 0).toInt();
    return true;
}

} // namespace

namespace Commands {

int build(const QString &sqlPath, const QString &outPath, bool force)
{
    QFile file(sqlPath);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(sqlPath, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (!QUtf8StringView(bytes).isValidUtf8())
        return fail(QStringLiteral("%1 is not UTF-8 text").arg(sqlPath));
    const QString sql = QString::fromUtf8(bytes);

    int version = 0;
    if (!versionOf(sql, sqlPath, &version))
        return 1;
    const bool encrypted = version >= firstEncryptedVersion;

    QString error;
    OutputFile out(outPath, force);
    if (!out.prepare(&error))
        return fail(error);
    {
        Database preset(out.temporaryPath(), encrypted, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (!preset.isOpen())
            return fail(QStringLiteral("cannot create %1").arg(out.temporaryPath()));
        // The file is private until the rename, which comes after an explicit flush.
        if (!preset.executeQueries(QStringLiteral("PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY;")))
            return fail(QStringLiteral("cannot prepare %1: %2").arg(out.temporaryPath(), sqliteError(preset.handle())));
        if (!preset.executeQueries(sql))
            return fail(QStringLiteral("%1: %2").arg(sqlPath, sqliteError(preset.handle())));
    }
    if (!verifyOutput(out.temporaryPath(), encrypted, &error))
        return fail(QStringLiteral("building %1: %2").arg(outPath, error));
    if (!out.commit(&error))
        return fail(error);
    std::printf("%s: version %d, %s\n", outPath.toLocal8Bit().constData(), version, encrypted ? "encrypted" : "plain");
    return 0;
}

int dump(const QString &path)
{
    QString error;
    PresetFile preset;
    if (!preset.open(path, true, &error))
        return fail(error);
    QByteArray sql;
    if (!dumpSql(preset.handle(), &sql, &error))
        return fail(QStringLiteral("%1: %2").arg(path, error));
    if (std::fwrite(sql.constData(), 1, size_t(sql.size()), stdout) != size_t(sql.size()) || std::fflush(stdout) != 0)
        return fail(QStringLiteral("cannot write the dump"));
    return 0;
}

int encrypt(const QString &inPath, const QString &outPath, bool force)
{
    QString error;
    PresetFile in;
    if (!in.open(inPath, true, &error))
        return fail(error);
    if (in.isEncrypted())
        return fail(QStringLiteral("%1 is already encrypted").arg(inPath));
    if (QtUtil::isSameFile(inPath, outPath))
        return fail(QStringLiteral("the input and the output are the same file"));
    // SQLite can grow the reserved space of a copy but never shrink it.
    if (in.reservedBytes() > presetReservedBytes)
        return fail(QStringLiteral("%1 reserves %2 bytes per page, more than the %3 of a preset")
                        .arg(inPath)
                        .arg(in.reservedBytes())
                        .arg(presetReservedBytes));

    OutputFile out(outPath, force);
    if (!out.prepare(&error))
        return fail(error);
    // A plain copy with the nonce space reserved on every page: the source may
    // reserve nothing, and page copies cannot change the layout of a page.
    OutputFile stage(out.temporaryPath() + QLatin1String(".stage"), true);
    if (!stage.prepare(&error))
        return fail(error);
    int reserve = presetReservedBytes;
    sqlite3_file_control(in.handle(), "main", SQLITE_FCNTL_RESERVE_BYTES, &reserve);
    {
        sqlite3_stmt *vacuum = nullptr;
        const QByteArray stagePath = stage.temporaryPath().toUtf8();
        int rc = sqlite3_prepare_v2(in.handle(), "VACUUM INTO ?", -1, &vacuum, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_bind_text(vacuum, 1, stagePath.constData(), -1, SQLITE_TRANSIENT);
            rc = sqlite3_step(vacuum);
        }
        sqlite3_finalize(vacuum);
        if (rc != SQLITE_DONE)
            return fail(QStringLiteral("cannot copy %1: %2").arg(inPath, sqliteError(in.handle())));
    }
    in.close();

    Connection plain, keyed;
    plain.db = openConnection(stage.temporaryPath(), SQLITE_OPEN_READWRITE, false, &error);
    if (!plain.db)
        return fail(error);
    // The encrypted copy must use a rollback journal.
    if (sqlite3_exec(plain.db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail(QStringLiteral("cannot prepare the copy: %1").arg(sqliteError(plain.db)));
    keyed.db = openConnection(out.temporaryPath(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, true, &error);
    if (!keyed.db)
        return fail(error);
    if (!copyDatabase(plain.db, keyed.db, &error))
        return fail(QStringLiteral("cannot encrypt %1: %2").arg(inPath, error));
    sqlite3_close(keyed.db);
    keyed.db = nullptr;

    if (!verifyOutput(out.temporaryPath(), true, &error))
        return fail(QStringLiteral("encrypting %1: %2").arg(inPath, error));
    if (!out.commit(&error))
        return fail(error);
    return 0;
}

int decrypt(const QString &inPath, const QString &outPath, bool force)
{
    QString error;
    PresetFile in;
    if (!in.open(inPath, true, &error))
        return fail(error);
    if (!in.isEncrypted())
        return fail(QStringLiteral("%1 is not encrypted").arg(inPath));
    if (QtUtil::isSameFile(inPath, outPath))
        return fail(QStringLiteral("the input and the output are the same file"));

    OutputFile out(outPath, force);
    if (!out.prepare(&error))
        return fail(error);
    {
        Connection plain;
        plain.db = openConnection(out.temporaryPath(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, false, &error);
        if (!plain.db)
            return fail(error);
        if (!copyDatabase(in.handle(), plain.db, &error))
            return fail(QStringLiteral("cannot decrypt %1: %2").arg(inPath, error));
    }
    in.close();
    if (!verifyOutput(out.temporaryPath(), false, &error))
        return fail(QStringLiteral("decrypting %1: %2").arg(inPath, error));
    if (!out.commit(&error))
        return fail(error);
    return 0;
}

int check(const QString &path)
{
    QString error;
    PresetFile preset;
    if (!preset.open(path, true, &error))
        return fail(error);

    bool good = true;
    std::printf("file: %s\n", path.toLocal8Bit().constData());
    std::printf("encryption: %s\n", preset.isEncrypted() ? "encrypted with the preset key" : "plain");
    std::printf("page size: %d\n", preset.pageSize());
    std::printf("reserved bytes per page: %d\n", preset.reservedBytes());

    QByteArray version;
    QString versionError;
    if (!queryText(preset.handle(), "SELECT version FROM info", &version, &versionError)) {
        std::printf("version: none (%s)\n", versionError.toLocal8Bit().constData());
        good = false;
    } else if (version.isNull()) {
        std::printf("version: none (no version in the info table)\n");
        good = false;
    } else {
        std::printf("version: %s\n", version.constData());
        if ((version.toInt() >= firstEncryptedVersion) != preset.isEncrypted())
            std::printf("note: presets of version %s are normally %s\n", version.constData(),
                preset.isEncrypted() ? "plain" : "encrypted");
    }

    QStringList report;
    if (integrityOk(preset.handle(), &report, &error)) {
        std::printf("integrity check: ok\n");
    } else {
        good = false;
        std::printf("integrity check: failed%s\n",
            report.isEmpty() ? QStringLiteral(" (%1)").arg(error).toLocal8Bit().constData() : "");
        for (const QString &line : report)
            std::printf("  %s\n", line.toLocal8Bit().constData());
    }
    std::fflush(stdout);
    return good ? 0 : 1;
}

} // namespace Commands
