#pragma once

#include <QWidget>

class GridModel;
class QTableView;

// The grid the grade sheet is built on, in the vocabulary it is written in: rows and columns
// counted with the fixed heading row and the fixed columns, text by cell, a current cell with a
// change signal, widths and positions in twips. Row 0 is the heading row (it stays in view while
// the rows scroll) and the fixed columns stay in view while the columns scroll. The grid is not
// editable itself; the grade sheet lays its own editor over a cell.
class GridControl : public QWidget {
    Q_OBJECT

public:
    enum Alignment { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };

    explicit GridControl(QWidget* parent = nullptr);

    int Rows() const;
    void setRows(int rows);
    int Cols() const;
    void setCols(int cols);
    int FixedRows() const { return 1; }
    int FixedCols() const;
    void setFixedCols(int cols);

    // Empties every cell and heading.
    void Clear();
    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);

    int Row() const { return m_row; }
    int Col() const { return m_col; }
    // Moves the current cell; RowColChange follows when it changes. Fixed cells cannot be current.
    void setCurrentCell(int row, int col);
    // Shows the first rows and columns, wherever the current cell is.
    void scrollToTop();

    int ColWidth(int col) const;  // twips
    void setColWidth(int col, int twips);
    int ColAlignment(int col) const;
    void setColAlignment(int col, int alignment);
    // The heading cells of a fixed column keep their own alignment.
    void setFixedAlignment(int col, int alignment);

    // Positions inside the grid, in twips, following scrolling.
    int RowPos(int row) const;
    int ColPos(int col) const;
    int RowHeight(int row) const;
    bool RowIsVisible(int row) const;
    bool ColIsVisible(int col) const;

    // While a fill runs the views are not told of each cell; they redraw once when it ends.
    void beginFill();
    void endFill();

    QTableView* table() const { return m_table; }

signals:
    void RowColChange();
    // A click on the cell that is already current.
    void CurrentCellClicked();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void onCurrentCellChanged(int row, int col, int previousRow, int previousCol);
    void layoutFrozen();
    void hideScrollingColumnsInFrozenView();

    GridModel* m_model;
    QTableView* m_table;
    QTableView* m_frozen;
    int m_row = 0;
    int m_col = 0;
    bool m_moving = false;
    bool m_filling = false;
};
