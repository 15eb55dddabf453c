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

const Artwork artworks[] = {
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
