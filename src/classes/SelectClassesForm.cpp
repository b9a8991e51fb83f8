#include "SelectClassesForm.h"

#include "platform/ui/ListBox.h"
#include "platform/ui/Ui.h"
#include "shell/Context.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

namespace {
constexpr int kMostClasses = 6;
}

SelectClassesForm::SelectClassesForm(Context& ctx) : Form(ctx, nullptr, Qt::Dialog | Qt::WindowCloseButtonHint) {
    setWindowTitle("Select Classes");
    Label1 = new QLabel("Select up to 6 classes to plot:");
    ClassList = new ListBox;
    ClassList->setObjectName("ClassList");
    ClassList->setSelectionMode(QAbstractItemView::MultiSelection);
    OKCommand = new QPushButton("OK");
    OKCommand->setDefault(true);
    CancelCommand = new QPushButton("Cancel");
    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(ClassList, 1, 0, 3, 1);
    layout->addWidget(OKCommand, 1, 1);
    layout->addWidget(CancelCommand, 2, 1);
    resize(380, 260);
    connect(ClassList, &QListWidget::itemClicked, this, &SelectClassesForm::ClassList_Click);
    connect(OKCommand, &QPushButton::clicked, this, &SelectClassesForm::OKCommand_Click);
    connect(CancelCommand, &QPushButton::clicked, this, &SelectClassesForm::CancelCommand_Click);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &SelectClassesForm::CancelCommand_Click);
}

void SelectClassesForm::FillClassList() {
    const auto& st = m_ctx.state;
    ClassList->Clear();
    for (int i = 0; i < st.NumClasses && i < st.ClassNameList.size(); ++i) ClassList->AddItem(st.ClassNameList[i], i);
    for (int p = 0; p < ClassList->ListCount(); ++p)
        ClassList->setSelected(p, st.ClassSelected.value(ClassList->ItemData(p), false));
}

int SelectClassesForm::CountNumSelected() const { return ClassList->SelectedCount(); }

void SelectClassesForm::ClassList_Click() {
    NumSelected = CountNumSelected();
    if (NumSelected > kMostClasses) {
        ClassList->setSelected(ClassList->ListIndex(), false);
        m_ctx.ui.MsgBox("Can't select more than 6 classes");
    }
}

void SelectClassesForm::OKCommand_Click() {
    auto& st = m_ctx.state;
    for (int p = 0; p < ClassList->ListCount(); ++p) {
        const int i = ClassList->ItemData(p);
        if (i >= 0 && i < st.ClassSelected.size()) st.ClassSelected[i] = ClassList->Selected(p);
    }
    hide();
}

void SelectClassesForm::CancelCommand_Click() { hide(); }
