#include "app/QtUtil.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

class TestQtUtil : public QObject
{
    Q_OBJECT

private slots:
    void filenameIsValid_data();
    void filenameIsValid();
    void baseFilename_data();
    void baseFilename();
    void pathFromFile();
    void entities_data();
    void entities();
    void colorsAndPens_data();
    void colorsAndPens();
    void base64index_data();
    void base64index();
    void fileExistsAndCopy();
    void copyFileReportsFailure();
    void generateStyleSheet();
    void desktopCenterAndTRect();
};

void TestQtUtil::filenameIsValid_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("valid");
    QTest::newRow("letters digits space underscore hyphen") << "/a/b/My preset_1-b.preset" << true;
    QTest::newRow("bare name") << "x.preset" << true;
    QTest::newRow("one blank") << "/a/ .preset" << false;
    QTest::newRow("empty base") << "/a/.preset" << false;
    QTest::newRow("dot in base") << "/a/x.y.preset" << false;
    QTest::newRow("upper-case extension") << "/a/x.PRESET" << false;
    QTest::newRow("no extension") << "/a/x" << false;
    QTest::newRow("quote") << "/a/it's.preset" << false;
    QTest::newRow("non-ascii letter") << QString::fromUtf8("/a/Pr\u00fcfung.preset") << false;
}

void TestQtUtil::filenameIsValid()
{
    QFETCH(QString, path);
    QFETCH(bool, valid);
    QCOMPARE(QtUtil::filenameIsValid(path), valid);
}

void TestQtUtil::baseFilename_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("keep");
    QTest::addColumn<QString>("expected");
    QTest::newRow("without extension") << "/a/b/name.preset" << false << "name";
    QTest::newRow("with extension") << "/a/b/name.preset" << true << "name.preset";
    QTest::newRow("no dot, without") << "/a/b/name" << false << "name";
    QTest::newRow("no dot, with") << "/a/b/name" << true << "name";
    QTest::newRow("last dot only") << "/a/x.y.preset" << false << "x.y";
    QTest::newRow("no directory") << "name.preset" << false << "name";
}

void TestQtUtil::baseFilename()
{
    QFETCH(QString, path);
    QFETCH(bool, keep);
    QFETCH(QString, expected);
    QCOMPARE(QtUtil::baseFilename(path, keep), expected);
}

void TestQtUtil::pathFromFile()
{
    QCOMPARE(QtUtil::pathFromFile("/a/b/name.preset"), QString("/a/b"));
    QCOMPARE(QtUtil::pathFromFile("/name.preset"), QString(""));
    QCOMPARE(QtUtil::pathFromFile("name.preset"), QString("."));
}

void TestQtUtil::entities_data()
{
    QTest::addColumn<bool>("encode"); // false: decode
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("decode fps") << false << "1&vekfps;" << "1 FPS";
    QTest::newRow("decode iso") << false << "&vekiso;800" << "ISO 800";
    QTest::newRow("decode ampersand first") << false << "&amp;deg;" << QString::fromUtf8("\u00B0");
    QTest::newRow("decode format K") << false << "4&vekformatk;" << "4K";
    QTest::newRow("decode fractions") << false << "&vek1over;48 &vekfover;2.8" << "1/48 f/2.8";
    QTest::newRow("decode av check sec") << false << "T&vekav;&vekcheck;1&veksec;" << "T Av Check1 sec";
    QTest::newRow("decode case-sensitive") << false << "&REG;" << "&REG;";
    QTest::newRow("encode symbols") << true << QString::fromUtf8("\u00A9\u2122 Look\u00AE 90\u00B0")
                                    << "&copy;&trade; Look&reg; 90&deg;";
    QTest::newRow("encode escapes entity text") << true << "&deg;" << "&amp;deg;";
    QTest::newRow("encode AE inside a word") << true << "MAERSK" << "M&vekae;RS&vekkelvin;";
    QTest::newRow("encode every capital K") << true << "5600K 4K" << "5600&vekkelvin; 4&vekkelvin;";
    QTest::newRow("encode phrases") << true << "x ANA 1.3 ISO 800 1/48 f/2" << "x&vekana13; &vekiso;800 &vek1over;48 &vekfover;2";
    QTest::newRow("encode plain") << true << "plain" << "plain";
}

void TestQtUtil::entities()
{
    QFETCH(bool, encode);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(encode ? QtUtil::encodedStringFromString(input) : QtUtil::decodedStringFromString(input), expected);
}

void TestQtUtil::colorsAndPens_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("color");
    QTest::addColumn<int>("pen");
    const int black = Qt::black, solid = Qt::SolidLine;
    QTest::newRow("0") << 0 << black << solid;
    QTest::newRow("1") << 1 << int(Qt::red) << int(Qt::DotLine);
    QTest::newRow("2") << 2 << int(Qt::blue) << int(Qt::CustomDashLine);
    QTest::newRow("3") << 3 << int(Qt::green) << solid;
    QTest::newRow("4") << 4 << int(Qt::yellow) << solid;
    QTest::newRow("5") << 5 << int(Qt::magenta) << solid;
    QTest::newRow("6") << 6 << int(Qt::cyan) << solid;
    QTest::newRow("7") << 7 << int(Qt::darkGray) << solid;
    QTest::newRow("8") << 8 << int(Qt::white) << solid;
    QTest::newRow("9") << 9 << black << solid;
    QTest::newRow("-1") << -1 << black << solid;
}

void TestQtUtil::colorsAndPens()
{
    QFETCH(int, code);
    QFETCH(int, color);
    QFETCH(int, pen);
    QCOMPARE(int(QtUtil::qtColor(code)), color);
    QCOMPARE(int(QtUtil::qtPenStyle(code)), pen);
}

void TestQtUtil::base64index_data()
{
    QTest::addColumn<char>("c");
    QTest::addColumn<int>("index");
    QTest::newRow("A") << 'A' << 0;
    QTest::newRow("Z") << 'Z' << 25;
    QTest::newRow("a") << 'a' << 26;
    QTest::newRow("z") << 'z' << 51;
    QTest::newRow("0") << '0' << 52;
    QTest::newRow("9") << '9' << 61;
    QTest::newRow("+") << '+' << 62;
    QTest::newRow("/") << '/' << 63;
    QTest::newRow("=") << '=' << -1;
    QTest::newRow("high byte") << char(0xC3) << -1;
}

void TestQtUtil::base64index()
{
    QFETCH(char, c);
    QFETCH(int, index);
    QCOMPARE(QtUtil::base64index(c), index);
}

void TestQtUtil::fileExistsAndCopy()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QString::fromUtf8("Pr\u00fcf 'q'.preset"));
    QByteArray content(200 * 1024 + 17, '\0');
    for (int i = 0; i < content.size(); ++i)
        content[i] = char(i * 31 + 7);
    QFile f(source);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();

    QVERIFY(QtUtil::fileExists(source));
    QVERIFY(!QtUtil::fileExists(dir.filePath("missing.preset")));
    QVERIFY(!QtUtil::fileExists(dir.path() + "/nodir/x.preset"));
    QVERIFY(QtUtil::isSameFile(source, dir.path() + "/./" + QFileInfo(source).fileName()));
    QVERIFY(!QtUtil::isSameFile(source, dir.filePath("missing.preset")));
    QVERIFY(!QtUtil::isSameFile(dir.filePath("missing.preset"), dir.filePath("missing.preset")));

    const QString destination = dir.filePath("copy.preset");
    QFile old(destination);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(500 * 1024, 'x')); // longer than the source: must be truncated
    old.close();
    QVERIFY(QtUtil::copyFile(destination, source));
    QFile copy(destination);
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), content);
}

void TestQtUtil::copyFileReportsFailure()
{
    QTemporaryDir dir;
    const QString source = dir.filePath("a.preset");
    QFile f(source);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("data");
    f.close();

    QVERIFY(!QtUtil::copyFile(dir.filePath("b.preset"), dir.filePath("missing.preset")));
    QVERIFY(!QFile::exists(dir.filePath("b.preset")));
    QVERIFY(!QtUtil::copyFile(dir.path() + "/nodir/b.preset", source));
    QVERIFY(!QtUtil::copyFile(dir.path(), source)); // a directory is not a writable file
#ifdef Q_OS_LINUX
    if (QFile::exists("/dev/full")) // every write fails with "no space left"
        QVERIFY(!QtUtil::copyFile("/dev/full", source));
#endif
}

void TestQtUtil::generateStyleSheet()
{
    QTemporaryDir dir;
    const QString first = dir.filePath("first.qss");
    const QString second = dir.filePath("second.qss");
    QFile a(first), b(second);
    QVERIFY(a.open(QIODevice::WriteOnly));
    a.write("QWidget { color: #FFFFFF; }\n");
    a.close();
    QVERIFY(b.open(QIODevice::WriteOnly));
    b.write(QByteArray("QLabel { color: #000000; }\n\0trailing", 36));
    b.close();

    QCOMPARE(QtUtil::generateStyleSheet({first, second}),
             QString("QWidget { color: #FFFFFF; }\nQLabel { color: #000000; }\n"));
    QCOMPARE(QtUtil::generateStyleSheet({dir.filePath("missing.qss"), first}), QString("QWidget { color: #FFFFFF; }\n"));
    QCOMPARE(QtUtil::generateStyleSheet({first, dir.filePath("missing.qss")}), QString("QWidget { color: #FFFFFF; }\n"));
    QCOMPARE(QtUtil::generateStyleSheet({}), QString());
}

void TestQtUtil::desktopCenterAndTRect()
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint p = QtUtil::desktopCenter(QSize(301, 101));
    QCOMPARE(p, QPoint(available.width() / 2 - 150, available.height() / 2 - 50));

    const TRect r = QtUtil::tRectFromQRect(QRect(3, -4, 50, 60));
    QCOMPARE(r.x, 3);
    QCOMPARE(r.y, -4);
    QCOMPARE(r.w, 50);
    QCOMPARE(r.h, 60);
}

QTEST_MAIN(TestQtUtil)
#include "tst_qtutil.moc"
