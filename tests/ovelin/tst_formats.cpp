#include "guide/FormatCatalogue.h"
#include "guide/SensorFormats.h"

#include "GuideTestUtil.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QStandardItemModel>
#include <QtTest>

namespace {

// Parses `text` as a formats table.
void parse(FormatCatalogue &catalogue, const QByteArray &text)
{
    QByteArray data = text;
    QBuffer buffer(&data);
    QVERIFY(buffer.open(QIODevice::ReadOnly | QIODevice::Text));
    catalogue.load(&buffer);
}

QStringList texts(const QStandardItemModel *model)
{
    QStringList list;
    for (int row = 0; row < model->rowCount(); ++row)
        list.append(model->item(row)->text());
    return list;
}

float squeezeAt(const QStandardItemModel *model, int row)
{
    return model->item(row)->data(SensorFormats::SqueezeRole).toFloat();
}

} // namespace

class TestFormats : public QObject {
    Q_OBJECT

private slots:
    void records_data();
    void records();
    void squeeze_data();
    void squeeze();
    void defaults();
    void duplicateSensors();
    void formatBeforeSensor();
    void rememberFormat();
    void currentFormat();
    void missingFile();
    void shippedFileLayout();
    void shippedCatalogue();
};

void TestFormats::records_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<float>("squeeze");
    QTest::addColumn<QString>("remembered");

    QTest::newRow("plain") << QByteArray("5K 2:1>0,0,5120,2560|1") << "5K 2:1 (5120 x 2560)" << QRect(0, 0, 5120, 2560)
                           << 1.0f << "";
    QTest::newRow("trailing blanks and CR")
        << QByteArray("4K>1,2,4096,2160|2   \r") << "4K (4096 x 2160)" << QRect(1, 2, 4096, 2160) << 2.0f << "";
    QTest::newRow("default marker") << QByteArray("^6K 2:1>0,0,6144,3072|1") << "6K 2:1 (6144 x 3072)"
                                    << QRect(0, 0, 6144, 3072) << 1.0f << "6K 2:1 (6144 x 3072)";
    QTest::newRow("caret later is a name character")
        << QByteArray("A^B>0,0,10,20|1") << "A^B (10 x 20)" << QRect(0, 0, 10, 20) << 1.0f << "";
    QTest::newRow("caret second on a format line")
        << QByteArray("A^>0,0,10,20|1") << "A^ (10 x 20)" << QRect(0, 0, 10, 20) << 1.0f << "";
    QTest::newRow("star later is a name character")
        << QByteArray("A*B>0,0,10,20|1") << "A*B (10 x 20)" << QRect(0, 0, 10, 20) << 1.0f << "";
    QTest::newRow("escaped greater-than")
        << QByteArray("A\\>B>0,0,10,20|1") << "A>B (10 x 20)" << QRect(0, 0, 10, 20) << 1.0f << "";
    QTest::newRow("escaped backslash") << QByteArray("A\\\\B>0,0,10,20|1") << "A\\B (10 x 20)" << QRect(0, 0, 10, 20)
                                       << 1.0f << "";
    QTest::newRow("no squeeze part") << QByteArray("F>1,2,3,4") << "F (3 x 4)" << QRect(1, 2, 3, 4) << 1.0f << "";
    QTest::newRow("placeholders in the name stay")
        << QByteArray("%2 %1>0,0,7,8|1") << "%2 %1 (7 x 8)" << QRect(0, 0, 7, 8) << 1.0f << "";
}

void TestFormats::records()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, display);
    QFETCH(QRect, rect);
    QFETCH(float, squeeze);
    QFETCH(QString, remembered);

    FormatCatalogue catalogue;
    parse(catalogue, "*S>0,0,100,100|1\r\n" + line);
    SensorFormats *formats = catalogue.formats(QStringLiteral("S"));
    QVERIFY(formats);
    QCOMPARE(texts(formats->model()), QStringList {display});
    QCOMPARE(formats->model()->item(0)->data(SensorFormats::RectRole).toRect(), rect);
    QCOMPARE(squeezeAt(formats->model(), 0), squeeze);
    QCOMPARE(formats->selectedFormat(), remembered);
}

void TestFormats::squeeze_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("squeeze");
    QTest::newRow("1") << "1" << 1.0f;
    QTest::newRow("1.3 is four thirds") << "1.3" << 4.0f / 3.0f;
    QTest::newRow("2") << "2" << 2.0f;
    QTest::newRow("1.25 is not looked up") << "1.25" << 1.0f;
    QTest::newRow("1.30 is not 1.3") << "1.30" << 1.0f;
    QTest::newRow("empty") << "" << 1.0f;
}

void TestFormats::squeeze()
{
    QFETCH(QString, text);
    QFETCH(float, squeeze);
    FormatCatalogue catalogue;
    parse(catalogue, "*S>0,0,100,100|1\nF>0,0,2048,1080|" + text.toLatin1());
    const float parsed = squeezeAt(catalogue.formats(QStringLiteral("S"))->model(), 0);
    // Exactly, not fuzzily: 4/3 in single precision is what the preview uses.
    QVERIFY2(parsed == squeeze, qPrintable(QString::number(parsed, 'g', 9)));
    QCOMPARE(catalogue.formats(QStringLiteral("S"))->model()->item(0)->data(SensorFormats::SqueezeRole).typeId(),
        int(QMetaType::Float));
}

void TestFormats::defaults()
{
    FormatCatalogue catalogue;
    parse(catalogue, "*A>0,0,10,10|1\n\n*^B>0,0,20,20|1\nx>0,0,1,1|1\n*C>0,0,30,30|2\n");
    QCOMPARE(texts(catalogue.sensorModel()), (QStringList {"A", "B", "C"}));
    QCOMPARE(catalogue.defaultSensorRow(), 1);
    QStandardItem *c = catalogue.sensorModel()->item(2);
    QCOMPARE(c->data(SensorFormats::RectRole).toRect(), QRect(0, 0, 30, 30));
    QCOMPARE(c->data(SensorFormats::SqueezeRole).toFloat(), 2.0f);

    FormatCatalogue noDefault;
    parse(noDefault, "*A>0,0,10,10|1\n*B>0,0,20,20|1\n");
    QCOMPARE(noDefault.defaultSensorRow(), 0);
}

void TestFormats::duplicateSensors()
{
    FormatCatalogue catalogue;
    parse(catalogue, "*S>0,0,10,10|1\nold>0,0,1,1|1\n*S>0,0,20,20|1\nnew>0,0,2,2|1\n");
    QCOMPARE(texts(catalogue.sensorModel()), (QStringList {"S", "S"}));
    QCOMPARE(catalogue.sensorFormats().size(), std::size_t(1));
    QCOMPARE(texts(catalogue.formats(QStringLiteral("S"))->model()), QStringList {"new (2 x 2)"});
}

void TestFormats::formatBeforeSensor()
{
    LogCapture log;
    FormatCatalogue catalogue;
    parse(catalogue, "early>0,0,1,1|1\n*S>0,0,10,10|1\nlate>0,0,2,2|1\n");
    QCOMPARE(texts(catalogue.formats(QStringLiteral("S"))->model()), QStringList {"late (2 x 2)"});
    QVERIFY(log.contains(QStringLiteral("ERROR"), QStringLiteral("[early]")));
}

void TestFormats::rememberFormat()
{
    LogCapture log;
    FormatCatalogue catalogue;
    parse(catalogue, "*S>0,0,10,10|1\n^a>0,0,1,1|1\nb>0,0,2,2|1\n");
    QCOMPARE(catalogue.formats(QStringLiteral("S"))->selectedFormat(), QStringLiteral("a (1 x 1)"));
    QVERIFY(catalogue.rememberFormat(QStringLiteral("S"), QStringLiteral("b (2 x 2)")));
    QCOMPARE(catalogue.formats(QStringLiteral("S"))->selectedFormat(), QStringLiteral("b (2 x 2)"));

    QVERIFY(!catalogue.rememberFormat(QStringLiteral("T"), QStringLiteral("b (2 x 2)")));
    QCOMPARE(log.messages(QStringLiteral("ERROR")),
        QStringList {QStringLiteral(
            "map::at. There is no set of formats that correspond to the sensor [T]. No changes were made.")});
    QCOMPARE(catalogue.formats(QStringLiteral("S"))->selectedFormat(), QStringLiteral("b (2 x 2)"));
}

void TestFormats::currentFormat()
{
    FormatCatalogue catalogue;
    parse(catalogue, "*S>0,0,10,10|1\na>0,0,2048,1080|1.3\nb>4,6,3840,2160|1\n");
    QComboBox box;
    QCOMPARE(FormatCatalogue::currentSqueeze(&box), 1.0f);
    QCOMPARE(FormatCatalogue::currentFormatRect(&box), (TRect {0, 0, 0, 0}));
    box.setModel(catalogue.formats(QStringLiteral("S"))->model());
    box.setCurrentIndex(1);
    QCOMPARE(FormatCatalogue::currentFormatRect(&box), (TRect {4, 6, 3840, 2160}));
    box.setCurrentIndex(0);
    QCOMPARE(FormatCatalogue::currentSqueeze(&box), 4.0f / 3.0f);
}

void TestFormats::missingFile()
{
    LogCapture log;
    FormatCatalogue catalogue;
    catalogue.load(QStringLiteral("/nonexistent/formats"));
    QCOMPARE(catalogue.sensorModel()->rowCount(), 0);
    QVERIFY(catalogue.sensorFormats().empty());
    QCOMPARE(log.messages(QStringLiteral("ERROR")), QStringList {QStringLiteral("Unable to open formats file.")});
}

void TestFormats::shippedFileLayout()
{
    QFile resource(QString::fromLatin1(FormatCatalogue::resourcePath));
    QVERIFY(resource.open(QIODevice::ReadOnly));
    const QByteArray bytes = resource.readAll();
    QFile source(TestSupport::sourceDir() + QStringLiteral("/ovelin/data/formats"));
    QVERIFY(source.open(QIODevice::ReadOnly));
    QCOMPARE(bytes, source.readAll());

    QCOMPARE(bytes.size(), 15660);
    QVERIFY(!bytes.endsWith('\n') && !bytes.endsWith('\r'));
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
    QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
    for (char c : bytes)
        QVERIFY(uchar(c) < 0x80);

    const QList<QByteArray> lines = bytes.split('\n');
    QCOMPARE(lines.size(), 579);
    int sensors = 0;
    QList<int> empty;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].endsWith('\r') ? lines[i].chopped(1) : lines[i];
        if (line.isEmpty())
            empty.append(i);
        sensors += line.startsWith('*');
    }
    QCOMPARE(sensors, 3);
    // One empty line after the 1 + 19 lines of the first block and after the 1 + 229 of the second.
    QCOMPARE(empty, (QList<int> {20, 251}));
    QCOMPARE(lines[0], QByteArray("*^Qel>0,0,5120,2700|1\r"));
    QCOMPARE(lines[21], QByteArray("*Pelvane>0,0,6144,3160|1\r"));
    QCOMPARE(lines[252], QByteArray("*Duroma>0,0,8192,4320|1\r"));
}

void TestFormats::shippedCatalogue()
{
    LogCapture log;
    FormatCatalogue catalogue;
    catalogue.load();
    QVERIFY(log.messages(QStringLiteral("ERROR")).isEmpty());

    QCOMPARE(texts(catalogue.sensorModel()), (QStringList {"Qel", "Pelvane", "Duroma"}));
    QCOMPARE(catalogue.defaultSensorRow(), 0);
    QCOMPARE(catalogue.sensorModel()->item(2)->data(SensorFormats::RectRole).toRect(), QRect(0, 0, 8192, 4320));

    const struct {
        const char *sensor;
        int formats;
        const char *remembered;
    } expected[] = {{"Qel", 19, "5K 2:1 (5120 x 2560)"}, {"Pelvane", 229, "6K 2:1 (6144 x 3072)"},
        {"Duroma", 326, "8K 2:1 (8192 x 4096)"}};
    for (const auto &e : expected) {
        SensorFormats *formats = catalogue.formats(QLatin1String(e.sensor));
        QVERIFY(formats);
        QCOMPARE(formats->model()->rowCount(), e.formats);
        QCOMPARE(formats->selectedFormat(), QLatin1String(e.remembered));
    }

    // Variants follow their base; the 1.25x ones preview unsqueezed.
    const QStringList duroma = texts(catalogue.formats(QStringLiteral("Duroma"))->model());
    const QStringList head {"8K (8192 x 4320)", "8K 1.25x (8192 x 4320)", "8K 1.3x (8192 x 4320)",
        "8K 2x (8192 x 4320)", "8K 2:1 (8192 x 4096)"};
    QCOMPARE(duroma.mid(0, 5), head);
    const QStandardItemModel *model = catalogue.formats(QStringLiteral("Duroma"))->model();
    QCOMPARE(squeezeAt(model, 1), 1.0f);
    QCOMPARE(squeezeAt(model, 2), 4.0f / 3.0f);
    QCOMPARE(squeezeAt(model, 3), 2.0f);
    QCOMPARE(duroma.last(), QStringLiteral("2K 8:1 2x (2048 x 256)"));
    QVERIFY(duroma.contains(QStringLiteral("4K 1:1 (4320 x 4320)")));
    const int twoK = duroma.indexOf(QStringLiteral("2K 1.3x (2048 x 1080)"));
    QVERIFY(twoK > 0);
    QCOMPARE(model->item(twoK)->data(SensorFormats::RectRole).toRect(), QRect(0, 0, 2048, 1080));
    QCOMPARE(squeezeAt(model, twoK), 4.0f / 3.0f);
}

QTEST_MAIN(TestFormats)
#include "tst_formats.moc"
