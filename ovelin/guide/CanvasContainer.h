#pragma once

#include "app/QtUtil.h"

#include <QWidget>

class Canvas;
class CanvasStyle;
class QGridLayout;

// Holds the canvas and sizes it to the display aspect of the current format.
class CanvasContainer : public QWidget {
    Q_OBJECT

public:
    explicit CanvasContainer(QWidget *parent = nullptr);

    Canvas *canvas() const { return m_canvas; }
    QRect canvasRect() const;
    void fitCanvas(const TRect &format, float squeeze);

    void resetImage();
    void addStyle(CanvasStyle *style);
    void setCenter(int x, int y);
    void setArea(const TRect &area);

    QSize sizeHint() const override;

private:
    Canvas *m_canvas;
    QGridLayout *m_layout;
};
