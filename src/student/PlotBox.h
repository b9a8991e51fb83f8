#pragma once

#include <QImage>
#include <QWidget>

// The plot's picture box: a user scale (x to the right, y upward), a persistent layer that keeps
// the series, and an overlay for the grid and the pointer readout that an erase or a refresh
// removes.
class PlotBox : public QWidget {
    Q_OBJECT

public:
    explicit PlotBox(QWidget* parent = nullptr);

    // The user scale: the left and top edges' values and the scale's width and height (a negative
    // height makes y grow upward).
    void setScale(double left, double top, double width, double height);
    double ScaleLeft() const { return m_left; }
    double ScaleTop() const { return m_top; }
    double ScaleWidth() const { return m_width; }
    double ScaleHeight() const { return m_height; }
    QPointF toPixels(double x, double y) const;
    QPointF toUser(QPointF pixels) const;

    // Which layer the drawing calls go to.
    void setPersistent(bool persistent) { m_persistentMode = persistent; }
    bool persistent() const { return m_persistentMode; }
    // Erases the layer being drawn on.
    void Cls();
    // Removes the overlay and asks for it to be drawn again (the Paint signal).
    void Refresh();

    void Line(double x1, double y1, double x2, double y2, const QColor& color, int width,
              Qt::PenStyle style = Qt::SolidLine);
    void PSet(double x, double y, const QColor& color, int width);
    void Print(double x, double y, const QString& text, const QColor& color = Qt::black);

    // What is on screen: the persistent layer with the overlay over it.
    QImage composed() const;

signals:
    void Paint();
    void MouseDown(Qt::MouseButtons buttons, double x, double y);
    void MouseMove(Qt::MouseButtons buttons, double x, double y);
    void MouseUp(Qt::MouseButtons buttons, double x, double y);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QImage& target() { return m_persistentMode ? m_persistent : m_overlay; }

    QImage m_persistent;
    QImage m_overlay;
    bool m_persistentMode = true;
    double m_left = 0, m_top = 0, m_width = 1, m_height = 1;
};
