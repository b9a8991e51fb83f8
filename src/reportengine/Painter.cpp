#include "Painter.h"

#include <QFile>
#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace report {
namespace {

QFont fontOf(const FontSpec& spec) {
    QFont f("DejaVu Sans");
    f.setPointSizeF(spec.size);
    f.setBold(spec.bold);
    f.setItalic(spec.italic);
    return f;
}

// Paints with the painter scaled so that one unit is one point.
void paintScaled(QPainter& painter, const Page& page, double unitsPerPoint) {
    painter.save();
    painter.scale(unitsPerPoint, unitsPerPoint);
    PaintPage(painter, page);
    painter.restore();
}

}  // namespace

void PaintPage(QPainter& painter, const Page& page) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const Item& item : page.items) {
        switch (item.kind) {
            case Item::Text: {
                painter.setPen(Qt::black);
                QFont f = fontOf(item.font);
                // Fonts are sized in points whatever the device: the painter is already in points.
                f.setPixelSize(std::max(1, int(item.font.size + 0.5)));
                painter.setFont(f);
                const int flags = item.align | (item.align & Qt::TextWordWrap ? 0 : int(Qt::TextSingleLine));
                const QString text = item.align & Qt::TextWordWrap
                                         ? item.text
                                         : painter.fontMetrics().elidedText(item.text, Qt::ElideRight, int(item.rect.width()));
                painter.drawText(item.rect, flags, text);
                break;
            }
            case Item::Line:
                painter.setPen(QPen(Qt::black, item.lineWidth));
                painter.drawLine(item.rect.topLeft(), item.rect.bottomRight());
                break;
            case Item::Box:
                painter.setPen(QPen(QColor(90, 90, 90), item.lineWidth));
                painter.setBrush(item.shaded ? QBrush(QColor(232, 232, 232)) : Qt::NoBrush);
                painter.drawRect(item.rect);
                painter.setBrush(Qt::NoBrush);
                break;
        }
    }
}

QImage RenderPage(const Document& doc, int pageIndex, double dotsPerPoint) {
    QImage image((doc.pageSize * dotsPerPoint).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    if (pageIndex < 0 || pageIndex >= doc.pages.size()) return image;
    QPainter p(&image);
    paintScaled(p, doc.pages[pageIndex], dotsPerPoint);
    return image;
}

bool WritePdf(const Document& doc, const QString& path, QString* error) {
    QPdfWriter writer(path);
    if (!writer.setPageSize(QPageSize(doc.pageSize, QPageSize::Point))) {
        if (error) *error = "the page size cannot be used";
        return false;
    }
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(288);
    writer.setTitle(doc.title);
    writer.setCreator("Tallyroll");
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error) *error = QString("%1 cannot be written").arg(path);
        return false;
    }
    const double unitsPerPoint = writer.resolution() / 72.0;
    for (int i = 0; i < doc.pages.size(); ++i) {
        if (i > 0) writer.newPage();
        paintScaled(painter, doc.pages[i], unitsPerPoint);
    }
    painter.end();
    if (!QFile::exists(path)) {
        if (error) *error = QString("%1 cannot be written").arg(path);
        return false;
    }
    return true;
}

void PrintDocument(const Document& doc, QPrinter& printer) {
    printer.setPageSize(QPageSize(doc.pageSize, QPageSize::Point));
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) return;
    const double unitsPerPoint = printer.resolution() / 72.0;
    for (int i = 0; i < doc.pages.size(); ++i) {
        if (i > 0) printer.newPage();
        paintScaled(painter, doc.pages[i], unitsPerPoint);
    }
}

}  // namespace report
