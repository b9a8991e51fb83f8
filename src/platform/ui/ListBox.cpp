#include "ListBox.h"

#include "platform/runtime/Runtime.h"

namespace {

// Entries order themselves as names are looked up: case and accents do not scatter them.
class CollatedItem final : public QListWidgetItem {
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem& other) const override {
        static const QCollator collator = runtime::NameCollator();
        return collator.compare(text(), other.text()) < 0;
    }
};

}  // namespace

ListBox::ListBox(QWidget* parent) : QListWidget(parent) { setSortingEnabled(true); }

int ListBox::AddItem(const QString& text, int itemData) {
    auto* item = new CollatedItem(text);
    item->setData(Qt::UserRole, itemData);
    addItem(item);
    return row(item);
}

QString ListBox::List(int index) const {
    const QListWidgetItem* i = item(index);
    return i ? i->text() : QString();
}

int ListBox::ItemData(int index) const {
    const QListWidgetItem* i = item(index);
    return i ? i->data(Qt::UserRole).toInt() : 0;
}

bool ListBox::Selected(int index) const {
    const QListWidgetItem* i = item(index);
    return i && i->isSelected();
}

void ListBox::setSelected(int index, bool selected) {
    if (QListWidgetItem* i = item(index)) i->setSelected(selected);
}

int ListBox::IndexOfData(int itemData) const {
    for (int i = 0; i < count(); ++i)
        if (ItemData(i) == itemData) return i;
    return -1;
}

int ListBox::SelectedCount() const {
    int n = 0;
    for (int i = 0; i < count(); ++i) n += Selected(i) ? 1 : 0;
    return n;
}
