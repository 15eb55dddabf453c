// Writes a fuzz seed made of a preset caught in the middle of a write
// transaction and its hot rollback journal, joined by the journal marker.
#include "storage/Database.h"

#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>

namespace {
QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SOURCE.preset SEED\n", argv[0]);
        return 2;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("seed.preset"));
    if (!QFile::copy(QString::fromLocal8Bit(argv[1]), path))
        return 1;
    Database db(path, true, SQLITE_OPEN_READWRITE);
    if (!db.isOpen())
        return 1;
    // A one-page cache spills changed pages into the file before the commit.
    const char *changes = "PRAGMA cache_size=1; BEGIN;"
                          "UPDATE parameters SET value = hex(randomblob(40));"
                          "INSERT INTO parameters SELECT name || '_2', value FROM parameters;";
    if (sqlite3_exec(db.handle(), changes, nullptr, nullptr, nullptr) != SQLITE_OK)
        return 1;
    const QByteArray journal = readAll(path + QLatin1String("-journal"));
    const QByteArray seed = readAll(path) + "\nVEK-JOURNAL-FOLLOWS\n" + journal;
    sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    if (journal.isEmpty())
        return 1;
    QFile out(QString::fromLocal8Bit(argv[2]));
    return out.open(QIODevice::WriteOnly) && out.write(seed) == seed.size() ? 0 : 1;
}
