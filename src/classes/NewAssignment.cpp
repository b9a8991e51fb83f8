#include "NewAssignment.h"

#include "data/Schema.h"
#include "platform/runtime/Runtime.h"
#include "platform/ui/Ui.h"
#include "shell/Context.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

NewAssignment::NewAssignment(Context& ctx) : Form(ctx, nullptr, Qt::Dialog | Qt::WindowCloseButtonHint) {
    setWindowTitle("New Assignment");
    InstructionsLabel = new QLabel(
        "Enter a description of the assignment, the maximum possible points, and the date of the assignment.");
    InstructionsLabel->setWordWrap(true);
    DescriptionLabel = new QLabel("Description: (Required)");
    DescriptionBox = new QLineEdit;
    DescriptionBox->setObjectName("DescriptionBox");
    DescriptionBox->setMaxLength(50);
    MaximumPointsLabel = new QLabel("Maximum Points: (Required)");
    MaximumPointsBox = new QLineEdit;
    MaximumPointsBox->setObjectName("MaximumPointsBox");
    DateLabel = new QLabel("Date: (Required)");
    DateBox = new QLineEdit;
    DateBox->setObjectName("DateBox");
    DateBox->setPlaceholderText(runtime::FormatShortDate(QDate::currentDate()));
    WeightLabel = new QLabel("Weight: (Optional)");
    WeightBox = new QLineEdit;
    WeightBox->setObjectName("WeightBox");
    AddCommand = new QPushButton("Add");
    AddCommand->setDefault(true);
    CancelCommand = new QPushButton("Cancel");
    Command1 = new QPushButton("Help");
    auto* layout = new QGridLayout(this);
    layout->addWidget(InstructionsLabel, 0, 0, 1, 3);
    layout->addWidget(DescriptionLabel, 1, 0);
    layout->addWidget(DescriptionBox, 1, 1);
    layout->addWidget(MaximumPointsLabel, 2, 0);
    layout->addWidget(MaximumPointsBox, 2, 1);
    layout->addWidget(DateLabel, 3, 0);
    layout->addWidget(DateBox, 3, 1);
    layout->addWidget(WeightLabel, 4, 0);
    layout->addWidget(WeightBox, 4, 1);
    layout->addWidget(AddCommand, 1, 2);
    layout->addWidget(CancelCommand, 2, 2);
    layout->addWidget(Command1, 3, 2);
    setMinimumWidth(460);
    setTabOrder(DescriptionBox, MaximumPointsBox);
    setTabOrder(MaximumPointsBox, DateBox);
    setTabOrder(DateBox, WeightBox);
    connect(AddCommand, &QPushButton::clicked, this, &NewAssignment::AddCommand_Click);
    connect(CancelCommand, &QPushButton::clicked, this, &NewAssignment::CancelCommand_Click);
    connect(Command1, &QPushButton::clicked, this, &NewAssignment::Command1_Click);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &NewAssignment::CancelCommand_Click);
}

void NewAssignment::Form_Activate() {
    for (QLineEdit* b : {DescriptionBox, MaximumPointsBox, DateBox, WeightBox}) b->clear();
    DescriptionBox->setFocus();
}

void NewAssignment::AddCommand_Click() {
    auto& st = m_ctx.state;
    auto& ui = m_ctx.ui;
    // Numbers must also fit the file's single-precision fields.
    auto storable = [](const QString& text) {
        const auto v = runtime::ParseNumber(text);
        return v && runtime::FitsSingle(*v);
    };
    if (DescriptionBox->text().isEmpty() || runtime::Trim(DescriptionBox->text()).isEmpty()) {
        ui.MsgBox("Please enter a description");
        return;
    }
    if (!storable(MaximumPointsBox->text())) {
        ui.MsgBox("Please enter a valid number for the maximum number of points.");
        return;
    }
    const auto date = runtime::ParseDate(DateBox->text());
    if (!date) {
        ui.MsgBox("Please enter a valid date");
        return;
    }
    const QString weight = runtime::Trim(WeightBox->text());
    if (!weight.isEmpty() && !storable(weight)) {
        ui.MsgBox("Please enter a valid number for the weight.");
        return;
    }
    try {
        st.AssignmentsRS.AddNew();
        st.AssignmentsRS.setField("Description", runtime::Trim(DescriptionBox->text()));
        st.AssignmentsRS.setField("MaximumPoints", *runtime::ParseNumber(MaximumPointsBox->text()));
        st.AssignmentsRS.setField("ClassID", st.CurrentClassID);
        st.AssignmentsRS.setField("Date", *date);
        st.AssignmentsRS.setField("Weight", weight.isEmpty() ? 1.0 : *runtime::ParseNumber(weight));
        st.AssignmentsRS.Update();
        st.AssignmentsRS.setBookmark(st.AssignmentsRS.LastModified());
    } catch (const engine::DbError& e) {
        ui.MsgBox("The assignment was not added. " + schema::RefusalMessage(e));
        return;
    }
    hide();
}

void NewAssignment::CancelCommand_Click() { hide(); }

void NewAssignment::Command1_Click() { m_ctx.ui.ShowHelp("Tlyroll.hlp", Ui::HelpCommand::Context, 1); }
