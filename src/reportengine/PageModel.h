#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

// A laid-out report: pages of positioned text, lines and boxes, in points (1/72 inch) from the
// page's top-left corner. One painter draws it on the screen, the printer and PDF alike.
namespace report {

struct FontSpec {
    double size = 10;
    bool bold = false;
    bool italic = false;
    bool operator==(const FontSpec&) const = default;
};

struct Item {
    enum Kind { Text, Line, Box };
    Kind kind = Text;
    QRectF rect;        // Text and Box; for Line the end points are rect's top-left and bottom-right
    QString text;
    int align = 0;      // Qt::Alignment flags
    FontSpec font;
    double lineWidth = 0.5;
    bool shaded = false;  // Box: light grey fill
};

struct Page {
    QList<Item> items;
    // The text of every item, in order: what a reader would find on the page.
    QStringList texts() const {
        QStringList out;
        for (const Item& i : items)
            if (i.kind == Item::Text) out << i.text;
        return out;
    }
};

struct Document {
    QString title;
    QSizeF pageSize{612, 792};  // US Letter
    QList<Page> pages;
};

}  // namespace report
