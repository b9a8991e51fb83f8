#include "Form.h"

#include <QCloseEvent>
#include <QEvent>

Form::Form(Context& ctx, QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags), m_ctx(ctx) {}

void Form::Load() {
    if (m_loaded) return;
    m_loaded = true;
    Form_Load();
}

void Form::Activate() { Form_Activate(); }
void Form::Deactivate() { Form_Deactivate(); }

void Form::Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    Form_Unload();
    emit unloaded();
}

bool Form::event(QEvent* e) {
    if (followsWindowActivation()) {
        if (e->type() == QEvent::WindowActivate) Activate();
        if (e->type() == QEvent::WindowDeactivate) Deactivate();
    }
    return QWidget::event(e);
}

void Form::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Form_Resize();
}

void Form::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    if (!e->spontaneous()) emit hidden();
}

void Form::closeEvent(QCloseEvent* e) {
    e->ignore();
    CloseBox();
}
