// Draws the programs' artwork into the source tree. Deterministic: the same
// build of this program always writes the same pixels.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace {

const QColor accent(0x90, 0x00, 0x00);
const QColor accentLight(0xB0, 0x00, 0x00);

struct Artwork
{
    const char *path; // relative to the source root
    QSize size;
    std::function<void(QPainter &, const QSize &)> draw;
};

void drawIcon(QPainter &p, const QSize &s)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x20, 0x20, 0x20));
    p.drawRoundedRect(QRectF(0.5, 0.5, s.width() - 1, s.height() - 1), 6, 6);
    // A stylised V over a lens ring.
    p.setPen(QPen(accentLight, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 16), 11, 11);
    QPainterPath v;
    v.moveTo(9, 10);
    v.lineTo(16, 24);
    v.lineTo(23, 10);
    p.setPen(QPen(Qt::white, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(v);
}

void drawCheck(QPainter &p, const QColor &colour)
{
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tick;
    tick.moveTo(2.5, 6.5);
    tick.lineTo(5.5, 9.5);
    tick.lineTo(10.5, 3.0);
    p.setPen(QPen(colour, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
}

void drawDownArrow(QPainter &p, const QSize &)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const QPointF points[] = {{4, 6}, {12, 6}, {8, 11}};
    p.drawPolygon(points, 3);
}

// The guide editor's preview background: a plain landscape in muted colours, so
// that guide lines of every colour stay visible on it.
void drawCanvasBackground(QPainter &p, const QSize &s)
{
    const qreal w = s.width();
    const qreal h = s.height();
    QLinearGradient sky(0, 0, 0, h * 0.62);
    sky.setColorAt(0.0, QColor(0x3A, 0x4E, 0x66));
    sky.setColorAt(1.0, QColor(0x9A, 0xA6, 0xB0));
    p.fillRect(QRectF(0, 0, w, h), sky);

    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xD8, 0xC8, 0xA0));
    p.drawEllipse(QPointF(w * 0.74, h * 0.30), h * 0.07, h * 0.07);

    QPainterPath far;
    far.moveTo(0, h * 0.62);
    far.lineTo(w * 0.12, h * 0.44);
    far.lineTo(w * 0.24, h * 0.55);
    far.lineTo(w * 0.40, h * 0.38);
    far.lineTo(w * 0.58, h * 0.56);
    far.lineTo(w * 0.70, h * 0.47);
    far.lineTo(w * 0.86, h * 0.58);
    far.lineTo(w, h * 0.45);
    far.lineTo(w, h * 0.62);
    far.closeSubpath();
    p.setBrush(QColor(0x5C, 0x66, 0x70));
    p.drawPath(far);

    QPainterPath near;
    near.moveTo(0, h * 0.70);
    near.cubicTo(w * 0.25, h * 0.58, w * 0.45, h * 0.72, w * 0.62, h * 0.64);
    near.cubicTo(w * 0.78, h * 0.57, w * 0.90, h * 0.66, w, h * 0.62);
    near.lineTo(w, h);
    near.lineTo(0, h);
    near.closeSubpath();
    p.setBrush(QColor(0x4A, 0x56, 0x3E));
    p.drawPath(near);

    QPainterPath road;
    road.moveTo(w * 0.47, h * 0.66);
    road.lineTo(w * 0.53, h * 0.66);
    road.lineTo(w * 0.70, h);
    road.lineTo(w * 0.30, h);
    road.closeSubpath();
    p.setBrush(QColor(0x6E, 0x68, 0x60));
    p.drawPath(road);
}

const Artwork artworks[] = {
    {"ovelin/images/canvas.png", {1920, 1080}, drawCanvasBackground},
    {"resources/images/vek.png", {32, 32}, drawIcon},
    {"resources/images/check.png", {13, 13}, [](QPainter &p, const QSize &) { drawCheck(p, Qt::black); }},
    {"resources/images/check-focus.png", {13, 13}, [](QPainter &p, const QSize &) { drawCheck(p, Qt::white); }},
    {"resources/images/down-arrow.png", {16, 16}, drawDownArrow},
};

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vekartwork SOURCE_ROOT\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (const Artwork &art : artworks) {
        QImage image(art.size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        art.draw(painter, art.size);
        painter.end();
        const QString path = root + QLatin1Char('/') + QLatin1String(art.path);
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "vekartwork: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
