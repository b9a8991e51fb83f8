#include "Forms.h"

#include "Context.h"
#include "platform/ui/Ui.h"

#include <QMdiSubWindow>
#include <algorithm>

Forms::~Forms() {
    // Newest first, so child windows go before the main window that holds them.
    for (auto it = m_created.rbegin(); it != m_created.rend(); ++it) {
        if (Form* f = it->data()) {
            f->Unload();
            delete f;
        }
    }
}

void Forms::destroy(Form* form) {
    if (m_activeChild == form) m_activeChild = nullptr;
    QWidget* victim = form;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget())) victim = sub;
    victim->hide();
    form->Unload();
    victim->deleteLater();
}

void Forms::showModal(Form& form) {
    QPointer<Form> previous = m_activeChild;
    m_ctx.ui.ShowModal(form);
    if (previous && previous->isVisible()) previous->Activate();
}

void Forms::setActiveChild(Form* form) {
    if (m_activeChild == form) return;
    QPointer<Form> previous = m_activeChild;
    m_activeChild = form;
    if (previous) previous->Deactivate();
    if (form) form->Activate();
}
