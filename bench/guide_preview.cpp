// Time from a guide change to a finished preview: the change, the recomputation of
// all three guides and a full canvas paint at 1280 x 720 over an 8K user picture.
#include "guide/Canvas.h"
#include "guide/CanvasStyle.h"
#include "guide/CustomLineEdit.h"
#include "guide/Guide.h"
#include "guide/GuideGeometry.h"

#include "app/CustomComboBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const TRect format {0, 0, 8192, 4096};
const float squeeze = 1.0f;
const TRect canvasRect {0, 0, 1280, 720};

struct Preview {
    std::vector<std::unique_ptr<Guide>> guides;
    Canvas canvas;
    CanvasStyle grid {CanvasStyle::Grid};
    CanvasStyle center {CanvasStyle::CenterMark};
    CanvasStyle shading {CanvasStyle::Shading};

    Preview()
    {
        const char *titles[] = {"Frame Guide", "Action Guide", "Title Guide"};
        canvas.addStyle(&grid);
        for (int i = 0; i < 3; ++i) {
            auto guide = std::make_unique<Guide>(i, QLatin1String(titles[i]), i > 0);
            guide->setupTexts();
            guide->applyFonts(QApplication::font());
            guide->buildLayout();
            guide->connectSignals();
            Guide *g = guide.get();
            QObject::connect(
                g, &Guide::absoluteModeEnabled, [g](bool enable, Guide *) { g->enableAbsoluteMode(enable, format); });
            QObject::connect(g, &Guide::userRatioUpdated, [g](Guide *) { g->updateUserRatio(format); });
            canvas.addStyle(g->style());
            guides.push_back(std::move(guide));
        }
        canvas.addStyle(&center);
        canvas.addStyle(&shading);
        for (CanvasStyle *s : {&grid, &center, &shading}) {
            s->setColorName("#FFFFFF");
            s->setOpacity(0.5f);
        }
        canvas.setCanvasSize(canvasRect.w, canvasRect.h);
        canvas.setArea(format.x, format.y, format.w, format.h);
        canvas.setCenter(format.w / 2, format.h / 2);
    }

    void setUp()
    {
        const int modes[] = {1777778, 2400000, GuideGeometry::ModeFull};
        for (int i = 0; i < 3; ++i) {
            Guide &g = *guides[i];
            g.modeCombo()->setCurrentIndex(g.modeCombo()->findData(modes[i]));
            g.scaleEdit()->setText(QString::number(100 - 10 * i));
            g.updateScale();
            g.lineTypeCombo()->setCurrentIndex(i);
            g.colorCombo()->setCurrentIndex(i + 1);
            g.opacityCombo()->setCurrentIndex(3);
            if (i > 0)
                g.relativeCheckBox()->setChecked(true);
        }
    }

    // What the panel does after every guide change.
    void updateGuides()
    {
        Guide &frame = *guides[0];
        for (auto &guide : guides) {
            Guide &g = *guide;
            if (&g != &frame && g.isRelative()) {
                g.computeGeometry(frame.rect(), squeeze, !frame.isActive());
                if (frame.isActive() && g.isActive()) {
                    g.mapToCanvas(frame.style()->rect(), frame.rect());
                }
                g.style()->setVisible(frame.isActive() && g.isActive());
            } else {
                g.computeGeometry(format, squeeze, false);
                if (g.isActive())
                    g.mapToCanvas(canvasRect, format);
                g.style()->setVisible(g.isActive());
            }
        }
        const TRect r = frame.style()->rect();
        for (CanvasStyle *s : {&grid, &center, &shading}) {
            s->setRect(r.x, r.y, r.w, r.h);
            s->setVisible(frame.isActive());
        }
    }

    void paint(QImage &image)
    {
        QPainter painter(&image);
        canvas.paint(painter, image.width(), image.height());
    }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QString picturePath = dir.filePath(QStringLiteral("background-8k.png"));
    {
        QImage picture(8192, 4320, QImage::Format_RGB32);
        QPainter painter(&picture);
        for (int band = 0; band < 48; ++band)
            painter.fillRect(0, band * 90, picture.width(), 90, QColor::fromHsv((band * 7) % 360, 90, 60 + band * 3));
        painter.end();
        if (!picture.save(picturePath, "PNG")) {
            std::fprintf(stderr, "guide_preview: cannot write the background picture\n");
            return 1;
        }
    }

    Preview preview;
    preview.canvas.loadImage(picturePath);
    preview.setUp();
    preview.updateGuides();
    QImage image(canvasRect.w, canvasRect.h, QImage::Format_ARGB32_Premultiplied);

    // The first paint after a picture is chosen scales it once; later paints reuse it.
    QElapsedTimer timer;
    timer.start();
    preview.paint(image);
    const double firstPaint = timer.nsecsElapsed() / 1e6;
    if (qAlpha(image.pixel(canvasRect.w / 2, canvasRect.h / 2)) != 255) {
        std::fprintf(stderr, "guide_preview: the background picture was not drawn\n");
        return 1;
    }

    const int modes[] = {GuideGeometry::ModeFull, 1333333, 1777778, 1850000, 1896296, 2400000, GuideGeometry::ModeUser,
        GuideGeometry::ModeAbsolute};
    std::vector<double> times;
    const int changes = 600;
    times.reserve(changes);
    for (int i = 0; i < changes; ++i) {
        Guide &g = *preview.guides[i % 3];
        timer.restart();
        switch (i % 4) {
        case 0:
            g.scaleEdit()->setText(QString::number(40 + (i * 7) % 60));
            g.updateScale();
            break;
        case 1:
            g.offsetXEdit()->setText(QString::number((i * 13) % 200 - 100));
            g.updateOffsetX();
            break;
        case 2:
            g.offsetYEdit()->setText(QString::number((i * 11) % 200 - 100));
            g.updateOffsetY();
            break;
        default:
            g.modeCombo()->setCurrentIndex(g.modeCombo()->findData(modes[(i / 4) % std::size(modes)]));
            break;
        }
        preview.updateGuides();
        preview.paint(image);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }

    std::printf("guide_background_first_paint_ms: %.3f\n", firstPaint);
    std::printf("guide_change_to_paint_ms_median: %.3f\n", median(times));
    std::printf("guide_change_to_paint_ms_max: %.3f\n", *std::max_element(times.begin(), times.end()));
    return 0;
}
