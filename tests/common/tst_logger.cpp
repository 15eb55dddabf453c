#include "app/Logger.h"

#include "TestSupport.h"

#include <QRegularExpression>
#include <QtTest>

class TestLogger : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Logger::setSwitchesForTesting(true, true); }
    void lineFormat_data();
    void lineFormat();
    void levelSwitches_data();
    void levelSwitches();
    void banner_data();
    void banner();
    void timeStamp();
};

void TestLogger::lineFormat_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("tail");
    QTest::newRow("with function") << "Database::close()" << "Database::close(): Database x closed.";
    QTest::newRow("empty function") << "" << "Database x closed.";
}

void TestLogger::lineFormat()
{
    QFETCH(QString, function);
    QFETCH(QString, tail);
    LogCapture log;
    Logger::logError("Database x closed.", function);
    QCOMPARE(log.lines().size(), 1);
    static const QRegularExpression line(
        QRegularExpression::anchoredPattern("ERROR\\t(\\d\\d)/(\\d\\d)/(\\d{4}) (\\d\\d):\\d\\d:\\d\\d (AM|PM) - (.*)"));
    const QRegularExpressionMatch m = line.match(log.lines().first());
    QVERIFY2(m.hasMatch(), qPrintable(log.lines().first()));
    QVERIFY(m.captured(4).toInt() >= 1 && m.captured(4).toInt() <= 12);
    QCOMPARE(m.captured(6), tail);
}

void TestLogger::levelSwitches_data()
{
    QTest::addColumn<bool>("logMessages");
    QTest::addColumn<bool>("infoLevel");
    QTest::addColumn<QStringList>("expectedTypes");
    QTest::newRow("engineering ovelin") << true << true << QStringList{"INFO", "WARNING", "ERROR"};
    QTest::newRow("engineering tarvik") << true << false << QStringList{"WARNING", "ERROR"};
    QTest::newRow("release") << false << true << QStringList{};
}

void TestLogger::levelSwitches()
{
    QFETCH(bool, logMessages);
    QFETCH(bool, infoLevel);
    QFETCH(QStringList, expectedTypes);
    Logger::setSwitchesForTesting(logMessages, infoLevel);
    LogCapture log;
    Logger::logInfo("i", "f()");
    Logger::logWarning("w", "f()");
    Logger::logError("e", "f()");
    Logger::logDebug("d", "f()");
    QStringList types;
    for (const QString &l : log.lines())
        types << l.section('\t', 0, 0);
    QCOMPARE(types, expectedTypes);
}

void TestLogger::banner_data()
{
    QTest::addColumn<bool>("logMessages");
    QTest::addColumn<bool>("infoLevel");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("ovelin") << true << true
                            << QStringList{"VEK Test starting",
                                           "Logger currently showing: [INFO] [WARNINGS] [ERRORS] [DEBUG]"};
    QTest::newRow("tarvik") << true << false
                            << QStringList{"VEK Test starting", "Logger currently showing: [WARNINGS] [ERRORS] [DEBUG]"};
    QTest::newRow("release") << false << true << QStringList{};
}

void TestLogger::banner()
{
    QFETCH(bool, logMessages);
    QFETCH(bool, infoLevel);
    QFETCH(QStringList, expected);
    QCoreApplication::setApplicationName("VEK Test");
    Logger::setSwitchesForTesting(logMessages, infoLevel);
    LogCapture log;
    Logger::startupMessage();
    QCOMPARE(log.messages("START"), expected);
    QCOMPARE(log.lines().size(), expected.size());
}

void TestLogger::timeStamp()
{
    char buffer[30];
    Logger::constructTimeStr(buffer);
    QVERIFY(QRegularExpression(QRegularExpression::anchoredPattern("\\d\\d/\\d\\d/\\d{4} (0\\d|1[0-2]):[0-5]\\d:[0-5]\\d (AM|PM)"))
                .match(QString::fromLatin1(buffer))
                .hasMatch());
}

QTEST_GUILESS_MAIN(TestLogger)
#include "tst_logger.moc"
