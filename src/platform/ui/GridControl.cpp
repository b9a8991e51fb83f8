#include "GridControl.h"

#include "GridModel.h"
#include "Twips.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

GridControl::GridControl(QWidget* parent) : QWidget(parent) {
    m_model = new GridModel(this);
    m_model->setHeadingBrush(palette().button());
    m_table = new QTableView(this);
    m_table->setModel(m_model);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setHighlightSections(false);
    // Headings wrap onto a second line, so that assignment names are readable in narrow columns.
    m_table->horizontalHeader()->setFixedHeight(2 * fontMetrics().height() + 8);
    m_table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_table->setWordWrap(false);
    const int rowHeight = fontMetrics().height() + 8;
    m_table->verticalHeader()->setDefaultSectionSize(rowHeight);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    // The fixed columns: a second view of the same cells laid over the left edge, so that names
    // and averages stay in view while the assignment columns scroll under it.
    m_frozen = new QTableView(m_table);
    m_frozen->setModel(m_model);
    m_frozen->setSelectionModel(m_table->selectionModel());
    m_frozen->setFocusPolicy(Qt::NoFocus);
    m_frozen->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_frozen->verticalHeader()->hide();
    m_frozen->verticalHeader()->setDefaultSectionSize(rowHeight);
    m_frozen->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_frozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_frozen->horizontalHeader()->setHighlightSections(false);
    m_frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_frozen->setWordWrap(false);
    m_frozen->setFrameShape(QFrame::NoFrame);
    m_frozen->setStyleSheet("QTableView { border-right: 1px solid palette(mid); }");
    m_table->viewport()->stackUnder(m_frozen);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);

    connect(m_frozen->verticalScrollBar(), &QScrollBar::valueChanged, m_table->verticalScrollBar(), &QScrollBar::setValue);
    connect(m_table->verticalScrollBar(), &QScrollBar::valueChanged, m_frozen->verticalScrollBar(), &QScrollBar::setValue);
    connect(m_table->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!m_filling) layoutFrozen();
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &GridControl::hideScrollingColumnsInFrozenView);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                onCurrentCellChanged(current.row(), current.column(), previous.row(), previous.column());
            });
    connect(m_table, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.row() + 1 == m_row && index.column() == m_col) emit CurrentCellClicked();
    });
    m_model->resize(2, 2);
}

int GridControl::Rows() const { return m_model->gridRows(); }
int GridControl::Cols() const { return m_model->gridCols(); }
int GridControl::FixedCols() const { return m_model->fixedCols(); }

void GridControl::setRows(int rows) {
    if (rows == Rows()) return;
    m_model->resize(std::max(rows, 1), Cols());
    m_row = m_col = 0;
}

void GridControl::setCols(int cols) {
    if (cols == Cols()) return;
    m_model->resize(Rows(), cols);
    m_row = m_col = 0;
}

void GridControl::setFixedCols(int cols) { m_model->setFixedCols(cols); }

void GridControl::hideScrollingColumnsInFrozenView() {
    for (int c = 0; c < Cols(); ++c) m_frozen->setColumnHidden(c, c >= FixedCols());
    layoutFrozen();
}

void GridControl::beginFill() {
    m_filling = true;
    m_model->setBatch(true);
}

void GridControl::endFill() {
    m_filling = false;
    m_model->setBatch(false);
    layoutFrozen();
}

void GridControl::Clear() { m_model->clearAll(); }

QString GridControl::TextMatrix(int row, int col) const { return m_model->text(row, col); }

void GridControl::setTextMatrix(int row, int col, const QString& text) { m_model->setText(row, col, text); }

void GridControl::scrollToTop() {
    m_table->scrollToTop();
    m_table->horizontalScrollBar()->setValue(0);
}

void GridControl::setCurrentCell(int row, int col) {
    if (row < 1 || row >= Rows() || col < FixedCols() || col >= Cols()) return;
    const QModelIndex target = m_model->index(row - 1, col);
    if (row == m_row && col == m_col && m_table->currentIndex() == target) return;
    m_table->setCurrentIndex(target);
}

void GridControl::onCurrentCellChanged(int row, int col, int previousRow, int previousCol) {
    if (m_moving || row < 0 || col < 0) return;
    if (col < FixedCols()) {
        // Fixed cells are headings: the current cell stays where it was.
        m_moving = true;
        m_table->selectionModel()->setCurrentIndex(
            previousRow >= 0 && previousCol >= FixedCols() ? m_model->index(previousRow, previousCol) : QModelIndex(),
            QItemSelectionModel::ClearAndSelect);
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
    if (m_table->columnWidth(col) == twips::toPixels(width)) return;
    m_table->setColumnWidth(col, twips::toPixels(width));
    if (col < FixedCols()) m_frozen->setColumnWidth(col, twips::toPixels(width));
}

int GridControl::ColAlignment(int col) const { return m_model->alignment(col); }
void GridControl::setColAlignment(int col, int alignment) { m_model->setAlignment(col, alignment); }
void GridControl::setFixedAlignment(int col, int alignment) { m_model->setFixedAlignment(col, alignment); }

int GridControl::RowPos(int row) const {
    const int frame = m_table->frameWidth();
    if (row == 0) return twips::fromPixels(frame);
    return twips::fromPixels(frame + m_table->horizontalHeader()->height() + m_table->rowViewportPosition(row - 1));
}

int GridControl::ColPos(int col) const {
    const int frame = m_table->frameWidth();
    const int x = col < FixedCols() ? m_frozen->columnViewportPosition(col) : m_table->columnViewportPosition(col);
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
    if (col < FixedCols()) return true;
    int frozenWidth = 0;
    for (int c = 0; c < FixedCols() && c < Cols(); ++c) frozenWidth += m_table->columnWidth(c);
    const int x = m_table->columnViewportPosition(col);
    return x + m_table->columnWidth(col) > frozenWidth && x < m_table->viewport()->width();
}

void GridControl::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    layoutFrozen();
}

void GridControl::layoutFrozen() {
    int width = 0;
    for (int c = 0; c < FixedCols() && c < Cols(); ++c) {
        m_frozen->setColumnWidth(c, m_table->columnWidth(c));
        width += m_table->columnWidth(c);
    }
    m_frozen->horizontalHeader()->setFixedHeight(m_table->horizontalHeader()->height());
    const int frame = m_table->frameWidth();
    m_frozen->setGeometry(frame, frame, width + 1, m_table->viewport()->height() + m_table->horizontalHeader()->height());
    m_frozen->verticalScrollBar()->setValue(m_table->verticalScrollBar()->value());
}
