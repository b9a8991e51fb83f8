#include "ChangePassword.h"

#include "Context.h"
#include "data/Crypt.h"
#include "platform/runtime/Runtime.h"
#include "platform/ui/Ui.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <functional>

ChangePassword::ChangePassword(Context& ctx) : Form(ctx, nullptr, Qt::Dialog | Qt::WindowCloseButtonHint) {
    setWindowTitle("Enter New Password");
    PWLabel = new QLabel("Enter the password");
    Text1 = new QLineEdit;
    Text1->setObjectName("Text1");
    Text1->setEchoMode(QLineEdit::Password);
    Text1->setMaxLength(10);
    Label2 = new QLabel("Enter the password again to verify it");
    Text2 = new QLineEdit;
    Text2->setObjectName("Text2");
    Text2->setEchoMode(QLineEdit::Password);
    Text2->setMaxLength(10);
    OKCommand = new QPushButton("OK");
    OKCommand->setDefault(true);
    CancelCommand = new QPushButton("Cancel");
    auto* layout = new QGridLayout(this);
    layout->addWidget(PWLabel, 0, 0, 1, 2);
    layout->addWidget(Text1, 1, 0, 1, 2);
    layout->addWidget(Label2, 2, 0, 1, 2);
    layout->addWidget(Text2, 3, 0, 1, 2);
    layout->addWidget(OKCommand, 4, 0);
    layout->addWidget(CancelCommand, 4, 1);
    setMinimumWidth(340);
    connect(OKCommand, &QPushButton::clicked, this, &ChangePassword::OKCommand_Click);
    connect(CancelCommand, &QPushButton::clicked, this, &ChangePassword::CancelCommand_Click);
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, [this] {
        if (CancelCommand->isVisible()) CancelCommand_Click();
    });
}

void ChangePassword::setNewFileMode(bool newFile) {
    m_newFile = newFile;
    CancelCommand->setVisible(!newFile);
}

void ChangePassword::Form_Activate() {
    Text1->clear();
    Text2->clear();
    Text1->setFocus();
}

void ChangePassword::CloseBox() {
    if (!m_newFile) CancelCommand_Click();
}

void ChangePassword::OKCommand_Click() {
    auto& st = m_ctx.state;
    const QString first = runtime::Trim(Text1->text());
    const QString second = runtime::Trim(Text2->text());
    Text1->setText(first);
    Text2->setText(second);
    if (first != second) {
        m_ctx.ui.MsgBox("Passwords did not match. Your password was not changed. Try again or cancel.");
        return;
    }
    // The file keeps its password in single-byte codes; a character without one would be stored
    // as something else and the file could never be opened again.
    if (!secret::IsStorablePassword(first)) {
        m_ctx.ui.MsgBox("The password can only use letters, digits and the signs of Western European "
                        "keyboards. Your password was not changed. Try again or cancel.");
        return;
    }
    st.FilePassword = first;
    if (!m_newFile) {
        if (!st.SecurityRS.isOpen()) {
            hide();
            return;
        }
        // Each step's error is shown and the next step runs; a record set that is no longer valid
        // ends the change quietly.
        const std::function<void()> steps[] = {
            [&] { st.SecurityRS.MoveFirst(); },
            [&] { st.SecurityRS.Edit(); },
            [&] { st.SecurityRS.setField("Password", secret::Crypt(st.FilePassword)); },
            [&] { st.SecurityRS.Update(); },
        };
        for (const auto& step : steps) {
            try {
                step();
            } catch (const engine::DbError& e) {
                if (e.number() == engine::ErrObjectInvalid) break;
                m_ctx.ui.MsgBox("ChangePassword - " + e.description());
            }
        }
    }
    hide();
}

void ChangePassword::CancelCommand_Click() {
    m_ctx.ui.MsgBox("Password was not changed.");
    hide();
}
