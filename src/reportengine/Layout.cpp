#include "Layout.h"

#include "platform/runtime/Runtime.h"

#include <QHash>
#include <QRegularExpression>
#include <cmath>
#include <optional>

namespace report {
namespace {

constexpr double kMargin = 36;
// Stands for the page count until the last page is known.
const QString kPagesMark = QStringLiteral("\x01pages\x01");

std::optional<double> numberOf(const QVariant& v) {
    if (v.isNull() || !v.isValid()) return std::nullopt;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok) return std::nullopt;
    return d;
}

QVariant valueOf(const QString& expr, const QStringList& columns, const QVariantList* row) {
    if (!row) return {};
    const int slash = int(expr.indexOf('/'));
    if (slash > 0) {
        const auto a = numberOf(valueOf(expr.left(slash).trimmed(), columns, row));
        const auto b = numberOf(valueOf(expr.mid(slash + 1).trimmed(), columns, row));
        if (!a || !b || *b == 0) return {};
        return *a / *b;
    }
    const int i = int(columns.indexOf(expr.trimmed()));
    return i >= 0 && i < row->size() ? row->at(i) : QVariant();
}

QString formatted(const QVariant& v, const QString& format) {
    if (v.isNull() || !v.isValid()) return {};
    if (format == "percent") return numberOf(v) ? runtime::FormatPercent(*numberOf(v)) : QString();
    if (format == "date" || v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime) {
        const QDate d = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
        return d.isValid() ? runtime::FormatShortDate(d) : v.toString();
    }
    if (format.startsWith("0")) {
        const int decimals = format.contains('.') ? int(format.size() - format.indexOf('.') - 1) : 0;
        return numberOf(v) ? QString::number(*numberOf(v), 'f', decimals) : v.toString();
    }
    if (v.typeId() == QMetaType::Double) return runtime::FormatSingle(v.toDouble());
    return v.toString();
}

QVariant aggregate(const QString& fn, const QString& arg, const QStringList& columns,
                   const QList<const QVariantList*>& scope) {
    if (fn == "count") {
        if (arg.trimmed().isEmpty()) return int(scope.size());
        int n = 0;
        for (const QVariantList* r : scope) n += valueOf(arg, columns, r).isNull() ? 0 : 1;
        return n;
    }
    QList<double> values;
    for (const QVariantList* r : scope)
        if (const auto v = numberOf(valueOf(arg, columns, r))) values << *v;
    if (values.isEmpty()) return {};
    double sum = 0;
    for (double v : values) sum += v;
    if (fn == "sum") return sum;
    if (fn == "mean") return sum / values.size();
    if (fn == "min") return *std::min_element(values.begin(), values.end());
    if (fn == "max") return *std::max_element(values.begin(), values.end());
    if (fn == "stddev") {
        if (values.size() < 2) return {};
        const double mean = sum / values.size();
        double squares = 0;
        for (double v : values) squares += (v - mean) * (v - mean);
        return std::sqrt(squares / (values.size() - 1));
    }
    return {};
}

}  // namespace

QString Substitute(const QString& text, const QStringList& columns, const QVariantList* row,
                   const QList<const QVariantList*>& scope, int page, const QString& title, QDate today) {
    static const QRegularExpression braces(R"(\{([^{}]*)\})");
    static const QRegularExpression call(R"(^\s*(count|sum|mean|min|max|stddev)\s*\((.*)\)\s*$)",
                                         QRegularExpression::CaseInsensitiveOption);
    QString out;
    int last = 0;
    auto it = braces.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        last = int(m.capturedEnd());
        const QString inner = m.captured(1);
        const QString expr = inner.section(':', 0, 0).trimmed();
        const QString format = inner.section(':', 1).trimmed();
        const QString word = expr.toLower();
        if (word == "page") {
            out += QString::number(page);
        } else if (word == "pages") {
            out += kPagesMark;
        } else if (word == "today") {
            out += runtime::FormatShortDate(today);
        } else if (word == "title") {
            out += title;
        } else if (const auto c = call.match(expr); c.hasMatch()) {
            out += formatted(aggregate(c.captured(1).toLower(), c.captured(2), columns, scope), format);
        } else {
            out += formatted(valueOf(expr, columns, row), format);
        }
    }
    out += text.mid(last);
    return out;
}

namespace {

class Layouter {
public:
    Layouter(const Definition& d, const Rows& data, QDate today) : m_def(d), m_data(data), m_today(today) {
        m_doc.title = d.title;
        m_doc.pageSize = d.landscape ? QSizeF(792, 612) : QSizeF(612, 792);
    }

    Document run() {
        QList<const QVariantList*> all;
        for (const QVariantList& r : m_data.rows) all << &r;
        newPage(nullptr);
        const QVariantList* first = all.isEmpty() ? nullptr : all.first();
        place(m_def.reportHeader, first, all);

        const int levels = int(m_def.groups.size());
        QList<int> groupColumn;
        for (const Group& g : m_def.groups) groupColumn << int(m_data.columns.indexOf(g.field));
        QList<QList<const QVariantList*>> open(levels);  // rows of each open group
        QList<QVariant> keys(levels);
        auto closeFrom = [&](int level) {
            for (int l = levels - 1; l >= level; --l) {
                if (open[l].isEmpty()) continue;
                place(m_def.groups[l].footer, open[l].last(), open[l]);
                open[l].clear();
                m_repeat[l] = nullptr;
            }
        };
        for (int i = 0; i < all.size(); ++i) {
            const QVariantList* row = all[i];
            int changed = levels;
            for (int l = 0; l < levels; ++l) {
                const QVariant k = groupColumn[l] >= 0 ? row->at(groupColumn[l]) : QVariant();
                if (open[l].isEmpty() || k != keys[l]) {
                    changed = l;
                    break;
                }
            }
            if (changed < levels) {
                closeFrom(changed);
                for (int l = changed; l < levels; ++l) {
                    keys[l] = groupColumn[l] >= 0 ? row->at(groupColumn[l]) : QVariant();
                    // The rows of this group: from here while the keys up to this level stay.
                    QList<const QVariantList*> rows;
                    for (int j = i; j < all.size(); ++j) {
                        bool same = true;
                        for (int m = 0; m <= l && same; ++m)
                            same = groupColumn[m] < 0 || all[j]->at(groupColumn[m]) == keys[m];
                        if (!same) break;
                        rows << all[j];
                    }
                    if (m_def.groups[l].newPage && m_placedSomething) newPage(row);
                    m_scope[l] = rows;
                    place(m_def.groups[l].header, row, rows);
                    if (m_def.groups[l].header.repeat) m_repeat[l] = row;
                }
            }
            for (int l = 0; l < levels; ++l) open[l] << row;
            place(m_def.detail, row, {row});
        }
        closeFrom(0);
        place(m_def.reportFooter, all.isEmpty() ? nullptr : all.last(), all);
        finishPage();

        const QString total = QString::number(m_doc.pages.size());
        for (Page& p : m_doc.pages)
            for (Item& item : p.items) item.text.replace(kPagesMark, total);
        return m_doc;
    }

private:
    double limit() const {
        return m_doc.pageSize.height() - kMargin - (m_def.pageFooter.present ? m_def.pageFooter.height : 0);
    }

    void finishPage() {
        if (m_doc.pages.isEmpty()) return;
        if (m_def.pageFooter.present) {
            const double y = m_doc.pageSize.height() - kMargin - m_def.pageFooter.height;
            draw(m_def.pageFooter, y, m_lastRow, {});
        }
    }

    void newPage(const QVariantList* row) {
        finishPage();
        m_doc.pages.append(Page());
        m_y = kMargin;
        if (m_def.pageHeader.present) {
            draw(m_def.pageHeader, m_y, row ? row : m_lastRow, {});
            m_y += m_def.pageHeader.height;
        }
        // Headers marked to repeat are printed again on each page their group continues on.
        for (int l = 0; l < m_def.groups.size(); ++l) {
            if (const QVariantList* r = m_repeat.value(l)) {
                draw(m_def.groups[l].header, m_y, r, m_scope.value(l));
                m_y += m_def.groups[l].header.height;
            }
        }
        m_placedSomething = false;
    }

    void place(const Band& band, const QVariantList* row, const QList<const QVariantList*>& scope) {
        if (!band.present) return;
        if (m_y + band.height > limit() && m_placedSomething) newPage(row);
        draw(band, m_y, row, scope);
        m_y += band.height;
        m_placedSomething = true;
        if (row) m_lastRow = row;
        for (const Element& e : band.elements)
            if (e.kind == Element::CrossTab) crossTab(e, scope);
    }

    void draw(const Band& band, double top, const QVariantList* row, const QList<const QVariantList*>& scope) {
        Page& page = m_doc.pages.last();
        const int number = int(m_doc.pages.size());
        for (const Element& e : band.elements) {
            Item item;
            switch (e.kind) {
                case Element::Text:
                    item.kind = Item::Text;
                    item.rect = QRectF(kMargin + e.x, top + e.y, e.width, e.height);
                    item.text = Substitute(e.text, m_data.columns, row, scope, number, m_def.title, m_today);
                    item.align = e.align;
                    item.font = e.font;
                    break;
                case Element::Line:
                    item.kind = Item::Line;
                    item.rect = QRectF(QPointF(kMargin + e.x, top + e.y), QPointF(kMargin + e.x2, top + e.y2));
                    item.lineWidth = e.lineWidth;
                    break;
                case Element::Box:
                    item.kind = Item::Box;
                    item.rect = QRectF(kMargin + e.x, top + e.y, e.width, e.height);
                    item.lineWidth = e.lineWidth;
                    item.shaded = e.shaded;
                    break;
                case Element::CrossTab:
                    continue;
            }
            page.items << item;
        }
    }

    void text(double x, double y, double w, double h, const QString& t, int align, bool bold = false) {
        Item item;
        item.kind = Item::Text;
        item.rect = QRectF(x + 2, y, w - 4, h);
        item.text = t;
        item.align = align;
        item.font.size = 8;
        item.font.bold = bold;
        m_doc.pages.last().items << item;
        Item box;
        box.kind = Item::Box;
        box.rect = QRectF(x, y, w, h);
        box.lineWidth = 0.4;
        box.shaded = bold;
        m_doc.pages.last().items.insert(m_doc.pages.last().items.size() - 1, box);
    }

    // Rows by the row field, columns by the column field (ordered by columnOrder), a cell per pair.
    void crossTab(const Element& e, const QList<const QVariantList*>& scope) {
        const QStringList& cols = m_data.columns;
        const int rowCol = int(cols.indexOf(e.rowField));
        const int colCol = int(cols.indexOf(e.columnField));
        const int orderCol = int(cols.indexOf(e.columnOrder.isEmpty() ? e.columnField : e.columnOrder));
        const int valueCol = int(cols.indexOf(e.valueField));
        const int extraCol = e.rowValue.isEmpty() ? -1 : int(cols.indexOf(e.rowValue));
        if (rowCol < 0 || colCol < 0 || valueCol < 0) return;
        QStringList rowKeys;
        QHash<QString, QVariant> extra;
        struct Column {
            QString key;
            QVariant order;
        };
        QList<Column> columns;
        QHash<QString, QVariant> cells;
        for (const QVariantList* r : scope) {
            const QString rk = r->at(rowCol).toString();
            const QString ck = r->at(colCol).toString();
            if (!rowKeys.contains(rk)) rowKeys << rk;
            if (extraCol >= 0) extra.insert(rk, r->at(extraCol));
            bool known = false;
            for (const Column& c : columns) known = known || c.key == ck;
            if (!known) columns << Column{ck, orderCol >= 0 ? r->at(orderCol) : QVariant()};
            cells.insert(rk + QChar(0) + ck, r->at(valueCol));
        }
        std::stable_sort(columns.begin(), columns.end(), [](const Column& a, const Column& b) {
            return QVariant::compare(a.order, b.order) == QPartialOrdering::Less;
        });
        const double x0 = kMargin + e.x;
        const double width = m_doc.pageSize.width() - kMargin - x0;
        const double extraWidth = extraCol >= 0 ? e.columnWidth + 10 : 0;
        const int perChunk = std::max(1, int((width - e.rowWidth - extraWidth) / e.columnWidth));
        const double headerHeight = 2 * e.rowHeight;
        const int center = int(Qt::AlignCenter | Qt::TextWordWrap);
        const int left = int(Qt::AlignLeft | Qt::AlignVCenter);
        for (int start = 0; start < columns.size() || start == 0; start += perChunk) {
            const int end = std::min<int>(int(columns.size()), start + perChunk);
            auto header = [&] {
                text(x0, m_y, e.rowWidth, headerHeight, e.rowTitle, left, true);
                for (int c = start; c < end; ++c)
                    text(x0 + e.rowWidth + (c - start) * e.columnWidth, m_y, e.columnWidth, headerHeight, columns[c].key, center, true);
                if (extraCol >= 0)
                    text(x0 + e.rowWidth + (end - start) * e.columnWidth + 10, m_y, e.columnWidth, headerHeight,
                         e.rowValueTitle, center, true);
                m_y += headerHeight;
            };
            // Columns that did not fit go on a page of their own, beside the same rows.
            if (start > 0 || m_y + headerHeight + e.rowHeight > limit()) newPage(m_lastRow);
            header();
            for (const QString& rk : rowKeys) {
                if (m_y + e.rowHeight > limit()) {
                    newPage(m_lastRow);
                    header();
                }
                text(x0, m_y, e.rowWidth, e.rowHeight, rk, left);
                for (int c = start; c < end; ++c)
                    text(x0 + e.rowWidth + (c - start) * e.columnWidth, m_y, e.columnWidth, e.rowHeight,
                         formatted(cells.value(rk + QChar(0) + columns[c].key), e.valueFormat), center);
                if (extraCol >= 0)
                    text(x0 + e.rowWidth + (end - start) * e.columnWidth + 10, m_y, e.columnWidth, e.rowHeight,
                         formatted(extra.value(rk), e.rowValueFormat), center);
                m_y += e.rowHeight;
            }
            m_y += e.rowHeight;
            if (columns.isEmpty()) break;
        }
        m_placedSomething = true;
    }

    const Definition& m_def;
    const Rows& m_data;
    QDate m_today;
    Document m_doc;
    double m_y = kMargin;
    bool m_placedSomething = false;
    const QVariantList* m_lastRow = nullptr;
    QHash<int, const QVariantList*> m_repeat;
    QHash<int, QList<const QVariantList*>> m_scope;
};

}  // namespace

Document Layout(const Definition& definition, const Rows& data, QDate today) {
    return Layouter(definition, data, today).run();
}

}  // namespace report
