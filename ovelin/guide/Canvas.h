#pragma once

#include <QList>
#include <QPixmap>
#include <QWidget>

class CanvasStyle;
class QPainter;

// The preview: a background picture with the drawing records painted over it in
// list order. The records already hold canvas pixels; only the centre point is
// mapped here.
class Canvas : public QWidget {
    Q_OBJECT

public:
    explicit Canvas(QWidget *parent = nullptr);

    void loadImage(const QString &path);
    void resetImage();
    bool isDefaultImage() const { return m_defaultImage; }
    // Records are not owned and must outlive the canvas's use of them.
    void addStyle(CanvasStyle *style);
    const QList<CanvasStyle *> &styles() const { return m_styles; }

    void setArea(int x, int y, int w, int h);
    void setCenter(int x, int y);
    void setCanvasSize(int w, int h);

    // Paints the whole preview onto a surface of the given size (the widget's own
    // size when it paints itself).
    void paint(QPainter &painter, int width, int height);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void drawBackground(QPainter &painter, int width, int height);
    void drawStyle(QPainter &painter, CanvasStyle &style, int width, int height);
    void setPixmap(const QPixmap &pixmap);

    struct {
        int x, y, w, h;
    } m_area {0, 0, 0, 0};
    struct {
        int x, y;
    } m_center {0, 0};
    QList<CanvasStyle *> m_styles;
    QPixmap m_pixmap;
    int m_width = 0;
    int m_height = 0;
    bool m_defaultImage = true;
    // The background scaled for the current size: a user picture is rescaled only
    // when the picture or the canvas size changes, not on every repaint.
    QPixmap m_scaledPixmap;
    QSize m_scaledFor;
};
