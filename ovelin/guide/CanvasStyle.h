#pragma once

#include "app/QtUtil.h"

#include <QColor>

// Drawing record of one preview element, in canvas pixels. Guides own theirs; the
// panel owns the centre mark, grid and shading records.
class CanvasStyle {
public:
    enum Type { GuideRect = 0, CenterMark = 1, Grid = 2, Shading = 3 };

    explicit CanvasStyle(int type);

    int type() const { return m_type; }
    bool isVisible() const { return m_visible; }
    TRect rect() const { return m_rect; }
    // A Qt::PenStyle value; Qt::CustomDashLine on a guide rectangle means corner brackets.
    int penStyle() const { return m_penStyle; }
    QColor color() const { return m_color; }
    float opacity() const { return m_opacity; }

    void setVisible(bool visible) { m_visible = visible; }
    void setRect(int x, int y, int w, int h) { m_rect = TRect {x, y, w, h}; }
    void setPenStyle(int penStyle) { m_penStyle = penStyle; }
    void setColorName(const char *name) { m_color = QColor(QLatin1String(name)); }
    void setOpacity(float opacity) { m_opacity = opacity; }
    // The canvas applies the opacity to the colour it draws with.
    void setAlpha(float alpha) { m_color.setAlphaF(alpha); }

private:
    int m_type;
    bool m_visible = false;
    TRect m_rect {0, 0, 0, 0};
    int m_penStyle;
    QColor m_color;
    float m_opacity = 0.0f;
};
