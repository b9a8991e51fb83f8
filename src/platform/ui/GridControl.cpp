#include "GridControl.h"

#include "Twips.h"

#include <QHeaderView>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

Qt::Alignment toQt(int alignment) {
    const int wrap = int(Qt::TextWordWrap);
    switch (alignment) {
        case GridControl::AlignRight:
            return Qt::Alignment(int(Qt::AlignRight | Qt::AlignVCenter) | wrap);
        case GridControl::AlignCenter:
            return Qt::Alignment(int(Qt::AlignCenter) | wrap);
        default:
            return Qt::Alignment(int(Qt::AlignLeft | Qt::AlignVCenter) | wrap);
    }
}

}  // namespace

GridControl::GridControl(QWidget* parent) : QWidget(parent) {
    m_table = new QTableWidget(this);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Headings wrap onto a second line, so that assignment names are readable in narrow columns.
    m_table->horizontalHeader()->setDefaultAlignment(Qt::Alignment(int(Qt::AlignCenter) | int(Qt::TextWordWrap)));
    m_table->horizontalHeader()->setTextElideMode(Qt::ElideRight);
    m_table->horizontalHeader()->setFixedHeight(2 * fontMetrics().height() + 8);
    m_table->horizontalHeader()->setHighlightSections(false);
    m_table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    const int rowHeight = fontMetrics().height() + 8;
    m_table->verticalHeader()->setDefaultSectionSize(rowHeight);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    // The fixed columns: a second view of the same cells laid over the left edge, so that names
    // and averages stay in view while the assignment columns scroll under it.
    m_frozen = new QTableView(m_table);
    m_frozen->setModel(m_table->model());
    m_frozen->setSelectionModel(m_table->selectionModel());
    m_frozen->setFocusPolicy(Qt::NoFocus);
    m_frozen->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_frozen->verticalHeader()->hide();
    m_frozen->verticalHeader()->setDefaultSectionSize(rowHeight);
    m_frozen->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_frozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_frozen->horizontalHeader()->setHighlightSections(false);
    m_frozen->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_frozen->setFrameShape(QFrame::NoFrame);
    m_frozen->setStyleSheet("QTableView { border-right: 1px solid palette(mid); }");
    m_table->viewport()->stackUnder(m_frozen);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);

    connect(m_frozen->verticalScrollBar(), &QScrollBar::valueChanged, m_table->verticalScrollBar(), &QScrollBar::setValue);
    connect(m_table->verticalScrollBar(), &QScrollBar::valueChanged, m_frozen->verticalScrollBar(), &QScrollBar::setValue);
    connect(m_table->verticalScrollBar(), &QScrollBar::valueChanged, this, &GridControl::Scrolled);
    connect(m_table->horizontalScrollBar(), &QScrollBar::valueChanged, this, &GridControl::Scrolled);
    connect(m_table->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        layoutFrozen();
        emit Scrolled();
    });
    connect(m_table, &QTableWidget::currentCellChanged, this, &GridControl::onCurrentCellChanged);
    connect(m_table, &QTableWidget::cellClicked, this, [this](int row, int col) {
        if (row + 1 == m_row && col == m_col) emit CurrentCellClicked();
    });
    m_table->setRowCount(1);
    m_table->setColumnCount(2);
    styleFixedColumns();
}

int GridControl::Rows() const { return m_table->rowCount() + 1; }

void GridControl::setRows(int rows) {
    m_table->setRowCount(std::max(rows - 1, 0));
    styleFixedColumns();
}

int GridControl::Cols() const { return m_table->columnCount(); }

void GridControl::setCols(int cols) {
    const int before = m_table->columnCount();
    m_table->setColumnCount(cols);
    for (int c = before; c < cols; ++c) {
        if (!m_table->horizontalHeaderItem(c)) m_table->setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));
    }
    styleFixedColumns();
}

void GridControl::setFixedCols(int cols) {
    m_fixedCols = cols;
    styleFixedColumns();
}

void GridControl::styleFixedColumns() {
    const QBrush heading = palette().button();
    for (int c = 0; c < m_table->columnCount(); ++c) {
        m_frozen->setColumnHidden(c, c >= m_fixedCols);
        if (c >= m_fixedCols) continue;
        for (int r = 0; r < m_table->rowCount(); ++r) {
            QTableWidgetItem* item = m_table->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                m_table->setItem(r, c, item);
            }
            item->setFlags(Qt::ItemIsEnabled);
            item->setBackground(heading);
        }
    }
    layoutFrozen();
}

QString GridControl::TextMatrix(int row, int col) const {
    if (row == 0) {
        const QTableWidgetItem* h = m_table->horizontalHeaderItem(col);
        return h ? h->text() : QString();
    }
    const QTableWidgetItem* item = m_table->item(row - 1, col);
    return item ? item->text() : QString();
}

void GridControl::setTextMatrix(int row, int col, const QString& text) {
    if (col < 0 || col >= Cols() || row < 0 || row >= Rows()) return;
    const bool fixed = row == 0 || col < m_fixedCols;
    const auto& table = fixed ? m_fixedAlign : m_align;
    const QVariant prop = table.contains(col) ? QVariant(table.value(col)) : QVariant();
    if (row == 0) {
        QTableWidgetItem* h = m_table->horizontalHeaderItem(col);
        if (!h) {
            h = new QTableWidgetItem;
            m_table->setHorizontalHeaderItem(col, h);
        }
        h->setText(text);
        h->setToolTip(text);
        if (prop.isValid()) h->setTextAlignment(toQt(prop.toInt()));
        return;
    }
    QTableWidgetItem* item = m_table->item(row - 1, col);
    if (!item) {
        item = new QTableWidgetItem;
        m_table->setItem(row - 1, col, item);
        if (col < m_fixedCols) {
            item->setFlags(Qt::ItemIsEnabled);
            item->setBackground(palette().button());
        }
    }
    item->setText(text);
    item->setTextAlignment(prop.isValid() ? toQt(prop.toInt()) : toQt(AlignLeft));
}

void GridControl::scrollToTop() {
    m_table->scrollToTop();
    m_table->horizontalScrollBar()->setValue(0);
}

void GridControl::setCurrentCell(int row, int col) {
    if (row < 1 || row >= Rows() || col < m_fixedCols || col >= Cols()) return;
    if (row == m_row && col == m_col && m_table->currentRow() == row - 1 && m_table->currentColumn() == col) return;
    m_table->setCurrentCell(row - 1, col);
}

void GridControl::onCurrentCellChanged(int row, int col, int previousRow, int previousCol) {
    if (m_moving || row < 0 || col < 0) return;
    if (col < m_fixedCols) {
        // Fixed cells are headings: the current cell stays where it was.
        m_moving = true;
        if (previousRow >= 0 && previousCol >= m_fixedCols) {
            m_table->setCurrentCell(previousRow, previousCol);
        } else {
            m_table->setCurrentCell(-1, -1);
        }
        m_moving = false;
        return;
    }
    if (row + 1 == m_row && col == m_col) return;
    m_row = row + 1;
    m_col = col;
    emit RowColChange();
}

int GridControl::ColWidth(int col) const { return twips::fromPixels(m_table->columnWidth(col)); }

void GridControl::setColWidth(int col, int width) {
    m_table->setColumnWidth(col, twips::toPixels(width));
    if (col < m_fixedCols) m_frozen->setColumnWidth(col, twips::toPixels(width));
    layoutFrozen();
}

int GridControl::ColAlignment(int col) const {
    return m_align.value(col, AlignLeft);
}

void GridControl::setColAlignment(int col, int alignment) {
    m_align[col] = alignment;
    if (col < m_fixedCols) return;
    for (int r = 0; r < m_table->rowCount(); ++r)
        if (QTableWidgetItem* item = m_table->item(r, col)) item->setTextAlignment(toQt(alignment));
}

void GridControl::setFixedAlignment(int col, int alignment) {
    m_fixedAlign[col] = alignment;
    if (QTableWidgetItem* h = m_table->horizontalHeaderItem(col)) h->setTextAlignment(toQt(alignment));
    if (col >= m_fixedCols) return;
    for (int r = 0; r < m_table->rowCount(); ++r)
        if (QTableWidgetItem* item = m_table->item(r, col)) item->setTextAlignment(toQt(alignment));
}

int GridControl::RowPos(int row) const {
    const int frame = m_table->frameWidth();
    if (row == 0) return twips::fromPixels(frame);
    return twips::fromPixels(frame + m_table->horizontalHeader()->height() + m_table->rowViewportPosition(row - 1));
}

int GridControl::ColPos(int col) const {
    const int frame = m_table->frameWidth();
    const int x = col < m_fixedCols ? m_frozen->columnViewportPosition(col) : m_table->columnViewportPosition(col);
    return twips::fromPixels(frame + x);
}

int GridControl::RowHeight(int row) const {
    if (row == 0) return twips::fromPixels(m_table->horizontalHeader()->height());
    return twips::fromPixels(m_table->rowHeight(row - 1));
}

bool GridControl::RowIsVisible(int row) const {
    if (row <= 0) return true;
    const int y = m_table->rowViewportPosition(row - 1);
    return y + m_table->rowHeight(row - 1) > 0 && y < m_table->viewport()->height();
}

bool GridControl::ColIsVisible(int col) const {
    if (col < m_fixedCols) return true;
    int frozenWidth = 0;
    for (int c = 0; c < m_fixedCols && c < Cols(); ++c) frozenWidth += m_table->columnWidth(c);
    const int x = m_table->columnViewportPosition(col);
    return x + m_table->columnWidth(col) > frozenWidth && x < m_table->viewport()->width();
}

void GridControl::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    layoutFrozen();
    emit Scrolled();
}

void GridControl::layoutFrozen() {
    int width = 0;
    for (int c = 0; c < m_fixedCols && c < m_table->columnCount(); ++c) {
        m_frozen->setColumnWidth(c, m_table->columnWidth(c));
        width += m_table->columnWidth(c);
    }
    m_frozen->horizontalHeader()->setFixedHeight(m_table->horizontalHeader()->height());
    const int frame = m_table->frameWidth();
    m_frozen->setGeometry(frame, frame, width + 1, m_table->viewport()->height() + m_table->horizontalHeader()->height());
    m_frozen->verticalScrollBar()->setValue(m_table->verticalScrollBar()->value());
}
