#include "GridModel.h"

#include "GridControl.h"

void GridModel::resize(int gridRows, int gridCols) {
    beginResetModel();
    QVector<QString> cells(std::size_t(gridRows) * gridCols);
    for (int r = 0; r < std::min(gridRows, m_rows); ++r)
        for (int c = 0; c < std::min(gridCols, m_cols); ++c) cells[r * gridCols + c] = m_cells[r * m_cols + c];
    m_cells = std::move(cells);
    m_rows = gridRows;
    m_cols = gridCols;
    m_align.resize(gridCols, -1);
    m_fixedAlign.resize(gridCols, -1);
    endResetModel();
}

void GridModel::clearAll() {
    for (QString& c : m_cells) c.clear();
    if (!m_batch && m_rows > 1 && m_cols > 0) {
        emit dataChanged(index(0, 0), index(m_rows - 2, m_cols - 1));
        emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
    }
}

QString GridModel::text(int gridRow, int col) const {
    if (gridRow < 0 || gridRow >= m_rows || col < 0 || col >= m_cols) return {};
    return m_cells[gridRow * m_cols + col];
}

void GridModel::setText(int gridRow, int col, const QString& text) {
    if (gridRow < 0 || gridRow >= m_rows || col < 0 || col >= m_cols) return;
    m_cells[gridRow * m_cols + col] = text;
    if (m_batch) return;
    if (gridRow == 0) {
        emit headerDataChanged(Qt::Horizontal, col, col);
    } else {
        const QModelIndex i = index(gridRow - 1, col);
        emit dataChanged(i, i, {Qt::DisplayRole});
    }
}

void GridModel::setFixedCols(int cols) {
    beginResetModel();
    m_fixedCols = cols;
    endResetModel();
}

void GridModel::setAlignment(int col, int alignment) {
    if (col < 0 || col >= m_cols) return;
    m_align[col] = alignment;
    if (!m_batch && m_rows > 1) emit dataChanged(index(0, col), index(m_rows - 2, col), {Qt::TextAlignmentRole});
}

void GridModel::setFixedAlignment(int col, int alignment) {
    if (col < 0 || col >= m_cols) return;
    m_fixedAlign[col] = alignment;
    if (!m_batch) emit headerDataChanged(Qt::Horizontal, col, col);
}

void GridModel::setBatch(bool batch) {
    m_batch = batch;
    if (!batch && m_rows > 1 && m_cols > 0) {
        emit dataChanged(index(0, 0), index(m_rows - 2, m_cols - 1));
        emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
    }
}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : std::max(m_rows - 1, 0); }
int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_cols; }

Qt::Alignment GridModel::qtAlignment(int gridRow, int col) const {
    const bool fixed = gridRow == 0 || col < m_fixedCols;
    int a = fixed ? m_fixedAlign.value(col, -1) : m_align.value(col, -1);
    if (a < 0) a = gridRow == 0 ? GridControl::AlignCenter : GridControl::AlignLeft;
    const int wrap = int(Qt::TextWordWrap);
    switch (a) {
        case GridControl::AlignRight:
            return Qt::Alignment(int(Qt::AlignRight | Qt::AlignVCenter) | wrap);
        case GridControl::AlignCenter:
            return Qt::Alignment(int(Qt::AlignCenter) | wrap);
        default:
            return Qt::Alignment(int(Qt::AlignLeft | Qt::AlignVCenter) | wrap);
    }
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int gridRow = index.row() + 1;
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return text(gridRow, index.column());
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(qtAlignment(gridRow, index.column()));
        case Qt::BackgroundRole:
            return index.column() < m_fixedCols ? QVariant(m_heading) : QVariant();
        default:
            return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return text(0, section);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(qtAlignment(0, section));
    return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return index.column() < m_fixedCols ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
