#include "PlotBox.h"

#include <QMouseEvent>
#include <QPainter>

PlotBox::PlotBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
}

void PlotBox::setScale(double left, double top, double width, double height) {
    m_left = left;
    m_top = top;
    m_width = width == 0 ? 1 : width;
    m_height = height == 0 ? 1 : height;
}

QPointF PlotBox::toPixels(double x, double y) const {
    return {(x - m_left) / m_width * width(), (y - m_top) / m_height * height()};
}

QPointF PlotBox::toUser(QPointF p) const {
    return {m_left + p.x() / width() * m_width, m_top + p.y() / height() * m_height};
}

void PlotBox::resizeEvent(QResizeEvent*) {
    m_persistent = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    m_persistent.fill(Qt::white);
    m_overlay = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    m_overlay.fill(Qt::transparent);
}

void PlotBox::Cls() {
    if (m_persistentMode) {
        m_persistent.fill(Qt::white);
    } else {
        m_overlay.fill(Qt::transparent);
    }
    update();
}

void PlotBox::Refresh() {
    m_overlay.fill(Qt::transparent);
    emit Paint();
    update();
}

void PlotBox::Line(double x1, double y1, double x2, double y2, const QColor& color, int w, Qt::PenStyle style) {
    QPainter p(&target());
    p.setPen(QPen(color, w, style, Qt::FlatCap));
    p.drawLine(toPixels(x1, y1), toPixels(x2, y2));
    update();
}

void PlotBox::PSet(double x, double y, const QColor& color, int w) {
    QPainter p(&target());
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(toPixels(x, y), w / 2.0 + 0.5, w / 2.0 + 0.5);
    update();
}

void PlotBox::Print(double x, double y, const QString& text, const QColor& color) {
    QPainter p(&target());
    p.setPen(color);
    p.setFont(font());
    const QPointF at = toPixels(x, y);
    p.drawText(QRectF(at, QSizeF(width(), fontMetrics().height())), Qt::AlignLeft | Qt::AlignTop, text);
    update();
}

QImage PlotBox::composed() const {
    QImage out = m_persistent.copy();
    QPainter p(&out);
    p.drawImage(0, 0, m_overlay);
    return out;
}

void PlotBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, m_persistent);
    p.drawImage(0, 0, m_overlay);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void PlotBox::mousePressEvent(QMouseEvent* e) {
    const QPointF u = toUser(e->position());
    emit MouseDown(e->buttons(), u.x(), u.y());
}

void PlotBox::mouseMoveEvent(QMouseEvent* e) {
    const QPointF u = toUser(e->position());
    emit MouseMove(e->buttons(), u.x(), u.y());
}

void PlotBox::mouseReleaseEvent(QMouseEvent* e) {
    const QPointF u = toUser(e->position());
    // The button that went up is the one the handler is about.
    emit MouseUp(e->button(), u.x(), u.y());
}
