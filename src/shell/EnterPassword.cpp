#include "EnterPassword.h"

#include "Context.h"
#include "platform/ui/Ui.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

EnterPassword::EnterPassword(Context& ctx) : Form(ctx, nullptr, Qt::Dialog | Qt::WindowCloseButtonHint) {
    setWindowTitle("Enter Password");
    EnterPWLabel = new QLabel("Enter the password.");
    PWText = new QLineEdit;
    PWText->setObjectName("PWText");
    PWText->setEchoMode(QLineEdit::Password);
    Command1 = new QPushButton("OK");
    Command1->setDefault(true);
    Command2 = new QPushButton("Help");
    auto* layout = new QGridLayout(this);
    layout->addWidget(EnterPWLabel, 0, 0, 1, 2);
    layout->addWidget(PWText, 1, 0, 1, 2);
    layout->addWidget(Command1, 2, 0);
    layout->addWidget(Command2, 2, 1);
    setMinimumWidth(320);
    connect(Command1, &QPushButton::clicked, this, &EnterPassword::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &EnterPassword::Command2_Click);
    connect(PWText, &QLineEdit::returnPressed, this, &EnterPassword::Command1_Click);
}

void EnterPassword::Form_Activate() { PWText->setFocus(); }

void EnterPassword::Command1_Click() {
    m_ctx.state.FilePassword = PWText->text();
    hide();
}

void EnterPassword::Command2_Click() { m_ctx.ui.ShowHelp("Tlyroll.hlp", Ui::HelpCommand::Context, 20); }
