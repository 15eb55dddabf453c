#include "storage/Database.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

namespace {

using TestSupport::readFile;
using TestSupport::writeFile;

QString presetSql(int version)
{
    return QStringLiteral("CREATE TABLE info(version INTEGER);"
                          "INSERT INTO info VALUES(%1);"
                          "CREATE TABLE parameters(name TEXT, value);"
                          "INSERT INTO parameters VALUES('KEY_MAPPING_65793', '65:Look_01'), ('GUIDE_FRAME_MODE', 2);")
        .arg(version);
}

// Values that a dump must carry through unchanged: quotes, NULL against the
// empty text, integers at the limits, reals, blobs, texts that are not UTF-8.
const char trickySql[]
    = "CREATE TABLE parameters(name TEXT, value);"
      "INSERT INTO parameters VALUES"
      "('quote', 'it''s a ''preset'''), ('empty', ''), ('null', NULL), ('int', 42), ('negative', -7),"
      "('max', 9223372036854775807), ('min', -9223372036854775808), ('real', 0.1), ('whole real', 2.0),"
      "('tiny', 5e-324), ('huge', 1e308), ('infinity', 1e999), ('blob', X'00FF27'), ('empty blob', X''),"
      "('text with nul', CAST(X'610062' AS TEXT)), ('latin1 bytes', CAST(X'E9' AS TEXT)), ('utf8', 'caf\xc3\xa9'),"
      "('lines', 'a' || char(10) || 'b' || char(13)), ('semicolon', 'x; DROP TABLE info; --');"
      "CREATE TABLE \"odd \"\"name\"\"\"(id INTEGER PRIMARY KEY AUTOINCREMENT, v);"
      "INSERT INTO \"odd \"\"name\"\"\"(v) VALUES('a'), ('b');"
      "CREATE INDEX by_name ON parameters(name);"
      "CREATE VIEW ints AS SELECT * FROM parameters WHERE typeof(value) = 'integer';"
      "CREATE TRIGGER count_changes AFTER INSERT ON parameters BEGIN UPDATE info SET version = version; END;"
      "PRAGMA user_version = 3;";

bool isPlain(const QByteArray &bytes)
{
    return bytes.startsWith(QByteArray("SQLite format 3\0", 16));
}

// Every row of a table as "typeof:hex" cells, read through SQLite directly.
QStringList typedRows(const QString &path, const QString &table)
{
    Database db(path, true, SQLITE_OPEN_READONLY);
    if (!db.isOpen())
        return {QStringLiteral("not open")};
    QStringList rows;
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db.handle(), QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table).toUtf8().constData(),
        -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QStringList cells;
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            const int type = sqlite3_column_type(statement, i);
            QByteArray value;
            if (type == SQLITE_FLOAT) {
                const double d = sqlite3_column_double(statement, i);
                value = QByteArray(reinterpret_cast<const char *>(&d), sizeof d);
            } else {
                value = QByteArray(
                    static_cast<const char *>(sqlite3_column_blob(statement, i)), sqlite3_column_bytes(statement, i));
            }
            cells << QStringLiteral("%1:%2").arg(type).arg(QString::fromLatin1(value.toHex()));
        }
        rows << cells.join(QLatin1Char(','));
    }
    sqlite3_finalize(statement);
    return rows;
}

} // namespace

class TestVekpreset : public QObject {
    Q_OBJECT

private slots:
    void init();

    void buildChoosesEncryption_data();
    void buildChoosesEncryption();
    void buildRefusesToOverwrite();
    void buildFailuresLeaveNothing_data();
    void buildFailuresLeaveNothing();
    void dumpRoundTrips_data();
    void dumpRoundTrips();
    void encryptAndDecrypt_data();
    void encryptAndDecrypt();
    void encryptDecryptRefusals();
    void checkReports();
    void checkFindsDamage();
    void usageErrors_data();
    void usageErrors();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString sqlFile(const QByteArray &sql, const QString &name = QStringLiteral("in.sql"));

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestVekpreset::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestVekpreset::sqlFile(const QByteArray &sql, const QString &name)
{
    const QString file = path(name);
    return writeFile(file, sql) ? file : QString();
}

void TestVekpreset::buildChoosesEncryption_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("encrypted");
    QTest::newRow("5") << 5 << false;
    QTest::newRow("8") << 8 << false;
    QTest::newRow("9") << 9 << true;
    QTest::newRow("16") << 16 << true;
}

void TestVekpreset::buildChoosesEncryption()
{
    QFETCH(int, version);
    QFETCH(bool, encrypted);

    const QString out = path(QStringLiteral("out.preset"));
    QString stdOut, stdErr;
    QCOMPARE(TestSupport::runVekpreset({"build", sqlFile(presetSql(version).toUtf8()), out}, &stdOut, &stdErr), 0);
    QVERIFY2(stdErr.isEmpty(), qPrintable(stdErr));
    const QByteArray bytes = readFile(out);
    QCOMPARE(isPlain(bytes), !encrypted);
    // The header fields SQLite needs before any decryption stay readable.
    QCOMPARE(bytes.mid(16, 2), QByteArray("\x10\x00", 2));
    QCOMPARE(int(bytes.at(20)), encrypted ? 12 : 0);

    Database db(out, true, SQLITE_OPEN_READONLY);
    QVERIFY(db.isOpen());
    QVERIFY(db.executeQuery(QStringLiteral("SELECT version FROM info")));
    QCOMPARE(db.itemAt(0, 0), QString::number(version));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), (QStringList {"in.sql", "out.preset"}));
}

void TestVekpreset::buildRefusesToOverwrite()
{
    const QString out = path(QStringLiteral("out.preset"));
    QVERIFY(writeFile(out, "keep me"));
    QString stdErr;
    const QString sql = sqlFile(presetSql(10).toUtf8());
    QCOMPARE(TestSupport::runVekpreset({"build", sql, out}, nullptr, &stdErr), 1);
    QVERIFY2(stdErr.contains(QLatin1String("already exists")), qPrintable(stdErr));
    QCOMPARE(readFile(out), QByteArray("keep me"));

    QCOMPARE(TestSupport::runVekpreset({"build", sql, out, "--force"}), 0);
    QVERIFY(!isPlain(readFile(out)));
    QVERIFY(TestSupport::buildPreset(presetSql(5), out));
    QVERIFY(isPlain(readFile(out)));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), (QStringList {"in.sql", "out.preset"}));
}

void TestVekpreset::buildFailuresLeaveNothing_data()
{
    QTest::addColumn<QByteArray>("sql");
    QTest::addColumn<QString>("message");
    QTest::newRow("syntax error") << QByteArray("CREATE TABLE info(version); INSERT INTO info VALUES(10); SELEC 1;")
                                  << "syntax error";
    QTest::newRow("error after the version") << QByteArray("CREATE TABLE info(version); INSERT INTO info VALUES(10);"
                                                           "INSERT INTO missing VALUES(1);")
                                             << "no such table: missing";
    QTest::newRow("not UTF-8") << QByteArray("CREATE TABLE info(version); -- \xff\xfe\n") << "not UTF-8";
}

void TestVekpreset::buildFailuresLeaveNothing()
{
    QFETCH(QByteArray, sql);
    QFETCH(QString, message);

    const QString out = path(QStringLiteral("out.preset"));
    QString stdErr;
    QCOMPARE(TestSupport::runVekpreset({"build", "--force", sqlFile(sql), out}, nullptr, &stdErr), 1);
    QVERIFY2(stdErr.contains(message), qPrintable(stdErr));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList {"in.sql"});

    QCOMPARE(
        TestSupport::runVekpreset(
            {"build", sqlFile(presetSql(5).toUtf8()), path(QStringLiteral("no/such/dir.preset"))}, nullptr, &stdErr),
        1);
    QVERIFY2(stdErr.contains(QLatin1String("does not exist")), qPrintable(stdErr));
}

void TestVekpreset::dumpRoundTrips_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("pageSize");
    QTest::newRow("plain") << 5 << 4096;
    QTest::newRow("encrypted") << 10 << 4096;
    QTest::newRow("encrypted, 512-byte pages") << 10 << 512;
    QTest::newRow("plain, 65536-byte pages") << 5 << 65536;
}

void TestVekpreset::dumpRoundTrips()
{
    QFETCH(int, version);
    QFETCH(int, pageSize);

    const QByteArray sql
        = QStringLiteral("PRAGMA page_size=%1; CREATE TABLE info(version INTEGER); INSERT INTO info VALUES(%2);")
              .arg(pageSize)
              .arg(version)
              .toUtf8()
        + trickySql;
    const QString first = path(QStringLiteral("first.preset"));
    QCOMPARE(TestSupport::runVekpreset({"build", sqlFile(sql), first}), 0);

    QString dump;
    QCOMPARE(TestSupport::runVekpreset({"dump", first}, &dump), 0);
    QVERIFY(dump.contains(QStringLiteral("PRAGMA page_size=%1;").arg(pageSize)));
    QVERIFY(dump.contains(QLatin1String("'it''s a ''preset'''")));

    const QString second = path(QStringLiteral("second.preset"));
    QCOMPARE(TestSupport::runVekpreset({"build", sqlFile(dump.toUtf8(), QStringLiteral("dump.sql")), second}), 0);
    QCOMPARE(readFile(first).mid(16, 8), readFile(second).mid(16, 8));
    QString again;
    QCOMPARE(TestSupport::runVekpreset({"dump", second}, &again), 0);
    QCOMPARE(again, dump);

    const QStringList rows = typedRows(first, QStringLiteral("parameters"));
    QCOMPARE(rows.size(), 19);
    QCOMPARE(typedRows(second, QStringLiteral("parameters")), rows);
    QCOMPARE(typedRows(second, QStringLiteral("\"odd \"\"name\"\"\"")),
        typedRows(first, QStringLiteral("\"odd \"\"name\"\"\"")));
    QCOMPARE(typedRows(second, QStringLiteral("sqlite_sequence")), QStringList {"3:6f646420226e616d6522,1:32"});
}

void TestVekpreset::encryptAndDecrypt_data()
{
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<int>("reserved");
    QTest::newRow("4096, nothing reserved") << 4096 << 0;
    QTest::newRow("512, nothing reserved") << 512 << 0;
    QTest::newRow("65536, nothing reserved") << 65536 << 0;
    QTest::newRow("4096, 12 reserved") << 4096 << 12;
    QTest::newRow("1024, 8 reserved") << 1024 << 8;
}

void TestVekpreset::encryptAndDecrypt()
{
    QFETCH(int, pageSize);
    QFETCH(int, reserved);

    // A plain file as other tools write it, with the requested layout.
    const QString plain = path(QStringLiteral("plain.preset"));
    {
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(plain.toUtf8().constData(), &db), SQLITE_OK);
        int reserve = reserved; // the call hands back the previous value in place
        QCOMPARE(sqlite3_file_control(db, "main", SQLITE_FCNTL_RESERVE_BYTES, &reserve), SQLITE_OK);
        const QByteArray sql
            = QStringLiteral("PRAGMA page_size=%1; CREATE TABLE info(version INTEGER); INSERT INTO info VALUES(10);")
                  .arg(pageSize)
                  .toUtf8()
            + trickySql;
        QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    const QByteArray plainBytes = readFile(plain);
    QCOMPARE(int(plainBytes.at(20)), reserved);

    const QString encrypted = path(QStringLiteral("encrypted.preset"));
    QString stdErr;
    QCOMPARE(TestSupport::runVekpreset({"encrypt", plain, encrypted}, nullptr, &stdErr), 0);
    QVERIFY2(stdErr.isEmpty(), qPrintable(stdErr));
    const QByteArray encryptedBytes = readFile(encrypted);
    QVERIFY(!isPlain(encryptedBytes));
    QCOMPARE(int(encryptedBytes.at(20)), 12);
    QCOMPARE(encryptedBytes.mid(16, 2), plainBytes.mid(16, 2));
    QCOMPARE(readFile(plain), plainBytes);

    LogCapture log;
    {
        Database db(encrypted, true, SQLITE_OPEN_READONLY);
        QVERIFY(db.isOpen());
        QVERIFY(!log.contains(QStringLiteral("INFO"), QStringLiteral("closed."))); // first attempt: the preset key
    }
    QCOMPARE(typedRows(encrypted, QStringLiteral("parameters")), typedRows(plain, QStringLiteral("parameters")));

    const QString decrypted = path(QStringLiteral("decrypted.preset"));
    QCOMPARE(TestSupport::runVekpreset({"decrypt", encrypted, decrypted}), 0);
    QVERIFY(isPlain(readFile(decrypted)));
    QString plainDump, decryptedDump;
    QCOMPARE(TestSupport::runVekpreset({"dump", plain}, &plainDump), 0);
    QCOMPARE(TestSupport::runVekpreset({"dump", decrypted}, &decryptedDump), 0);
    QCOMPARE(decryptedDump, plainDump);
}

void TestVekpreset::encryptDecryptRefusals()
{
    const QString plain = path(QStringLiteral("plain.preset"));
    const QString encrypted = path(QStringLiteral("encrypted.preset"));
    QVERIFY(TestSupport::buildPreset(presetSql(5), plain));
    QVERIFY(TestSupport::buildPreset(presetSql(10), encrypted));
    const QByteArray encryptedBytes = readFile(encrypted);

    QString stdErr;
    QCOMPARE(TestSupport::runVekpreset({"encrypt", encrypted, path(QStringLiteral("x.preset"))}, nullptr, &stdErr), 1);
    QVERIFY2(stdErr.contains(QLatin1String("already encrypted")), qPrintable(stdErr));
    QCOMPARE(TestSupport::runVekpreset({"decrypt", plain, path(QStringLiteral("x.preset"))}, nullptr, &stdErr), 1);
    QVERIFY2(stdErr.contains(QLatin1String("not encrypted")), qPrintable(stdErr));
    QCOMPARE(TestSupport::runVekpreset({"encrypt", plain, encrypted}, nullptr, &stdErr), 1);
    QVERIFY2(stdErr.contains(QLatin1String("already exists")), qPrintable(stdErr));
    QCOMPARE(TestSupport::runVekpreset({"decrypt", encrypted, encrypted, "--force"}, nullptr, &stdErr), 1);
    QVERIFY2(stdErr.contains(QLatin1String("same file")), qPrintable(stdErr));
    QCOMPARE(readFile(encrypted), encryptedBytes);
    QVERIFY(!QFile::exists(path(QStringLiteral("x.preset"))));

    // A copy can grow the space reserved on each page, never shrink it.
    const QString wide = path(QStringLiteral("wide.preset"));
    {
        sqlite3 *db = nullptr;
        int reserved = 20;
        QCOMPARE(sqlite3_open(wide.toUtf8().constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_file_control(db, "main", SQLITE_FCNTL_RESERVE_BYTES, &reserved), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, presetSql(10).toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    QCOMPARE(TestSupport::runVekpreset({"encrypt", wide, path(QStringLiteral("x.preset"))}, nullptr, &stdErr), 1);
    QVERIFY2(stdErr.contains(QLatin1String("reserves 20 bytes per page")), qPrintable(stdErr));
    QVERIFY(!QFile::exists(path(QStringLiteral("x.preset"))));

    QCOMPARE(TestSupport::runVekpreset({"encrypt", plain, encrypted, "--force"}), 0);
    QVERIFY(readFile(encrypted) != encryptedBytes);
    QVERIFY(!isPlain(readFile(encrypted)));
}

void TestVekpreset::checkReports()
{
    const QString encrypted = path(QStringLiteral("e.preset"));
    QVERIFY(TestSupport::buildPreset(presetSql(10), encrypted));
    QString out;
    QCOMPARE(TestSupport::runVekpreset({"check", encrypted}, &out), 0);
    QCOMPARE(out,
        QStringLiteral("file: %1\nencryption: encrypted with the preset key\npage size: 4096\n"
                       "reserved bytes per page: 12\nversion: 10\nintegrity check: ok\n")
            .arg(encrypted));

    const QString plain = path(QStringLiteral("p.preset"));
    QVERIFY(TestSupport::buildPreset(presetSql(5), plain));
    QCOMPARE(TestSupport::runVekpreset({"check", plain}, &out), 0);
    QVERIFY(out.contains(QLatin1String("encryption: plain\n")));
    QVERIFY(out.contains(QLatin1String("version: 5\n")));

    const QString noInfo = path(QStringLiteral("n.preset"));
    QVERIFY(TestSupport::buildPreset(QStringLiteral("CREATE TABLE parameters(name, value);"), noInfo));
    QCOMPARE(TestSupport::runVekpreset({"check", noInfo}, &out), 1);
    QVERIFY(out.contains(QLatin1String("version: none (no such table: info)")));
}

void TestVekpreset::checkFindsDamage()
{
    const QString file = path(QStringLiteral("d.preset"));
    QVERIFY(TestSupport::buildPreset(presetSql(10)
            + QStringLiteral("CREATE INDEX n ON parameters(name);"
                             "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k "
                             "WHERE i < 300) INSERT INTO parameters SELECT 'P' || i, "
                             "hex(randomblob(50)) FROM k;"),
        file));
    QByteArray bytes = readFile(file);
    // Flip a bit of the last page's type byte: the keystream is XORed, so the
    // page still decrypts, but to a page type that does not exist.
    const int pageType = int(bytes.size()) - 4096;
    bytes[pageType] = char(bytes[pageType] ^ 0x40);
    QVERIFY(writeFile(file, bytes));

    QString out, err;
    QCOMPARE(TestSupport::runVekpreset({"check", file}, &out, &err), 1);
    QVERIFY2(out.contains(QLatin1String("integrity check: failed")), qPrintable(out + err));
    QCOMPARE(readFile(file), bytes);

    QCOMPARE(TestSupport::runVekpreset({"check", path(QStringLiteral("missing.preset"))}, nullptr, &err), 1);
    QVERIFY(err.contains(QLatin1String("does not exist")));
    QVERIFY(
        writeFile(file, "not a database at all, but long enough to have a header of one hundred bytes or more, really"));
    QCOMPARE(TestSupport::runVekpreset({"dump", file}, nullptr, &err), 1);
    QVERIFY2(err.contains(QLatin1String("neither a plain SQLite database nor")), qPrintable(err));
}

void TestVekpreset::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing") << QStringList {};
    QTest::newRow("unknown command") << QStringList {"frobnicate", "x"};
    QTest::newRow("build, one argument") << QStringList {"build", "x.sql"};
    QTest::newRow("dump, two arguments") << QStringList {"dump", "a", "b"};
    QTest::newRow("unknown option") << QStringList {"build", "--quick", "a", "b"};
}

void TestVekpreset::usageErrors()
{
    QFETCH(QStringList, arguments);
    QString err;
    QCOMPARE(TestSupport::runVekpreset(arguments, nullptr, &err), 2);
    QVERIFY(err.contains(QLatin1String("usage: vekpreset")));
}

QTEST_GUILESS_MAIN(TestVekpreset)
#include "tst_vekpreset.moc"
