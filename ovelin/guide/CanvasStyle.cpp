#include "guide/CanvasStyle.h"

CanvasStyle::CanvasStyle(int type)
    : m_type(type)
    , m_penStyle(type == GuideRect ? Qt::NoPen : Qt::SolidLine)
{
}
