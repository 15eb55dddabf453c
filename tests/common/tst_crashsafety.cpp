// Crash safety of encrypted presets: a writer killed at any file operation, and
// read and write failures injected under the page codec.

#include "FaultVfs.h"
#include "TestSupport.h"
#include "codec/SqliteProbe.h"
#include "Workload.h"
#include "storage/PageCodec.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

namespace {

using TestSupport::readFile;

const QByteArray kKey(PageCodec::presetKey);

bool copyFresh(const QString &from, const QString &to)
{
    QFile::remove(to);
    QFile::remove(to + "-journal");
    return QFile::copy(from, to);
}

sqlite3 *openDb(const QString &path)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
            != SQLITE_OK
        || sqlite3_key(db, kKey.constData(), static_cast<int>(kKey.size())) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

// Opens the file as a fresh reader would (rolling back a hot journal) and checks it.
bool checkFile(const QString &path, QByteArray *digest, QString *why)
{
    sqlite3 *db = openDb(path);
    if (!db) {
        *why = QStringLiteral("cannot open");
        return false;
    }
    const QString check = firstText(db, "PRAGMA integrity_check");
    *digest = contentDigest(db);
    sqlite3_close(db);
    if (check != QLatin1String("ok")) {
        *why = QStringLiteral("integrity check: ") + check;
        return false;
    }
    return true;
}

} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void killedMidTransaction();
    void failedReadsSurface();
    void failedWritesLeaveFileIntact_data();
    void failedWritesLeaveFileIntact();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QString m_base;
    QByteArray m_oldDigest;
};

void TestCrashSafety::initTestCase()
{
    QVERIFY(FaultVfs::install());
    QVERIFY(PageCodec::registerPageCodec());
    QVERIFY(m_dir.isValid());

    m_base = path("base.preset");
    sqlite3 *db = openDb(m_base);
    QVERIFY(db);
    QCOMPARE(sqlite3_exec(db, Workload::fill, nullptr, nullptr, nullptr), SQLITE_OK);
    m_oldDigest = contentDigest(db);
    sqlite3_close(db);
    QVERIFY(!m_oldDigest.isEmpty());
    QVERIFY(!readFile(m_base).contains("marker-"));
}

void TestCrashSafety::killedMidTransaction()
{
    const QString work = path("work.preset");
    const QString journal = work + "-journal";
    const QByteArray baseBytes = readFile(m_base);

    // A run without a kill gives the new content and the number of operations.
    QVERIFY(copyFresh(m_base, work));
    QProcess child;
    child.start(QStringLiteral(CODEC_CRASH_CHILD), {work, QStringLiteral("0")});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    const int operations = child.readAllStandardOutput().trimmed().toInt();
    QVERIFY(operations > 50);
    QByteArray newDigest;
    QString why;
    QVERIFY2(checkFile(work, &newDigest, &why), qPrintable(why));
    QVERIFY(newDigest != m_oldDigest);

    int oldOutcomes = 0;
    int newOutcomes = 0;
    int hotJournals = 0;
    int rolledBackWrites = 0;
    // Kill points: before each operation (sampled when there are many), before the
    // last one (the journal's deletion commits), and after the commit.
    QList<int> killPoints;
    for (int killAt = 1; killAt < operations; killAt += qMax(1, operations / 150))
        killPoints << killAt;
    killPoints << operations << operations + 1;
    for (int killAt : std::as_const(killPoints)) {
        const QByteArray where = "kill before operation " + QByteArray::number(killAt);
        QVERIFY(copyFresh(m_base, work));
        child.start(QStringLiteral(CODEC_CRASH_CHILD), {work, QString::number(killAt)});
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitStatus() == QProcess::CrashExit, where.constData());

        const QByteArray leftJournal = readFile(journal);
        // SQLite rolls a journal back only when its first byte is set (the header
        // is complete and synced); an unfinished one is ignored and overwritten.
        const bool hot = leftJournal.size() > 0 && leftJournal[0] != 0;
        hotJournals += hot;
        QVERIFY2(!leftJournal.contains("marker-"), where.constData());
        const bool databaseTouched = readFile(work) != baseBytes;

        QByteArray digest;
        QVERIFY2(checkFile(work, &digest, &why), (where + ": " + why.toUtf8()).constData());
        QVERIFY2(digest == m_oldDigest || digest == newDigest, where.constData());
        const QByteArray journalAfter = readFile(journal);
        QVERIFY2(journalAfter.isEmpty() || journalAfter[0] == 0, where.constData()); // no hot journal left
        if (digest == m_oldDigest) {
            ++oldOutcomes;
            rolledBackWrites += hot && databaseTouched;
        } else {
            ++newOutcomes;
        }
    }
    QVERIFY(oldOutcomes > 0);
    QVERIFY(newOutcomes > 0);
    QVERIFY(hotJournals > 0);
    QVERIFY(rolledBackWrites > 0); // pages written before the kill were restored
}

void TestCrashSafety::failedReadsSurface()
{
    const QByteArray baseBytes = readFile(m_base);
    sqlite3 *db = openDb(m_base);
    QVERIFY(db);
    FaultVfs::setPlan({});
    QCOMPARE(contentDigest(db), m_oldDigest);
    const int reads = FaultVfs::reads();
    sqlite3_close(db);
    QVERIFY(reads > 10);

    for (int failAt = 1; failAt <= reads; ++failAt) {
        const QByteArray where = "failing read " + QByteArray::number(failAt);
        db = openDb(m_base);
        QVERIFY(db);
        FaultVfs::Plan plan;
        plan.failReadAt = failAt;
        FaultVfs::setPlan(plan);
        const QByteArray digest = contentDigest(db);
        const bool injected = FaultVfs::injected();
        FaultVfs::setPlan({});
        sqlite3_close(db);
        QVERIFY2(injected, where.constData());
        QVERIFY2(digest.isEmpty(), (where + " was reported as success").constData());
    }
    QCOMPARE(readFile(m_base), baseBytes);
}

void TestCrashSafety::failedWritesLeaveFileIntact_data()
{
    QTest::addColumn<bool>("diskFull");
    QTest::newRow("write error") << false;
    QTest::newRow("disk full") << true;
}

void TestCrashSafety::failedWritesLeaveFileIntact()
{
    QFETCH(bool, diskFull);
    const QString work = path("fault.preset");

    QVERIFY(copyFresh(m_base, work));
    sqlite3 *db = openDb(work);
    QVERIFY(db);
    FaultVfs::setPlan({});
    QCOMPARE(sqlite3_exec(db, Workload::transaction, nullptr, nullptr, nullptr), SQLITE_OK);
    const int writes = FaultVfs::writes();
    sqlite3_close(db);
    QVERIFY(writes > 20);

    const int step = qMax(1, writes / 150);
    for (int failAt = 1; failAt <= writes; failAt += step) {
        const QByteArray where = (diskFull ? "disk full from write " : "failing write ") + QByteArray::number(failAt);
        QVERIFY(copyFresh(m_base, work));
        db = openDb(work);
        QVERIFY(db);
        FaultVfs::Plan plan;
        (diskFull ? plan.diskFullAt : plan.failWriteAt) = failAt;
        FaultVfs::setPlan(plan);
        const int rc = sqlite3_exec(db, Workload::transaction, nullptr, nullptr, nullptr);
        const bool injected = FaultVfs::injected();
        sqlite3_close(db);
        FaultVfs::setPlan({});
        QVERIFY2(injected, where.constData());
        QVERIFY2(rc != SQLITE_OK, (where + " was reported as success").constData());
        QVERIFY2(
            (rc & 0xff) == (diskFull ? SQLITE_FULL : SQLITE_IOERR), (where + ": " + sqlite3_errstr(rc)).constData());

        QByteArray digest;
        QString why;
        QVERIFY2(checkFile(work, &digest, &why), (where + ": " + why.toUtf8()).constData());
        QVERIFY2(digest == m_oldDigest, where.constData());
    }
}

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
