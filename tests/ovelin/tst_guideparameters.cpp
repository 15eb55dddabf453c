#include "document/PresetValue.h"
#include "guide/GuideParameters.h"

#include "storage/Database.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QtTest>

namespace P = GuideParameters;

class TestGuideParameters : public QObject {
    Q_OBJECT

private slots:
    void names();
    void validValues_data();
    void validValues();
    void boundValue();
    void defaultTemplates_data();
    void defaultTemplates();
};

void TestGuideParameters::names()
{
    QStringList names;
    for (const P::Parameter &p : P::parameters())
        names << p.name;
    QCOMPARE(names.size(), 38);
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 38);
    QCOMPARE(names.first(), QStringLiteral("GUIDE_CENTER_GUIDE"));
    QVERIFY(names.contains(QStringLiteral("GUIDE_LOOKAROUND_OPACITY")));
    QVERIFY(names.contains(QStringLiteral("GUIDE_FRAME_2_OFFSET_Y_PERCENT")));
    QVERIFY(names.contains(QStringLiteral("GUIDE_FRAME_2_REL_TO_FRAME_0")));
    QVERIFY(!names.contains(QStringLiteral("GUIDE_FRAME_0_REL_TO_FRAME_0")));
    QCOMPARE(P::forGuide(P::FrameAbsolute, 1), QStringLiteral("GUIDE_FRAME_1_ABS"));
    QVERIFY(!P::parameter(QStringLiteral("GUIDE_FRAME_3_MODE")));
}

void TestGuideParameters::validValues_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("valid");

    QTest::newRow("centre off") << "GUIDE_CENTER_GUIDE"
                                << "-1" << true;
    QTest::newRow("centre recording area") << "GUIDE_CENTER_GUIDE"
                                           << "3" << true;
    QTest::newRow("shading has no off") << "GUIDE_LOOKAROUND_GUIDE"
                                        << "-1" << false;
    QTest::newRow("colour 8") << "GUIDE_GRID_COLOR"
                              << "8" << true;
    QTest::newRow("colour 9") << "GUIDE_FRAME_0_COLOR"
                              << "9" << false;
    QTest::newRow("opacity 60") << "GUIDE_CENTER_OPACITY"
                                << "60" << false;
    QTest::newRow("mode 1.9:1") << "GUIDE_FRAME_1_MODE"
                                << "1896296" << true;
    QTest::newRow("mode unknown ratio") << "GUIDE_FRAME_1_MODE"
                                        << "1500000" << false;
    QTest::newRow("ratio at least 1") << "GUIDE_FRAME_0_AR_NUM"
                                      << "0" << false;
    QTest::newRow("scale 100%") << "GUIDE_FRAME_0_SCALE"
                                << "10000" << true;
    QTest::newRow("scale above 100%") << "GUIDE_FRAME_0_SCALE"
                                      << "10001" << false;
    QTest::newRow("offset -100%") << "GUIDE_FRAME_2_OFFSET_X_PERCENT"
                                  << "-10000" << true;
    QTest::newRow("offset 150%") << "GUIDE_FRAME_2_OFFSET_Y_PERCENT"
                                 << "15000" << false;
    QTest::newRow("not a number") << "GUIDE_FRAME_0_SCALE"
                                  << "50%" << false;
    QTest::newRow("rectangle") << "GUIDE_FRAME_1_ABS"
                               << "100:-50:1920:1080" << true;
    QTest::newRow("rectangle missing a part") << "GUIDE_FRAME_1_ABS"
                                              << "100:-50:1920" << false;
    QTest::newRow("relative flag") << "GUIDE_FRAME_1_REL_TO_FRAME_0"
                                   << "1" << true;
    QTest::newRow("unknown name") << "GUIDE_FRAME_0_FOO"
                                  << "1" << false;
}

void TestGuideParameters::validValues()
{
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(bool, valid);
    QCOMPARE(P::isValidValue(name, value), valid);
}

void TestGuideParameters::boundValue()
{
    QCOMPARE(PresetValue::bound(QStringLiteral("-17778")), QVariant(qlonglong(-17778)));
    QCOMPARE(PresetValue::bound(QStringLiteral("1.5")), QVariant(QStringLiteral("1.5")));
    QCOMPARE(PresetValue::bound(QStringLiteral("0:0:1920:1080")), QVariant(QStringLiteral("0:0:1920:1080")));
}

void TestGuideParameters::defaultTemplates_data()
{
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<int>("version");
    QTest::newRow("4.0.x") << "4.0.x" << 5;
    QTest::newRow("5.1.x") << "5.1.x" << 9;
    QTest::newRow("5.2.x") << "5.2.x" << 10;
    QTest::newRow("5.3.x") << "5.3.x" << 10;
    QTest::newRow("6.0.x") << "6.0.x" << 15;
    QTest::newRow("6.1.x") << "6.1.x" << 16;
    QTest::newRow("6.2.x") << "6.2.x" << 16;
    QTest::newRow("6.3.x") << "6.3.x" << 16;
    QTest::newRow("6.4.x") << "6.4.x" << 16;
}

void TestGuideParameters::defaultTemplates()
{
    QFETCH(QString, firmware);
    QFETCH(int, version);

    QFile file(TestSupport::sourceDir() + QStringLiteral("/ovelin/data/templates/%1/Default.sql").arg(firmware));
    QVERIFY(file.open(QIODevice::ReadOnly));
    Database db(QStringLiteral(":memory:"), false, 6);
    QVERIFY(db.isOpen());
    QVERIFY(db.executeQueries(QString::fromUtf8(file.readAll())));

    QVERIFY(db.executeQuery(QStringLiteral("SELECT version FROM info")));
    QCOMPARE(db.rowCount(), 1);
    QCOMPARE(db.itemAt(0, 0).toInt(), version);

    QVERIFY(db.executeQuery(QStringLiteral("SELECT name, value, typeof(value) FROM parameters")));
    QCOMPARE(db.rowCount(), 38);
    QSet<QString> seen;
    for (int row = 0; row < db.rowCount(); ++row) {
        const QString name = db.itemAt(row, 0);
        const QString value = db.itemAt(row, 1);
        QVERIFY2(P::isValidValue(name, value), qPrintable(name + QLatin1Char('=') + value));
        const bool rectangle = P::parameter(name)->encoding == P::Encoding::Rectangle;
        QCOMPARE(db.itemAt(row, 2), rectangle ? QStringLiteral("text") : QStringLiteral("integer"));
        seen.insert(name);
    }
    QCOMPARE(seen.size(), 38);
}

QTEST_MAIN(TestGuideParameters)
#include "tst_guideparameters.moc"
