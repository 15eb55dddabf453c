#include "guide/GuideGeometry.h"

#include <QtTest>

#include <limits>

#include "GuideTestUtil.h"

class TestGuideGeometry : public QObject {
    Q_OBJECT

private slots:
    void computeRect_data();
    void computeRect();
    void mapToCanvas_data();
    void mapToCanvas();
    void fitCanvas_data();
    void fitCanvas();
    void rounding_data();
    void rounding();
};

void TestGuideGeometry::computeRect_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("userRatio");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("offsetX");
    QTest::addColumn<int>("offsetY");
    QTest::addColumn<QString>("absolute"); // x:y:w:h
    QTest::addColumn<TRect>("area");
    QTest::addColumn<float>("squeeze");
    QTest::addColumn<TRect>("expected");

    const TRect uhd {0, 0, 4096, 2160};
    const QString noAbs = QStringLiteral("0:0:0:0");

    // Wider area than the ratio: the guide spans the full height.
    QTest::newRow("16:9 on 4096x2160") << 1777778 << 0 << 10000 << 0 << 0 << noAbs << uhd << 1.0f
                                       << TRect {128, 0, 3840, 2160};
    // Narrower: full width, and 226.5 rounds up to 227.
    QTest::newRow("2.4:1 on 4096x2160") << 2400000 << 0 << 10000 << 0 << 0 << noAbs << uhd << 1.0f
                                        << TRect {0, 227, 4096, 1707};
    QTest::newRow("16:9 squeeze 2") << 1777778 << 0 << 10000 << 0 << 0 << noAbs << uhd << 2.0f
                                    << TRect {1088, 0, 1920, 2160};
    QTest::newRow("1.9:1 matches 4096x2160")
        << 1896296 << 0 << 10000 << 0 << 0 << noAbs << uhd << 1.0f << TRect {0, 0, 4096, 2160};
    QTest::newRow("user 2:1 under 4/3 squeeze") << -2 << 20000 << 10000 << 0 << 0 << noAbs << TRect {0, 0, 2048, 1080}
                                                << 4.0f / 3.0f << TRect {214, 0, 1620, 1080};
    // (5000 x 3841 + 5000) / 10000 = 1921: exact halves round up.
    QTest::newRow("scale halves round up")
        << 0 << 0 << 5000 << 0 << 0 << noAbs << TRect {0, 0, 3841, 2160} << 1.0f << TRect {960, 540, 1921, 1080};
    QTest::newRow("full at 100% is the format")
        << 0 << 0 << 10000 << 0 << 0 << noAbs << TRect {0, 0, 5120, 2560} << 1.0f << TRect {0, 0, 5120, 2560};
    QTest::newRow("off still follows the area") << -1 << 0 << 10000 << 0 << 0 << noAbs << uhd << 1.0f << uhd;
    QTest::newRow("offset +100% touches right and bottom")
        << 0 << 0 << 5000 << 10000 << 10000 << noAbs << uhd << 1.0f << TRect {2048, 1080, 2048, 1080};
    QTest::newRow("offset -100% touches left and top")
        << 0 << 0 << 5000 << -10000 << -10000 << noAbs << uhd << 1.0f << TRect {0, 0, 2048, 1080};
    QTest::newRow("area with an origin") << 1333333 << 0 << 10000 << 0 << 0 << noAbs << TRect {128, 0, 3840, 2160}
                                         << 1.0f << TRect {608, 0, 2880, 2160};
    QTest::newRow("absolute right of and above centre")
        << -3 << 0 << 5000 << 5000 << 5000 << QStringLiteral("100:-50:1920:1080") << uhd << 1.0f
        << TRect {1188, 490, 1920, 1080};
    QTest::newRow("absolute inside an offset area")
        << -3 << 0 << 0 << 0 << 0 << QStringLiteral("0:0:1001:1001") << TRect {10, 20, 2000, 1000} << 1.0f
        << TRect {510, 20, 1001, 1001};
    QTest::newRow("zero-height area stays finite")
        << 1777778 << 0 << 10000 << 0 << 0 << noAbs << TRect {0, 0, 0, 0} << 1.0f << TRect {0, 0, 0, 0};
    QTest::newRow("huge user ratio stays finite")
        << -2 << std::numeric_limits<int>::max() << 10000 << 0 << 0 << noAbs << uhd << 1.0f << TRect {0, 1080, 4096, 0};
}

void TestGuideGeometry::computeRect()
{
    QFETCH(int, mode);
    QFETCH(int, userRatio);
    QFETCH(int, scale);
    QFETCH(int, offsetX);
    QFETCH(int, offsetY);
    QFETCH(QString, absolute);
    QFETCH(TRect, area);
    QFETCH(float, squeeze);
    QFETCH(TRect, expected);

    const QStringList abs = absolute.split(QLatin1Char(':'));
    GuideGeometry::GuideSettings s;
    s.mode = mode;
    s.userRatio = userRatio;
    s.scale = scale;
    s.offsetX = offsetX;
    s.offsetY = offsetY;
    s.absoluteOffsetX = abs[0].toInt();
    s.absoluteOffsetY = abs[1].toInt();
    s.absoluteWidth = abs[2].toInt();
    s.absoluteHeight = abs[3].toInt();
    QCOMPARE(GuideGeometry::computeRect(s, area, squeeze), expected);
}

void TestGuideGeometry::mapToCanvas_data()
{
    QTest::addColumn<TRect>("rect");
    QTest::addColumn<TRect>("target");
    QTest::addColumn<TRect>("source");
    QTest::addColumn<TRect>("expected");

    const TRect format {0, 0, 4096, 2160};
    const TRect canvas {0, 0, 580, 228};
    QTest::newRow("whole format fills the canvas") << format << canvas << format << canvas;
    QTest::newRow("16:9 inside 4096x2160") << TRect {128, 0, 3840, 2160} << canvas << format << TRect {18, 0, 543, 228};
    // A relative guide maps through the frame guide's record and rectangle.
    QTest::newRow("relative to a mapped frame") << TRect {608, 0, 2880, 2160} << TRect {18, 0, 543, 228}
                                                << TRect {128, 0, 3840, 2160} << TRect {85, 0, 407, 228};
    QTest::newRow("left of the area truncates toward zero")
        << TRect {-10, -9, 100, 100} << canvas << format << TRect {-1, 0, 14, 11};
    QTest::newRow("one-pixel source does not divide by zero")
        << TRect {0, 0, 1, 1} << canvas << TRect {0, 0, 1, 1} << TRect {0, 0, 1, 1};
}

void TestGuideGeometry::mapToCanvas()
{
    QFETCH(TRect, rect);
    QFETCH(TRect, target);
    QFETCH(TRect, source);
    QFETCH(TRect, expected);
    QCOMPARE(GuideGeometry::mapToCanvas(rect, target, source), expected);
}

void TestGuideGeometry::fitCanvas_data()
{
    QTest::addColumn<QSize>("container");
    QTest::addColumn<TRect>("format");
    QTest::addColumn<float>("squeeze");
    QTest::addColumn<QSize>("expected");

    // 580 / 2.5284 = 229, made even.
    QTest::newRow("2K 1.3x in 600x400") << QSize(600, 400) << TRect {0, 0, 2048, 1080} << 4.0f / 3.0f
                                        << QSize(580, 228);
    QTest::newRow("square format is height-bound")
        << QSize(620, 290) << TRect {0, 0, 4320, 4320} << 1.0f << QSize(268, 268);
    QTest::newRow("2:1 in the default container")
        << QSize(620, 290) << TRect {0, 0, 5120, 2560} << 1.0f << QSize(536, 268);
    QTest::newRow("odd height loses a pixel, width kept")
        << QSize(1280, 720) << TRect {0, 0, 6144, 1536} << 1.0f << QSize(1260, 314);
    QTest::newRow("empty format") << QSize(620, 290) << TRect {0, 0, 0, 0} << 1.0f << QSize(600, 0);
}

void TestGuideGeometry::fitCanvas()
{
    QFETCH(QSize, container);
    QFETCH(TRect, format);
    QFETCH(float, squeeze);
    QFETCH(QSize, expected);
    QCOMPARE(GuideGeometry::fitCanvas(container.width(), container.height(), format, squeeze), expected);
}

void TestGuideGeometry::rounding_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<int>("rounded");
    QTest::addColumn<int>("truncated");

    QTest::newRow("half up") << 226.5f << 227 << 226;
    QTest::newRow("negative half away from zero") << -226.5f << -227 << -226;
    QTest::newRow("small negative") << -0.4f << 0 << 0;
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 0 << 0;
    QTest::newRow("too large") << 1e20f << std::numeric_limits<int>::max() << std::numeric_limits<int>::max();
    QTest::newRow("too small") << -1e20f << std::numeric_limits<int>::min() << std::numeric_limits<int>::min();
}

void TestGuideGeometry::rounding()
{
    QFETCH(float, value);
    QFETCH(int, rounded);
    QFETCH(int, truncated);
    QCOMPARE(GuideGeometry::roundHalfAway(value), rounded);
    QCOMPARE(GuideGeometry::truncateToInt(value), truncated);
}

QTEST_APPLESS_MAIN(TestGuideGeometry)
#include "tst_guidegeometry.moc"
