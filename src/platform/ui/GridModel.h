#pragma once

#include <QAbstractTableModel>
#include <QBrush>
#include <QList>
#include <QString>
#include <QVector>

// The cells of the grid. Row 0 of the grid is the heading row and is given to the views as their
// heading; the other rows are model rows. Fixed columns can be seen but not selected.
class GridModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit GridModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    int gridRows() const { return m_rows; }
    int gridCols() const { return m_cols; }
    void resize(int gridRows, int gridCols);
    void clearAll();

    QString text(int gridRow, int col) const;
    void setText(int gridRow, int col, const QString& text);

    int fixedCols() const { return m_fixedCols; }
    void setFixedCols(int cols);
    int alignment(int col) const { return m_align.value(col, 0); }
    void setAlignment(int col, int alignment);
    void setFixedAlignment(int col, int alignment);
    void setHeadingBrush(const QBrush& brush) { m_heading = brush; }

    void setBatch(bool batch);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    Qt::Alignment qtAlignment(int gridRow, int col) const;

    int m_rows = 1;
    int m_cols = 0;
    int m_fixedCols = 2;
    QVector<QString> m_cells;  // m_rows x m_cols, row 0 the headings
    QVector<int> m_align;
    QVector<int> m_fixedAlign;
    QBrush m_heading;
    bool m_batch = false;
};
