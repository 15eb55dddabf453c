#include "storage/Database.h"
#include "storage/PageCodec.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

#include <cstring>

namespace {

using TestSupport::readFile;
using TestSupport::writeFile;

const QString ctor = QStringLiteral("Database::Database(const QString&, bool, int): ");
const QString query = QStringLiteral("Database::executeQuery(const QString&): ");
const QString itemAt = QStringLiteral("Database::itemAt(int, int): ");

QString presetSql(int version, const QString &extra = QString())
{
    return QStringLiteral("CREATE TABLE info(version INTEGER);"
                          "INSERT INTO info VALUES(%1);"
                          "CREATE TABLE parameters(name TEXT, value);"
                          "INSERT INTO parameters VALUES('GAIN', 12), ('LOOK', 'Look_01'), ('EMPTY', NULL);%2")
        .arg(version)
        .arg(extra);
}

// Creates a database through the codec directly, with any key and reserved count.
bool makeRawDatabase(const QString &path, const QByteArray &key, int reserved, const QString &sql)
{
    PageCodec::registerPageCodec();
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        == SQLITE_OK;
    if (ok && !key.isEmpty())
        ok = sqlite3_key(db, key.constData(), int(key.size())) == SQLITE_OK;
    int reserve = reserved; // the call hands back the previous value in place
    if (ok && reserved >= 0)
        ok = sqlite3_file_control(db, "main", SQLITE_FCNTL_RESERVE_BYTES, &reserve) == SQLITE_OK;
    if (ok)
        ok = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

QStringList column(Database &db, int col)
{
    QStringList values;
    for (int row = 0; row < db.rowCount(); ++row)
        values << db.itemAt(row, col);
    return values;
}

} // namespace

class TestDatabase : public QObject {
    Q_OBJECT

private slots:
    void init();

    void keyAttempts_data();
    void keyAttempts();
    void missingFile();
    void createdFileUsesPresetKey();
    void failedOpenLeavesNoConnection();

    void selectPrefix_data();
    void selectPrefix();
    void cellTexts();
    void emptyResultAndItemWarnings();
    void updateKeepsResults();
    void failuresAreLogged();
    void closedObjectFailsCleanly();
    void copyAndClearResults();
    void boundParameters();
    void boundParameterCountMismatch();
    void selectStoppedByDamagedPage();

    void pageSizes_data();
    void pageSizes();
    void otherReservedCounts_data();
    void otherReservedCounts();
    void badInput_data();
    void badInput();
    void directoryNamedPreset();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString preset(int version, const QString &name = QStringLiteral("p.preset"), const QString &extra = QString());

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDatabase::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestDatabase::preset(int version, const QString &name, const QString &extra)
{
    const QString file = path(name);
    if (!TestSupport::buildPreset(presetSql(version, extra), file))
        return QString();
    return file;
}

void TestDatabase::keyAttempts_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("encrypted");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<int>("closesBeforeOpen");

    // An encrypted file opens on the first attempt, a plain one on the second.
    QTest::newRow("encrypted preset") << "enc"
                                      << "a.preset" << true << true << 0;
    QTest::newRow("plain preset, key table") << "plain"
                                             << "a.preset" << true << true << 1;
    QTest::newRow("plain preset, no key") << "plain"
                                          << "a.preset" << false << true << 0;
    QTest::newRow("encrypted preset, no key") << "enc"
                                              << "a.preset" << false << false << 2;
    QTest::newRow("text file") << "text"
                               << "a.preset" << true << false << 2;
    QTest::newRow("neither .db nor .preset") << "plain"
                                             << "a.sqlite" << true << false << 2;
    QTest::newRow(".db with key_actions") << "keyActions"
                                          << "f.db" << true << true << 1;
    QTest::newRow(".db with parameters") << "plain"
                                         << "f.db" << true << true << 1;
    QTest::newRow(".db with neither table") << "infoOnly"
                                            << "f.db" << true << false << 2;
    QTest::newRow("suffix is case-sensitive") << "plain"
                                              << "a.PRESET" << true << false << 2;
}

void TestDatabase::keyAttempts()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(bool, encrypted);
    QFETCH(bool, opens);
    QFETCH(int, closesBeforeOpen);

    const QString file = path(name);
    if (kind == QLatin1String("enc"))
        QVERIFY(TestSupport::buildPreset(presetSql(10), file));
    else if (kind == QLatin1String("plain"))
        QVERIFY(TestSupport::buildPreset(presetSql(5), file));
    else if (kind == QLatin1String("text"))
        QVERIFY(writeFile(file, "This is not a database, although its name says so.\n"));
    else if (kind == QLatin1String("keyActions"))
        QVERIFY(makeRawDatabase(file, QByteArray(), -1, QStringLiteral("CREATE TABLE key_actions(id);")));
    else if (kind == QLatin1String("infoOnly"))
        QVERIFY(makeRawDatabase(file, QByteArray(), -1, QStringLiteral("CREATE TABLE info(version);")));
    const QByteArray before = readFile(file);

    LogCapture log;
    {
        Database db(file, encrypted, SQLITE_OPEN_READWRITE);
        QCOMPARE(db.isOpen(), opens);
        const QString closed = QStringLiteral("Database::close(): Database %1 closed.").arg(file);
        QCOMPARE(log.messages(QStringLiteral("INFO")).count(closed), closesBeforeOpen);
        const QString rejected
            = ctor + QStringLiteral("Database %1 was not opened. No encryption keys were valid.").arg(file);
        QCOMPARE(log.messages(QStringLiteral("ERROR")), opens ? QStringList() : QStringList {rejected});
        QVERIFY(!log.contains(QStringLiteral("INFO"), QStringLiteral("opened.")));
        if (opens && name.endsWith(QLatin1String(".preset"))) {
            QVERIFY(db.executeQuery(QStringLiteral("SELECT version FROM info")));
            QCOMPARE(db.itemAt(0, 0), kind == QLatin1String("enc") ? QStringLiteral("10") : QStringLiteral("5"));
        }
        QCOMPARE(db.handle() != nullptr, opens);
    }
    QCOMPARE(readFile(file), before);
}

void TestDatabase::missingFile()
{
    const QString file = path(QStringLiteral("missing.preset"));
    LogCapture log;
    Database db(file, true, SQLITE_OPEN_READWRITE);
    QVERIFY(!db.isOpen());
    QVERIFY(!db.handle());
    const QStringList errors = log.messages(QStringLiteral("ERROR"));
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors.first().startsWith(
        ctor + QStringLiteral("Unable to open database %1 correctly. SQLite error: ").arg(file)));
    QVERIFY(!QFile::exists(file));
}

void TestDatabase::createdFileUsesPresetKey()
{
    const QString file = path(QStringLiteral("new.preset"));
    LogCapture log;
    {
        Database db(file, true, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        QVERIFY(db.isOpen());
        QVERIFY(log.contains(QStringLiteral("INFO"), ctor + QStringLiteral("Database %1 opened.").arg(file)));
        QVERIFY(db.executeQueries(presetSql(10)));
    }
    const QByteArray bytes = readFile(file);
    QVERIFY(bytes.size() >= 4096);
    QVERIFY(!bytes.startsWith("SQLite format 3"));
    QCOMPARE(int(quint8(bytes.at(20))), 12);

    // Read back with the key table: the first attempt succeeds.
    log.clear();
    Database reopened(file, true, SQLITE_OPEN_READONLY);
    QVERIFY(reopened.isOpen());
    QVERIFY(!log.contains(QStringLiteral("INFO"), QStringLiteral("closed.")));
    QVERIFY(reopened.executeQuery(QStringLiteral("SELECT value FROM parameters WHERE name = 'LOOK'")));
    QCOMPARE(reopened.itemAt(0, 0), QStringLiteral("Look_01"));
}

void TestDatabase::failedOpenLeavesNoConnection()
{
    // Every rejected attempt closes its connection: no descriptor stays open.
    const QString junk = path(QStringLiteral("junk.preset"));
    QVERIFY(writeFile(junk, QByteArray(8192, '\x5a')));
    const QString plain = path(QStringLiteral("plain.other"));
    QVERIFY(TestSupport::buildPreset(presetSql(5), plain));
    const auto openDescriptors
        = [] { return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size(); };
    const int before = openDescriptors();
    for (const QString &file : {junk, plain, path(QStringLiteral("missing.preset"))}) {
        Database db(file, true, SQLITE_OPEN_READWRITE);
        QVERIFY(!db.isOpen());
        QVERIFY(!db.handle());
        QCOMPARE(openDescriptors(), before);
    }
}

void TestDatabase::selectPrefix_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("rows");

    QTest::newRow("upper case") << "SELECT name FROM parameters" << true << 3;
    QTest::newRow("lower case") << "select name from parameters" << true << 3;
    QTest::newRow("mixed case") << "SeLeCt name FROM parameters" << true << 3;
    // Not recognised as a SELECT: stepped once, it stops at a row instead of done.
    QTest::newRow("leading blank") << " SELECT name FROM parameters" << false << 0;
    QTest::newRow("only the first statement") << "SELECT name FROM parameters; DELETE FROM parameters" << true << 3;
}

void TestDatabase::selectPrefix()
{
    QFETCH(QString, sql);
    QFETCH(bool, result);
    QFETCH(int, rows);

    Database db(preset(5), false, SQLITE_OPEN_READWRITE);
    QVERIFY(db.isOpen());
    LogCapture log;
    QCOMPARE(db.executeQuery(sql), result);
    QCOMPARE(db.rowCount(), rows);
    QVERIFY(log.contains(
        QStringLiteral("INFO"), query + QStringLiteral("Executing query \"%1\" against %2").arg(sql, db.fileName())));
    QVERIFY(db.executeQuery(QStringLiteral("SELECT count(*) FROM parameters")));
    QCOMPARE(db.itemAt(0, 0), QStringLiteral("3"));
}

void TestDatabase::cellTexts()
{
    Database db(preset(10), true, SQLITE_OPEN_READWRITE);
    QVERIFY(db.isOpen());
    // Texts reach SQLite as UTF-8 and come back byte by byte as Latin-1.
    QVERIFY(db.executeQuery(QStringLiteral("INSERT INTO parameters VALUES('UTF', 'caf\u00e9')")));
    QVERIFY(db.executeQuery(QStringLiteral("SELECT name, value, 3.5 FROM parameters ORDER BY rowid")));
    QCOMPARE(db.rowCount(), 4);
    QCOMPARE(db.colCount(), 3);
    QCOMPARE(column(db, 0), (QStringList {"GAIN", "LOOK", "EMPTY", "UTF"}));
    QCOMPARE(column(db, 1), (QStringList {"12", "Look_01", "", QString::fromLatin1("caf\xc3\xa9")}));
    QCOMPARE(db.itemAt(3, 2), QStringLiteral("3.5"));
}

void TestDatabase::emptyResultAndItemWarnings()
{
    Database db(preset(5), true, SQLITE_OPEN_READWRITE);
    QVERIFY(db.isOpen());
    LogCapture log;
    QVERIFY(db.executeQuery(QStringLiteral("SELECT name, value FROM parameters WHERE name = 'NONE'")));
    QCOMPARE(db.rowCount(), 0);
    QCOMPARE(db.colCount(), 2);
    QCOMPARE(db.itemAt(0, 0), QString());
    QCOMPARE(log.messages(QStringLiteral("WARNING")),
        QStringList {itemAt + QStringLiteral("Item at (R:0, C:0) does not exist. The result set is empty.")});

    QVERIFY(db.executeQuery(QStringLiteral("SELECT name, value FROM parameters")));
    log.clear();
    QCOMPARE(db.itemAt(3, 0), QString());
    QCOMPARE(db.itemAt(0, 2), QString());
    QCOMPARE(db.itemAt(-1, 0), QString());
    const QString outside
        = itemAt + QStringLiteral("Item at (R:%1, C:%2) does not exist. Row count: 3 | Column count: 2");
    QCOMPARE(log.messages(QStringLiteral("WARNING")),
        (QStringList {outside.arg(3).arg(0), outside.arg(0).arg(2), outside.arg(-1).arg(0)}));
}

void TestDatabase::updateKeepsResults()
{
    Database db(preset(10), true, SQLITE_OPEN_READWRITE);
    QVERIFY(db.executeQuery(QStringLiteral("SELECT name FROM parameters ORDER BY name")));
    QVERIFY(db.executeQuery(QStringLiteral("UPDATE parameters SET value = 13 WHERE name = 'GAIN'")));
    QVERIFY(db.executeQuery(QStringLiteral("DELETE FROM parameters WHERE name = 'EMPTY'")));
    QCOMPARE(db.rowCount(), 3);
    QCOMPARE(column(db, 0), (QStringList {"EMPTY", "GAIN", "LOOK"}));
    QVERIFY(db.executeQuery(QStringLiteral("SELECT value FROM parameters WHERE name = 'GAIN'")));
    QCOMPARE(db.itemAt(0, 0), QStringLiteral("13"));
}

void TestDatabase::failuresAreLogged()
{
    Database db(preset(5, QStringLiteral("p.preset"), QStringLiteral("CREATE UNIQUE INDEX n ON parameters(name);")),
        true, SQLITE_OPEN_READWRITE);
    QVERIFY(db.isOpen());
    LogCapture log;

    QVERIFY(!db.executeQuery(QStringLiteral("SELECT x FROM nowhere")));
    QCOMPARE(log.messages(QStringLiteral("ERROR")),
        QStringList {query
            + QStringLiteral("Unable to prepare query \"SELECT x FROM nowhere\" correctly. "
                             "SQLite error: no such table: nowhere")});
    log.clear();

    const QString duplicate = QStringLiteral("INSERT INTO parameters VALUES('GAIN', 1)");
    QVERIFY(!db.executeQuery(duplicate));
    QCOMPARE(log.messages(QStringLiteral("ERROR")),
        QStringList {query
            + QStringLiteral("An issue occurred while executing the query \"%1\". SQLite error: "
                             "UNIQUE constraint failed: parameters.name")
                  .arg(duplicate)});
    log.clear();

    // Statements before the failing one stay executed.
    const QString script
        = QStringLiteral("INSERT INTO parameters VALUES('NEW', 1); INSERT INTO parameters VALUES('NEW', 2);");
    QVERIFY(!db.executeQueries(script));
    QCOMPARE(log.messages(QStringLiteral("ERROR")),
        QStringList {QStringLiteral("Database::executeQueries(const QString&): An error occurred while executing the "
                                    "queries \"%1\". SQLite error: UNIQUE constraint failed: parameters.name")
                         .arg(script)});
    QVERIFY(db.executeQuery(QStringLiteral("SELECT value FROM parameters WHERE name = 'NEW'")));
    QCOMPARE(column(db, 0), QStringList {"1"});
    QVERIFY(db.executeQueries(
        QStringLiteral("UPDATE parameters SET value = 5; DELETE FROM parameters WHERE name = 'NEW'")));
}

void TestDatabase::closedObjectFailsCleanly()
{
    const QString file = preset(5);
    LogCapture log;
    Database db(file, true, SQLITE_OPEN_READWRITE);
    QVERIFY(db.executeQuery(QStringLiteral("SELECT name FROM parameters")));
    db.close();
    QVERIFY(!db.isOpen());
    QCOMPARE(
        log.messages(QStringLiteral("INFO")).count(QStringLiteral("Database::close(): Database %1 closed.").arg(file)),
        2);
    db.close();
    QCOMPARE(
        log.messages(QStringLiteral("INFO")).count(QStringLiteral("Database::close(): Database %1 closed.").arg(file)),
        2);

    log.clear();
    QVERIFY(!db.executeQuery(QStringLiteral("SELECT 1")));
    QVERIFY(!db.executeQuery(QStringLiteral("SELECT ?"), {1}));
    QVERIFY(!db.executeQueries(QStringLiteral("SELECT 1")));
    QCOMPARE(log.messages(QStringLiteral("ERROR")).size(), 3);
    QVERIFY(log.messages(QStringLiteral("ERROR"))
                .first()
                .startsWith(query + QStringLiteral("Unable to prepare query \"SELECT 1\"")));
    // The result set stays readable after close.
    QCOMPARE(db.rowCount(), 3);
    QCOMPARE(db.itemAt(1, 0), QStringLiteral("LOOK"));
}

void TestDatabase::copyAndClearResults()
{
    Database db(preset(5), true, SQLITE_OPEN_READWRITE);
    QVERIFY(db.executeQuery(QStringLiteral("SELECT name, value FROM parameters ORDER BY rowid")));

    ResultSet out;
    out[0] = QStringList {"kept"};
    out[7] = QStringList {"other"};
    db.copyResults(out);
    QCOMPARE(out.size(), size_t(4));
    QCOMPARE(out[0], (QStringList {"kept", "GAIN", "12"}));
    QCOMPARE(out[1], (QStringList {"LOOK", "Look_01"}));
    QCOMPARE(out[2], (QStringList {"EMPTY", ""}));
    QCOMPARE(out[7], QStringList {"other"});

    LogCapture log;
    db.clearResults();
    QCOMPARE(db.rowCount(), 0);
    QCOMPARE(db.colCount(), 0);
    QVERIFY(log.messages(QStringLiteral("WARNING")).isEmpty());
    ResultSet none;
    db.copyResults(none);
    QVERIFY(none.empty());
}

void TestDatabase::boundParameters()
{
    Database db(preset(10), true, SQLITE_OPEN_READWRITE);
    QVERIFY(db.isOpen());
    const QString hostile = QStringLiteral("it's'); DROP TABLE parameters; --");
    QVERIFY(db.executeQuery(QStringLiteral("INSERT INTO parameters VALUES(?, ?)"), {QStringLiteral("T"), hostile}));
    QVERIFY(db.executeQuery(QStringLiteral("INSERT INTO parameters VALUES(?, ?)"), {QStringLiteral("I"), 42}));
    QVERIFY(db.executeQuery(QStringLiteral("INSERT INTO parameters VALUES(?, ?)"), {QStringLiteral("N"), QVariant()}));
    QVERIFY(db.executeQuery(
        QStringLiteral("INSERT INTO parameters VALUES(?, ?)"), {QStringLiteral("U"), QStringLiteral("\u00e9")}));

    QVERIFY(db.executeQuery(QStringLiteral("select name, typeof(value), value, hex(value) FROM parameters "
                                           "WHERE name IN (?, ?, ?, ?) ORDER BY rowid"),
        {"T", "I", "N", "U"}));
    QCOMPARE(db.rowCount(), 4);
    QCOMPARE(column(db, 1), (QStringList {"text", "integer", "null", "text"}));
    QCOMPARE(db.itemAt(0, 2), hostile);
    QCOMPARE(db.itemAt(1, 2), QStringLiteral("42"));
    QCOMPARE(db.itemAt(3, 3), QStringLiteral("C3A9"));
}

void TestDatabase::boundParameterCountMismatch()
{
    Database db(preset(5), true, SQLITE_OPEN_READWRITE);
    LogCapture log;
    QVERIFY(!db.executeQuery(QStringLiteral("UPDATE parameters SET value = ? WHERE name = ?"), {1}));
    QVERIFY(!db.executeQuery(QStringLiteral("SELECT ?"), {1, 2}));
    QCOMPARE(log.messages(QStringLiteral("ERROR")).size(), 2);
    QVERIFY(db.executeQuery(QStringLiteral("SELECT value FROM parameters WHERE name = 'GAIN'"), {}));
    QCOMPARE(db.itemAt(0, 0), QStringLiteral("12"));
}

void TestDatabase::selectStoppedByDamagedPage()
{
    // Enough rows to fill many leaf pages; the last page of the file is a leaf.
    const QString file = preset(5, QStringLiteral("p.preset"),
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400) "
                       "INSERT INTO parameters SELECT 'P' || i, hex(randomblob(60)) FROM n;"));
    QByteArray bytes = readFile(file);
    QVERIFY(bytes.size() > 8 * 4096);
    bytes.replace(bytes.size() - 4096, 4096, QByteArray(4096, '\xff'));
    QVERIFY(writeFile(file, bytes));

    Database db(file, true, SQLITE_OPEN_READWRITE);
    QVERIFY(db.isOpen());
    QVERIFY(db.executeQuery(QStringLiteral("SELECT 1, 2")));
    LogCapture log;
    const QString sql = QStringLiteral("SELECT name, value FROM parameters");
    QVERIFY(!db.executeQuery(sql));
    QCOMPARE(db.rowCount(), 0);
    const QStringList errors = log.messages(QStringLiteral("ERROR"));
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().startsWith(
                 query + QStringLiteral("An issue occurred while executing the query \"%1\". SQLite error: ").arg(sql)),
        qPrintable(errors.first()));
}

void TestDatabase::pageSizes_data()
{
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<int>("version");
    for (int size = 512; size <= 65536; size *= 2) {
        QTest::addRow("%d plain", size) << size << 5;
        QTest::addRow("%d encrypted", size) << size << 10;
    }
}

void TestDatabase::pageSizes()
{
    QFETCH(int, pageSize);
    QFETCH(int, version);

    const QString file = path(QStringLiteral("p.preset"));
    QVERIFY(TestSupport::buildPreset(QStringLiteral("PRAGMA page_size=%1;").arg(pageSize)
            + presetSql(version,
                QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                               "WHERE i < 300) INSERT INTO parameters SELECT 'P' || i, "
                               "printf('%.*c', 200, 'v') FROM n;")),
        file));
    const QByteArray header = readFile(file).left(24);
    QCOMPARE(header.size(), 24);
    QCOMPARE((quint8(header.at(16)) << 8 | quint8(header.at(17))), pageSize == 65536 ? 1 : pageSize);
    QCOMPARE(int(quint8(header.at(20))), version > 8 ? 12 : 0);

    {
        Database db(file, true, SQLITE_OPEN_READWRITE);
        QVERIFY(db.isOpen());
        QVERIFY(db.executeQuery(QStringLiteral("UPDATE parameters SET value = 'changed' WHERE name = 'P150'")));
        QVERIFY(db.executeQuery(QStringLiteral("DELETE FROM parameters WHERE name = 'P7'")));
    }
    Database db(file, true, SQLITE_OPEN_READONLY);
    QVERIFY(db.isOpen());
    QVERIFY(db.executeQuery(QStringLiteral("SELECT count(*), sum(value = 'changed') FROM parameters")));
    QCOMPARE(db.itemAt(0, 0), QStringLiteral("302"));
    QCOMPARE(db.itemAt(0, 1), QStringLiteral("1"));
    QVERIFY(db.executeQuery(QStringLiteral("SELECT * FROM pragma_integrity_check")));
    QCOMPARE(column(db, 0), QStringList {"ok"});
}

void TestDatabase::otherReservedCounts_data()
{
    QTest::addColumn<bool>("withKey");
    QTest::addColumn<int>("reserved");
    // A new encrypted file reserves at least 12: SQLite can grow the count, not shrink it.
    for (int reserved : {13, 32, 200})
        QTest::addRow("encrypted, %d", reserved) << true << reserved;
    for (int reserved : {0, 4, 11, 13, 32})
        QTest::addRow("plain, %d", reserved) << false << reserved;
}

// Files written elsewhere may reserve another count per page: they are read
// with that count, and opening them changes nothing.
void TestDatabase::otherReservedCounts()
{
    QFETCH(bool, withKey);
    QFETCH(int, reserved);

    const QString file = path(QStringLiteral("r.preset"));
    QVERIFY(makeRawDatabase(file, withKey ? QByteArray(PageCodec::presetKey) : QByteArray(), reserved, presetSql(10)));
    const QByteArray before = readFile(file);
    QCOMPARE(int(quint8(before.at(20))), reserved);
    QCOMPARE(before.startsWith("SQLite format 3"), !withKey);

    Database db(file, true, SQLITE_OPEN_READWRITE);
    QVERIFY(db.isOpen());
    QVERIFY(db.executeQuery(QStringLiteral("SELECT value FROM parameters WHERE name = 'LOOK'")));
    QCOMPARE(db.itemAt(0, 0), QStringLiteral("Look_01"));
    db.close();
    QCOMPARE(readFile(file), before);
}

void TestDatabase::badInput_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("opens"); // 0 never, 1 always, 2 either (then it must read or fail cleanly)

    QTest::newRow("zero-length") << "none"
                                 << "empty" << 0;
    QTest::newRow("plain with the key table") << "plain"
                                              << "" << 1;
    QTest::newRow("wrong key") << "otherKey"
                               << "" << 0;
    for (int length : {1, 15, 16, 24, 99, 100, 101, 4095, 4096, 4097, 8191})
        QTest::addRow("encrypted truncated to %d", length) << "enc" << QStringLiteral("truncate:%1").arg(length) << 0;
    for (int length : {16, 99, 100, 4095})
        QTest::addRow("plain truncated to %d", length) << "plain" << QStringLiteral("truncate:%1").arg(length) << 0;
    QTest::newRow("encrypted, last page cut") << "enc"
                                              << "truncate:-100" << 2;
    for (int reserved : {0, 4, 11, 13, 32, 255})
        QTest::addRow("encrypted, header says reserved %d", reserved)
            << "enc" << QStringLiteral("byte:20:%1").arg(reserved) << 0;
    QTest::newRow("plain, header says reserved 12") << "plain"
                                                    << "byte:20:12" << 2;
    QTest::newRow("encrypted, header asks for WAL") << "enc"
                                                    << "wal" << 2;
    QTest::newRow("plain, header asks for WAL") << "plain"
                                                << "wal" << 1;
    QTest::newRow("encrypted, page size 1000") << "enc"
                                               << "pagesize:1000" << 0;
    QTest::newRow("encrypted, page size 65536 in a small file") << "enc"
                                                                << "pagesize:1" << 0;
    QTest::newRow("encrypted, page size 512") << "enc"
                                              << "pagesize:512" << 0;
    QTest::newRow("encrypted, nonce of page 2 flipped") << "enc"
                                                        << "byte:8190:0" << 2;
    QTest::newRow("random bytes") << "none"
                                  << "random" << 0;
}

void TestDatabase::badInput()
{
    QFETCH(QString, source);
    QFETCH(QString, damage);
    QFETCH(int, opens);

    const QString file = path(QStringLiteral("bad.preset"));
    const QString extra = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 60) "
                                         "INSERT INTO parameters SELECT 'P' || i, hex(randomblob(40)) FROM n;");
    QByteArray bytes;
    if (source == QLatin1String("enc") || source == QLatin1String("plain")) {
        QVERIFY(TestSupport::buildPreset(presetSql(source == QLatin1String("enc") ? 10 : 5, extra), file));
        bytes = readFile(file);
        QVERIFY(bytes.size() >= 3 * 4096);
    } else if (source == QLatin1String("otherKey")) {
        QVERIFY(makeRawDatabase(file, "aes256:0123456789abcdef0123456789abcdef", -1, presetSql(10)));
        bytes = readFile(file);
    }

    const QStringList parts = damage.split(QLatin1Char(':'));
    if (parts[0] == QLatin1String("truncate")) {
        const int length = parts[1].toInt();
        bytes.truncate(length < 0 ? bytes.size() + length : length);
    } else if (parts[0] == QLatin1String("byte")) {
        bytes[parts[1].toInt()] = char(parts[2].toInt());
    } else if (parts[0] == QLatin1String("wal")) {
        bytes[18] = 2;
        bytes[19] = 2;
    } else if (parts[0] == QLatin1String("pagesize")) {
        const int size = parts[1].toInt();
        bytes[16] = char(size >> 8);
        bytes[17] = char(size & 0xff);
    } else if (parts[0] == QLatin1String("random")) {
        QRandomGenerator generator(7);
        bytes.resize(4096);
        for (char &c : bytes)
            c = char(generator.generate());
    }
    QVERIFY(writeFile(file, bytes));

    for (int flags : {SQLITE_OPEN_READONLY, SQLITE_OPEN_READWRITE}) {
        LogCapture log;
        Database db(file, true, flags);
        if (opens != 2)
            QCOMPARE(db.isOpen(), opens == 1);
        if (db.isOpen()) {
            const bool read = db.executeQuery(QStringLiteral("SELECT name, value FROM parameters"));
            if (opens == 1) {
                QVERIFY(read);
                QCOMPARE(db.rowCount(), 63);
            }
            if (!read)
                QVERIFY(!log.messages(QStringLiteral("ERROR")).isEmpty());
        } else {
            QVERIFY(!db.handle());
            QVERIFY(!log.messages(QStringLiteral("ERROR")).isEmpty());
        }
        db.close();
        QCOMPARE(readFile(file), bytes);
        QVERIFY(!QFile::exists(file + QLatin1String("-journal")));
    }
}

void TestDatabase::directoryNamedPreset()
{
    const QString dir = path(QStringLiteral("x.preset"));
    QVERIFY(QDir().mkdir(dir));
    for (int flags : {SQLITE_OPEN_READONLY, SQLITE_OPEN_READWRITE, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE}) {
        LogCapture log;
        Database db(dir, true, flags);
        if (db.isOpen()) {
            // The create flag accepts without a test; nothing can be read or written.
            QVERIFY(flags & SQLITE_OPEN_CREATE);
            QVERIFY(!db.executeQuery(QStringLiteral("SELECT * FROM info")));
            QVERIFY(!db.executeQueries(QStringLiteral("CREATE TABLE t(x)")));
        }
        QVERIFY(!log.messages(QStringLiteral("ERROR")).isEmpty());
    }
    QVERIFY(QDir(dir).isEmpty());
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
