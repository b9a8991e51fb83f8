#include "SelClassForm.h"

#include "platform/ui/ListBox.h"
#include "shell/Context.h"

#include <QGridLayout>
#include <QPushButton>
#include <QShortcut>

SelClassForm::SelClassForm(Context& ctx) : Form(ctx, nullptr, Qt::Dialog | Qt::WindowCloseButtonHint) {
    setWindowTitle("Select a Class");
    ClassList = new ListBox;
    ClassList->setObjectName("ClassList");
    ClassList->setSelectionMode(QAbstractItemView::SingleSelection);
    OKCommand = new QPushButton("OK");
    OKCommand->setDefault(true);
    CancelCommand = new QPushButton("Cancel");
    auto* layout = new QGridLayout(this);
    layout->addWidget(ClassList, 0, 0, 3, 1);
    layout->addWidget(OKCommand, 0, 1);
    layout->addWidget(CancelCommand, 1, 1);
    resize(380, 240);
    connect(ClassList, &QListWidget::itemClicked, this, &SelClassForm::ClassList_Click);
    connect(ClassList, &QListWidget::currentRowChanged, this, &SelClassForm::ClassList_Click);
    connect(ClassList, &QListWidget::itemDoubleClicked, this, &SelClassForm::ClassList_DblClick);
    connect(OKCommand, &QPushButton::clicked, this, &SelClassForm::OKCommand_Click);
    connect(CancelCommand, &QPushButton::clicked, this, &SelClassForm::CancelCommand_Click);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &SelClassForm::CancelCommand_Click);
}

void SelClassForm::Form_Activate() { FillClassList(); }

void SelClassForm::FillClassList() {
    auto& rs = m_ctx.state.ClassesRS;
    ClassList->Clear();
    int n = 0;
    try {
        n = rs.RecordCount();
        if (n > 0) rs.MoveFirst();
        for (int i = 0; i < n && !rs.AtEOF(); ++i) {
            ClassList->AddItem(rs.field("ClassName").toString() + " " + rs.field("Term").toString(),
                               rs.field("ClassID").toInt());
            rs.MoveNext();
        }
    } catch (const engine::DbError&) {
        // The list stays as far as it got.
    }
    // The class on the grade sheet is the one picked until the teacher clicks another, so OK
    // alone keeps it.
    PickedClassID = m_ctx.state.CurrentClassID;
    const int current = ClassList->IndexOfData(PickedClassID);
    ClassList->blockSignals(true);
    ClassList->setCurrentRow(current);
    ClassList->blockSignals(false);
}

void SelClassForm::ClassList_Click() {
    if (ClassList->ListIndex() >= 0) PickedClassID = ClassList->ItemData(ClassList->ListIndex());
}

void SelClassForm::ClassList_DblClick() {
    ClassList_Click();
    OKCommand_Click();
}

void SelClassForm::OKCommand_Click() {
    m_ctx.state.CurrentClassID = PickedClassID;
    hide();
}

void SelClassForm::CancelCommand_Click() { hide(); }
