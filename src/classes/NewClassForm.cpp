#include "NewClassForm.h"

#include "SelectStudentForm.h"
#include "data/Schema.h"
#include "platform/runtime/Runtime.h"
#include "platform/ui/Ui.h"
#include "shell/Context.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

NewClassForm::NewClassForm(Context& ctx) : Form(ctx, nullptr, Qt::Dialog | Qt::WindowCloseButtonHint) {
    setWindowTitle("Add a Class");
    InstructionsLabel = new QLabel("Enter the name of the class. ");
    NameBox = new QLineEdit;
    NameBox->setObjectName("NameBox");
    NameBox->setMaxLength(30);
    Label1 = new QLabel("Enter the term.");
    TermBox = new QLineEdit;
    TermBox->setObjectName("TermBox");
    UseWeights = new QCheckBox("Use weights");
    AddCommand = new QPushButton("OK");
    AddCommand->setDefault(true);
    CancelCommand = new QPushButton("Cancel");
    HelpCommand = new QPushButton("Help");
    auto* layout = new QGridLayout(this);
    layout->addWidget(InstructionsLabel, 0, 0);
    layout->addWidget(NameBox, 1, 0);
    layout->addWidget(Label1, 2, 0);
    layout->addWidget(TermBox, 3, 0);
    layout->addWidget(UseWeights, 4, 0);
    layout->addWidget(AddCommand, 0, 1);
    layout->addWidget(CancelCommand, 1, 1);
    layout->addWidget(HelpCommand, 2, 1);
    setMinimumWidth(380);
    setTabOrder(NameBox, TermBox);
    setTabOrder(TermBox, UseWeights);
    connect(AddCommand, &QPushButton::clicked, this, &NewClassForm::AddCommand_Click);
    connect(CancelCommand, &QPushButton::clicked, this, &NewClassForm::CancelCommand_Click);
    connect(HelpCommand, &QPushButton::clicked, this, &NewClassForm::HelpCommand_Click);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &NewClassForm::CancelCommand_Click);
}

void NewClassForm::AddCommand_Click() {
    auto& st = m_ctx.state;
    // A name of blanks only would be stored as no name at all.
    if (NameBox->text().isEmpty() || runtime::Trim(NameBox->text()).isEmpty()) {
        m_ctx.ui.MsgBox("Please enter the class name");
        return;
    }
    try {
        st.ClassesRS.AddNew();
        st.ClassesRS.setField("ClassName", runtime::Trim(NameBox->text()));
        st.ClassesRS.setField("Term", runtime::Trim(TermBox->text()));
        st.ClassesRS.setField("UseWeight", UseWeights->isChecked() ? 1 : 0);
        st.ClassesRS.Update();
        st.ClassesRS.setBookmark(st.ClassesRS.LastModified());
        st.CurrentClassID = st.ClassesRS.field("ClassID").toInt();
    } catch (const engine::DbError& e) {
        // Nothing was written; the dialog stays open for the teacher to correct it.
        m_ctx.ui.MsgBox("The class was not added. " + schema::RefusalMessage(e));
        return;
    }
    hide();
    m_ctx.forms.showModal(m_ctx.forms.get<SelectStudentForm>());
}

void NewClassForm::CancelCommand_Click() { hide(); }

void NewClassForm::HelpCommand_Click() { m_ctx.ui.ShowHelp("Tlyroll.hlp", Ui::HelpCommand::Context, 2); }
