#pragma once

#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QWidget>

// Text colours of both combo-box classes, by focus and enabled state.
namespace ComboPalette {
inline const QColor focused{0xF0, 0xF0, 0xF0};
inline const QColor idle{0x00, 0x00, 0x00};
inline const QColor disabled{0x40, 0x40, 0x40};

// Replaces the widget's palette with the application palette whose Text is `text`.
inline void applyText(QWidget *widget, const QColor &text)
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Text, text);
    widget->setPalette(palette);
}

// Handles an enabled-state change; returns whether it was one.
inline bool followEnabledState(QWidget *widget, const QEvent *e)
{
    if (e->type() != QEvent::EnabledChange)
        return false;
    applyText(widget, widget->isEnabled() ? idle : disabled);
    return true;
}
}
