#include "guide/CanvasContainer.h"

#include "guide/Canvas.h"
#include "guide/GuideGeometry.h"

#include <QGridLayout>

CanvasContainer::CanvasContainer(QWidget *parent)
    : QWidget(parent)
    , m_canvas(new Canvas(this))
    , m_layout(new QGridLayout(this))
{
    resize(sizeHint());
    setMinimumSize(width(), height() - 90);
    m_layout->addWidget(m_canvas, 0, 0, Qt::AlignCenter);
    setLayout(m_layout);
}

QRect CanvasContainer::canvasRect() const
{
    return m_canvas->rect();
}

void CanvasContainer::fitCanvas(const TRect &format, float squeeze)
{
    m_layout->removeWidget(m_canvas);
    const QSize size = GuideGeometry::fitCanvas(width(), height(), format, squeeze);
    m_canvas->setCanvasSize(size.width(), size.height());
    m_layout->addWidget(m_canvas, 0, 0, Qt::AlignCenter);
}

void CanvasContainer::resetImage()
{
    m_canvas->resetImage();
}

void CanvasContainer::addStyle(CanvasStyle *style)
{
    m_canvas->addStyle(style);
}

void CanvasContainer::setCenter(int x, int y)
{
    m_canvas->setCenter(x, y);
}

void CanvasContainer::setArea(const TRect &area)
{
    m_canvas->setArea(area.x, area.y, area.w, area.h);
}

QSize CanvasContainer::sizeHint() const
{
    return QSize(620, 290);
}
