// Opens arbitrary bytes as a preset file: the key attempts, the validation, a
// few SELECTs and one small write must never crash, hang or corrupt memory.
// Bytes after the journal marker become a rollback journal beside the file, so
// hot-journal recovery is fuzzed as well.
#include "storage/Database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>

namespace {

QString inputPath()
{
    static const QString path = [] {
        const QString dir = QDir::temp().filePath(QStringLiteral("vekfuzz-%1").arg(QCoreApplication::applicationPid()));
        QDir().mkpath(dir);
        return dir + QStringLiteral("/input.preset");
    }();
    return path;
}

const QByteArray journalMarker("\nVEK-JOURNAL-FOLLOWS\n");

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void removeInput(const QString &path)
{
    for (const char *suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = inputPath();
    removeInput(path);
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype marker = input.indexOf(journalMarker);
    if (!writeFile(path, marker < 0 ? input : input.left(marker)))
        return 0;
    if (marker >= 0 && !writeFile(path + QLatin1String("-journal"), input.mid(marker + journalMarker.size())))
        return 0;
    {
        Database db(path, true, SQLITE_OPEN_READWRITE);
        if (db.isOpen()) {
            db.executeQuery(QStringLiteral("SELECT version FROM info"));
            db.itemAt(0, 0);
            if (db.executeQuery(QStringLiteral("SELECT name, value FROM parameters"))) {
                ResultSet copy;
                db.copyResults(copy);
                for (int row = 0; row < db.rowCount(); ++row)
                    db.itemAt(row, 1);
            }
            db.executeQuery(
                QStringLiteral("UPDATE parameters SET value = ? WHERE rowid = 1"), {QStringLiteral("fuzz")});
            db.executeQuery(QStringLiteral("SELECT * FROM pragma_integrity_check"));
        }
    }
    removeInput(path);
    return 0;
}
