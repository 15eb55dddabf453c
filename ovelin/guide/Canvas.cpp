#include "guide/Canvas.h"

#include "app/Logger.h"
#include "guide/CanvasStyle.h"
#include "guide/GuideGeometry.h"

#include <QImageReader>
#include <QPainter>

#include <algorithm>

namespace {

const QString defaultImagePath = QStringLiteral(":/images/canvas");

// Frames from the largest sensors (8192 x 4320, 135 MiB decoded) exceed the toolkit's
// default limit of 128 MiB and would silently come out blank.
constexpr int pictureAllocationLimitMiB = 512;

QPixmap readPicture(const QString &path)
{
    if (QImageReader::allocationLimit() < pictureAllocationLimitMiB)
        QImageReader::setAllocationLimit(pictureAllocationLimitMiB);
    QImageReader reader(path);
    return QPixmap::fromImage(reader.read());
}

void line(QPainter &painter, int x1, int y1, int x2, int y2)
{
    painter.drawLine(x1, y1, x2, y2);
}

void drawFrame(QPainter &painter, const TRect &r)
{
    line(painter, r.x + 1, r.y + 1, r.x + r.w - 1, r.y + 1);
    line(painter, r.x + 1, r.y + r.h - 1, r.x + r.w - 1, r.y + r.h - 1);
    line(painter, r.x + 1, r.y + 3, r.x + 1, r.y + r.h - 3);
    line(painter, r.x + r.w - 1, r.y + 3, r.x + r.w - 1, r.y + r.h - 3);
}

void drawBrackets(QPainter &painter, const TRect &r)
{
    const int bx = r.w / 20;
    const int by = r.h / 20;
    const int left = r.x + 1;
    const int right = r.x + r.w - 1;
    const int top = r.y + 1;
    const int bottom = r.y + r.h - 1;
    line(painter, left, top, left + bx, top);
    line(painter, left, r.y + 3, left, top + by);
    line(painter, right, top, right - bx, top);
    line(painter, right, r.y + 3, right, top + by);
    line(painter, left, bottom, left + bx, bottom);
    line(painter, left, r.y + r.h - 3, left, bottom - by);
    line(painter, right, bottom, right - bx, bottom);
    line(painter, right, r.y + r.h - 3, right, bottom - by);
}

void fillInclusive(QPainter &painter, int left, int top, int right, int bottom, const QColor &color)
{
    if (right < left || bottom < top)
        return;
    painter.fillRect(QRect(QPoint(left, top), QPoint(right, bottom)), color);
}

} // namespace

Canvas::Canvas(QWidget *parent)
    : QWidget(parent)
{
    setPixmap(readPicture(defaultImagePath));
}

void Canvas::setPixmap(const QPixmap &pixmap)
{
    m_pixmap = pixmap;
    m_scaledPixmap = QPixmap();
    m_scaledFor = QSize();
}

void Canvas::loadImage(const QString &path)
{
    // A picture that fails to load leaves an empty background; nothing to report.
    setPixmap(readPicture(path));
    m_defaultImage = false;
    update();
}

void Canvas::resetImage()
{
    loadImage(defaultImagePath);
    m_defaultImage = true;
}

void Canvas::addStyle(CanvasStyle *style)
{
    if (!style) {
        Logger::logWarning(QStringLiteral("The style object cannot be null. The style was not added."), QString());
        return;
    }
    m_styles.append(style);
}

void Canvas::setArea(int x, int y, int w, int h)
{
    m_area = {x, y, w, h};
}

void Canvas::setCenter(int x, int y)
{
    m_center = {x, y};
}

void Canvas::setCanvasSize(int w, int h)
{
    m_width = std::max(w, 0);
    m_height = std::max(h, 0);
    updateGeometry();
    resize(m_width, m_height);
}

QSize Canvas::sizeHint() const
{
    return QSize(m_width, m_height);
}

void Canvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paint(painter, width(), height());
}

void Canvas::paint(QPainter &painter, int width, int height)
{
    drawBackground(painter, width, height);
    painter.setPen(Qt::NoPen);
    for (CanvasStyle *style : std::as_const(m_styles)) {
        if (style->isVisible())
            drawStyle(painter, *style, width, height);
    }
}

void Canvas::drawBackground(QPainter &painter, int width, int height)
{
    if (m_pixmap.isNull())
        return;
    if (m_defaultImage && m_pixmap.width() >= m_width && m_pixmap.height() >= m_height) {
        // The built-in picture is centred and cropped, never scaled down.
        painter.drawPixmap((width - m_pixmap.width()) / 2, (height - m_pixmap.height()) / 2, m_pixmap);
        return;
    }
    const QSize size(m_width, m_height);
    if (m_scaledFor != size) {
        m_scaledPixmap = m_pixmap.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::FastTransformation);
        m_scaledFor = size;
    }
    painter.drawPixmap((width - m_scaledPixmap.width()) / 2, (height - m_scaledPixmap.height()) / 2, m_scaledPixmap);
}

void Canvas::drawStyle(QPainter &painter, CanvasStyle &style, int width, int height)
{
    const int penStyle = style.penStyle() == Qt::CustomDashLine ? int(Qt::SolidLine) : style.penStyle();
    style.setAlpha(std::clamp(style.opacity(), 0.0f, 1.0f));
    const QColor color = style.color();
    painter.setPen(QPen(QBrush(color), 2, Qt::PenStyle(penStyle)));

    const TRect r = style.rect();
    switch (style.type()) {
    case CanvasStyle::GuideRect:
        if (style.penStyle() == Qt::CustomDashLine)
            drawBrackets(painter, r);
        else
            drawFrame(painter, r);
        break;
    case CanvasStyle::CenterMark: {
        const int cx = GuideGeometry::mapCoordinate(m_center.x, r.x, r.w, m_area.x, m_area.w);
        const int cy = GuideGeometry::mapCoordinate(m_center.y, r.y, r.h, m_area.y, m_area.h);
        const int arm = m_height / 24;
        const int gap = (arm + 2) / 3 + 1;
        line(painter, cx, cy - arm, cx, cy - gap);
        line(painter, cx - arm, cy, cx - gap, cy);
        line(painter, cx, cy + arm, cx, cy + gap);
        line(painter, cx + arm, cy, cx + gap, cy);
        break;
    }
    case CanvasStyle::Grid: {
        const int dx = GuideGeometry::roundHalfAway(float(r.w) / 3.0f);
        const int dy = GuideGeometry::roundHalfAway(float(r.h) / 3.0f);
        line(painter, r.x + dx, r.y + 1, r.x + dx, r.y + r.h - 1);
        line(painter, r.x + 2 * dx, r.y + 1, r.x + 2 * dx, r.y + r.h - 1);
        line(painter, r.x + 1, r.y + dy, r.x + r.w - 1, r.y + dy);
        line(painter, r.x + 1, r.y + 2 * dy, r.x + r.w - 1, r.y + 2 * dy);
        break;
    }
    case CanvasStyle::Shading:
        fillInclusive(painter, r.x, 0, r.x + r.w - 1, r.y - 1, color);
        fillInclusive(painter, r.x + r.w, 0, width - 1, height - 1, color);
        fillInclusive(painter, r.x, r.y + r.h, r.x + r.w - 1, height - 1, color);
        fillInclusive(painter, 0, 0, r.x - 1, height - 1, color);
        break;
    default:
        Logger::logWarning(QStringLiteral("Invalid style type [%1] specified.").arg(style.type()), QString());
        break;
    }
}
