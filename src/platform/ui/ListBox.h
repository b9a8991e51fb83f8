#pragma once

#include <QListWidget>

// A list box with the vocabulary the dialogs are written in: entries kept sorted the way a person
// reads names, a number carried by each entry (a record key or an index, never its position), and
// selection by position.
class ListBox : public QListWidget {
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent = nullptr);

    void Clear() { clear(); }
    // Adds an entry at its sorted place and returns that place.
    int AddItem(const QString& text, int itemData);
    int ListCount() const { return count(); }
    QString List(int index) const;
    int ItemData(int index) const;
    bool Selected(int index) const;
    void setSelected(int index, bool selected);
    int ListIndex() const { return currentRow(); }
    // The position of the entry carrying this number, or -1.
    int IndexOfData(int itemData) const;
    int SelectedCount() const;
};
