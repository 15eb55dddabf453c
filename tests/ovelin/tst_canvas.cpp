#include "guide/Canvas.h"
#include "guide/CanvasContainer.h"
#include "guide/CanvasStyle.h"

#include "GuideTestUtil.h"
#include "TestSupport.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QRgb white = qRgb(255, 255, 255);

// A canvas without background, so that only the records leave marks.
struct BareCanvas {
    Canvas canvas;
    BareCanvas() { canvas.loadImage(QStringLiteral("/nonexistent/picture.png")); }

    QImage render(int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(white);
        QPainter painter(&image);
        canvas.paint(painter, width, height);
        return image;
    }
};

QImage renderCanvas(Canvas &canvas, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    canvas.paint(painter, width, height);
    return image;
}

int markedPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) != white;
    return count;
}

// A 100 x 50 picture, `left` up to column `split` and `right` after it.
QString picture(const QTemporaryDir &dir, const QString &name, const QColor &left, const QColor &right, int split = 50)
{
    QImage image(100, 50, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, split, 50, left);
    painter.fillRect(split, 0, 100 - split, 50, right);
    painter.end();
    const QString path = dir.filePath(name);
    image.save(path, "PNG");
    return path;
}

} // namespace

using Points = QList<QPoint>;

class TestCanvas : public QObject {
    Q_OBJECT

private slots:
    void styleDefaults_data();
    void styleDefaults();
    void lines_data();
    void lines();
    void centerMark();
    void shading_data();
    void shading();
    void opacityAndOrder();
    void refusedRecords();
    void builtInBackgroundIsCropped();
    void builtInBackgroundScalesOnLargeCanvas();
    void userPictureCoversCanvas();
    void userPictureFollowsSizeAndPicture();
    void largeSensorFrameLoads();
    void container();
};

void TestCanvas::styleDefaults_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("penStyle");
    QTest::newRow("guide rectangle") << int(CanvasStyle::GuideRect) << int(Qt::NoPen);
    QTest::newRow("centre mark") << int(CanvasStyle::CenterMark) << int(Qt::SolidLine);
    QTest::newRow("grid") << int(CanvasStyle::Grid) << int(Qt::SolidLine);
    QTest::newRow("shading") << int(CanvasStyle::Shading) << int(Qt::SolidLine);
}

void TestCanvas::styleDefaults()
{
    QFETCH(int, type);
    QFETCH(int, penStyle);
    CanvasStyle style(type);
    QCOMPARE(style.type(), type);
    QCOMPARE(style.penStyle(), penStyle);
    QVERIFY(!style.isVisible());
    QCOMPARE(style.rect(), (TRect {0, 0, 0, 0}));
    QVERIFY(!style.color().isValid());
    QCOMPARE(style.opacity(), 0.0f);
    style.setColorName("#FF0000");
    QCOMPARE(style.color(), QColor(Qt::red));
    style.setColorName("#606060");
    QCOMPARE(style.color(), QColor(0x60, 0x60, 0x60));
}

void TestCanvas::lines_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("penStyle");
    QTest::addColumn<TRect>("rect");
    QTest::addColumn<Points>("marked");
    QTest::addColumn<Points>("clear");

    // Edges sit one pixel inside the rectangle; the sides start three pixels down.
    QTest::newRow("solid rectangle") << int(CanvasStyle::GuideRect) << int(Qt::SolidLine) << TRect {0, 0, 600, 300}
                                     << Points {{300, 1}, {300, 299}, {1, 150}, {599, 150}, {1, 4}}
                                     << Points {{300, 4}, {300, 296}, {4, 150}, {596, 150}, {300, 150}, {605, 150}};
    // bx = 30 and by = 15: the top-left bracket is (1, 1)-(31, 1) and (1, 3)-(1, 16).
    QTest::newRow("brackets") << int(CanvasStyle::GuideRect) << int(Qt::CustomDashLine) << TRect {0, 0, 600, 300}
                              << Points {{20, 1}, {31, 1}, {1, 10}, {1, 16}, {580, 1}, {599, 10}, {20, 299}, {1, 290},
                                     {580, 299}, {599, 290}}
                              << Points {{40, 1}, {1, 25}, {300, 1}, {1, 150}, {599, 150}, {300, 299}};
    // dx = round(193.33) = 193 and dy = 76.
    QTest::newRow("grid") << int(CanvasStyle::Grid) << int(Qt::SolidLine) << TRect {0, 0, 580, 228}
                          << Points {{193, 40}, {386, 40}, {40, 76}, {40, 152}, {193, 226}}
                          << Points {{290, 40}, {40, 114}, {100, 100}, {580 - 1, 40}, {40, 227}};
    QTest::newRow("offset rectangle") << int(CanvasStyle::GuideRect) << int(Qt::SolidLine) << TRect {18, 0, 543, 228}
                                      << Points {{19, 100}, {560, 100}, {300, 1}, {300, 227}}
                                      << Points {{16, 100}, {300, 100}, {564, 100}};
}

void TestCanvas::lines()
{
    QFETCH(int, type);
    QFETCH(int, penStyle);
    QFETCH(TRect, rect);
    QFETCH(Points, marked);
    QFETCH(Points, clear);

    BareCanvas bare;
    CanvasStyle style(type);
    style.setVisible(true);
    style.setRect(rect.x, rect.y, rect.w, rect.h);
    style.setPenStyle(penStyle);
    style.setColorName("#FF0000");
    style.setOpacity(1.0f);
    bare.canvas.addStyle(&style);

    const QImage image = bare.render(610, 310);
    for (const QPoint &p : marked)
        QVERIFY2(
            image.pixel(p) == qRgb(255, 0, 0), qPrintable(QStringLiteral("(%1, %2) not drawn").arg(p.x()).arg(p.y())));
    for (const QPoint &p : clear)
        QVERIFY2(image.pixel(p) == white, qPrintable(QStringLiteral("(%1, %2) drawn").arg(p.x()).arg(p.y())));

    style.setVisible(false);
    QCOMPARE(markedPixels(bare.render(610, 310)), 0);
}

void TestCanvas::centerMark()
{
    BareCanvas bare;
    bare.canvas.setCanvasSize(580, 228); // arm = 9, gap = 4
    bare.canvas.setArea(0, 0, 4096, 2160);
    bare.canvas.setCenter(2048, 1080); // maps to (289, 113)
    CanvasStyle style(CanvasStyle::CenterMark);
    style.setVisible(true);
    style.setRect(0, 0, 580, 228);
    style.setColorName("#00FF00");
    style.setOpacity(1.0f);
    bare.canvas.addStyle(&style);

    const QImage image = bare.render(580, 228);
    const QRgb green = qRgb(0, 255, 0);
    for (const QPoint &p : Points {{289, 106}, {289, 120}, {282, 113}, {296, 113}})
        QVERIFY2(image.pixel(p) == green, qPrintable(QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y())));
    for (const QPoint &p : Points {{289, 113}, {289, 100}, {289, 126}, {276, 113}, {302, 113}, {285, 109}})
        QVERIFY2(image.pixel(p) == white, qPrintable(QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y())));
}

void TestCanvas::shading_data()
{
    QTest::addColumn<TRect>("rect");
    QTest::addColumn<Points>("shaded");
    QTest::addColumn<Points>("clear");

    QTest::newRow("whole canvas shades nothing")
        << TRect {0, 0, 400, 200} << Points {} << Points {{0, 0}, {399, 199}, {200, 100}};
    QTest::newRow("around a rectangle") << TRect {100, 50, 200, 100}
                                        << Points {{10, 10}, {150, 10}, {150, 49}, {350, 100}, {150, 150}, {99, 100}}
                                        << Points {{100, 50}, {299, 149}, {200, 100}};
}

void TestCanvas::shading()
{
    QFETCH(TRect, rect);
    QFETCH(Points, shaded);
    QFETCH(Points, clear);

    BareCanvas bare;
    CanvasStyle style(CanvasStyle::Shading);
    style.setVisible(true);
    style.setRect(rect.x, rect.y, rect.w, rect.h);
    style.setColorName("#000000");
    style.setOpacity(0.5f);
    bare.canvas.addStyle(&style);

    const QImage image = bare.render(400, 200);
    for (const QPoint &p : shaded)
        QVERIFY2(qAbs(qRed(image.pixel(p)) - 127) <= 1, qPrintable(QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y())));
    for (const QPoint &p : clear)
        QVERIFY2(image.pixel(p) == white, qPrintable(QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y())));
    if (shaded.isEmpty())
        QCOMPARE(markedPixels(image), 0);
}

void TestCanvas::opacityAndOrder()
{
    BareCanvas bare;
    CanvasStyle first(CanvasStyle::GuideRect);
    CanvasStyle second(CanvasStyle::GuideRect);
    for (CanvasStyle *s : {&first, &second}) {
        s->setVisible(true);
        s->setRect(0, 0, 600, 300);
        s->setPenStyle(Qt::SolidLine);
        bare.canvas.addStyle(s);
    }
    first.setColorName("#0000FF");
    first.setOpacity(1.0f);
    second.setColorName("#FF0000");
    second.setOpacity(0.5f);

    // The later record is drawn over the earlier one, with its opacity.
    const QRgb pixel = bare.render(610, 310).pixel(300, 1);
    QVERIFY(qAbs(qRed(pixel) - 128) <= 1);
    QCOMPARE(qGreen(pixel), 0);
    QVERIFY(qAbs(qBlue(pixel) - 127) <= 1);
    QVERIFY(qAbs(second.color().alphaF() - 0.5f) < 0.01f);
}

void TestCanvas::refusedRecords()
{
    LogCapture log;
    BareCanvas bare;
    bare.canvas.addStyle(nullptr);
    QVERIFY(bare.canvas.styles().isEmpty());
    QVERIFY(log.contains(
        QStringLiteral("WARNING"), QStringLiteral("The style object cannot be null. The style was not added.")));

    CanvasStyle odd(7);
    odd.setVisible(true);
    odd.setRect(0, 0, 100, 100);
    odd.setColorName("#FF0000");
    odd.setOpacity(1.0f);
    bare.canvas.addStyle(&odd);
    log.clear();
    QCOMPARE(markedPixels(bare.render(100, 100)), 0);
    bare.render(100, 100);
    QCOMPARE(
        log.messages(QStringLiteral("WARNING")), QStringList(2, QStringLiteral("Invalid style type [7] specified.")));
}

void TestCanvas::builtInBackgroundIsCropped()
{
    const QImage builtIn = QImage(QStringLiteral(":/images/canvas")).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(builtIn.size(), QSize(1920, 1080));

    Canvas canvas;
    QVERIFY(canvas.isDefaultImage());
    canvas.setCanvasSize(580, 228);
    // Drawn unscaled at ((580 - 1920) / 2, (228 - 1080) / 2) = (-670, -426).
    QCOMPARE(renderCanvas(canvas, 580, 228), builtIn.copy(670, 426, 580, 228));

    canvas.loadImage(QStringLiteral("/nonexistent/picture.png"));
    QVERIFY(!canvas.isDefaultImage());
    canvas.resetImage();
    QVERIFY(canvas.isDefaultImage());
    QCOMPARE(renderCanvas(canvas, 580, 228), builtIn.copy(670, 426, 580, 228));
}

void TestCanvas::builtInBackgroundScalesOnLargeCanvas()
{
    const QImage builtIn = QImage(QStringLiteral(":/images/canvas")).convertToFormat(QImage::Format_RGB32);
    Canvas canvas;
    canvas.setCanvasSize(3840, 2160);
    const QImage image = renderCanvas(canvas, 3840, 2160);
    QCOMPARE(image.pixel(0, 0), builtIn.pixel(0, 0));
    QCOMPARE(image.pixel(3839, 2159), builtIn.pixel(1919, 1079));
    QCOMPARE(image.pixel(1921, 1601), builtIn.pixel(960, 800));
}

void TestCanvas::userPictureCoversCanvas()
{
    QTemporaryDir dir;
    Canvas canvas;
    canvas.loadImage(picture(dir, QStringLiteral("halves.png"), Qt::red, Qt::blue));
    QVERIFY(!canvas.isDefaultImage());
    canvas.setCanvasSize(400, 400);
    // 100 x 50 grows to 800 x 400 and is centred: its middle 400 columns show.
    const QImage image = renderCanvas(canvas, 400, 400);
    QCOMPARE(image.pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(199, 399), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(200, 0), qRgb(0, 0, 255));
    QCOMPARE(image.pixel(399, 399), qRgb(0, 0, 255));
}

void TestCanvas::userPictureFollowsSizeAndPicture()
{
    QTemporaryDir dir;
    Canvas canvas;
    canvas.loadImage(picture(dir, QStringLiteral("quarter.png"), Qt::red, Qt::blue, 25));
    canvas.setCanvasSize(400, 400);
    QCOMPARE(renderCanvas(canvas, 400, 400).pixel(0, 200), qRgb(0, 0, 255)); // red part cropped away

    // A new size rescales: 200 x 100 at (0, -25), red up to column 49.
    canvas.setCanvasSize(200, 50);
    QImage image = renderCanvas(canvas, 200, 50);
    QCOMPARE(image.pixel(0, 25), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(49, 25), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(50, 25), qRgb(0, 0, 255));

    // So does a new picture at the same size.
    canvas.loadImage(picture(dir, QStringLiteral("green.png"), Qt::green, Qt::green));
    image = renderCanvas(canvas, 200, 50);
    QCOMPARE(image.pixel(10, 25), qRgb(0, 255, 0));
    QCOMPARE(image.pixel(150, 25), qRgb(0, 255, 0));
}

void TestCanvas::largeSensorFrameLoads()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("8k.png"));
    {
        QImage frame(8192, 4320, QImage::Format_RGB32);
        frame.fill(qRgb(0, 0, 255));
        QVERIFY(frame.save(path, "PNG"));
    }
    Canvas canvas;
    canvas.loadImage(path);
    canvas.setCanvasSize(320, 180);
    QCOMPARE(renderCanvas(canvas, 320, 180).pixel(160, 90), qRgb(0, 0, 255));
}

void TestCanvas::container()
{
    CanvasContainer container;
    QCOMPARE(container.sizeHint(), QSize(620, 290));
    QCOMPARE(container.minimumSize(), QSize(620, 200));

    container.setMinimumSize(0, 0);
    container.resize(600, 400);
    container.fitCanvas(TRect {0, 0, 2048, 1080}, 4.0f / 3.0f);
    QCOMPARE(container.canvasRect(), QRect(0, 0, 580, 228));
    QCOMPARE(container.canvas()->sizeHint(), QSize(580, 228));

    container.resize(620, 290);
    container.fitCanvas(TRect {0, 0, 4320, 4320}, 1.0f);
    QCOMPARE(container.canvasRect(), QRect(0, 0, 268, 268));

    CanvasStyle style(CanvasStyle::Grid);
    container.addStyle(&style);
    QCOMPARE(container.canvas()->styles(), QList<CanvasStyle *> {&style});
}

QTEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
