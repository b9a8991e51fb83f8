#include "ScriptedUi.h"

#include "platform/ui/Form.h"

#include <QFileInfo>
#include <QPointer>
#include <gtest/gtest.h>

Ui::Answer ScriptedUi::MsgBox(const QString& text, Buttons buttons) {
    messages << text;
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (m_msgAnswers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return Answer::No;
    }
    const Answer a = m_msgAnswers.front();
    m_msgAnswers.pop_front();
    return a;
}

std::optional<QString> ScriptedUi::InputBox(const QString& prompt, const QString&, const QString&) {
    inputPrompts << prompt;
    if (m_inputs.empty()) {
        ADD_FAILURE() << "unexpected input box: " << prompt.toStdString();
        return std::nullopt;
    }
    auto a = m_inputs.front();
    m_inputs.pop_front();
    return a;
}

std::optional<Ui::FileChoice> ScriptedUi::OpenFile(const QString&, const QString&, const QString&) {
    ++fileDialogs;
    if (m_files.empty()) {
        ADD_FAILURE() << "unexpected file dialog";
        return std::nullopt;
    }
    auto a = m_files.front();
    m_files.pop_front();
    if (!a) return std::nullopt;
    return FileChoice{*a, QFileInfo(*a).fileName()};
}

std::optional<Ui::FileChoice> ScriptedUi::SaveFile(const QString&, const QString&) {
    if (m_saves.empty()) {
        ADD_FAILURE() << "unexpected save dialog";
        return std::nullopt;
    }
    auto a = m_saves.front();
    m_saves.pop_front();
    if (!a) return std::nullopt;
    return FileChoice{*a, QFileInfo(*a).fileName()};
}

void ScriptedUi::ShowReport(const report::Document& document) { reports << document; }

bool ScriptedUi::PrinterSetup() {
    ++printerDialogs;
    if (m_printer.empty()) return false;
    const bool ok = m_printer.front();
    m_printer.pop_front();
    return ok;
}

void ScriptedUi::ShowHelp(const QString& helpFile, HelpCommand command, int context) {
    helpFiles << helpFile;
    helpTopics << (command == HelpCommand::Context ? context : -1);
}

void ScriptedUi::ShowModal(Form& form) {
    QPointer<Form> guard(&form);
    form.show();
    form.Activate();
    if (m_modals.empty()) {
        ADD_FAILURE() << "unexpected modal window: " << form.windowTitle().toStdString();
        form.hide();
        return;
    }
    ModalAction action = std::move(m_modals.front());
    m_modals.pop_front();
    action(form);
    if (guard && guard->isVisible()) {
        ADD_FAILURE() << "modal window left open: " << form.windowTitle().toStdString();
        guard->hide();
    }
}

void ScriptedUi::SetBusy(bool b) {
    busy = b;
    busyChanges << b;
}
