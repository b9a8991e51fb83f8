#pragma once

#include "platform/ui/Ui.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

// A Ui for tests: records every message and request, answers from queues the test fills, and lets
// the test act on a window shown modally. A request with nothing queued for it fails the test.
class ScriptedUi final : public Ui {
public:
    using ModalAction = std::function<void(Form&)>;

    // What the program said, in order.
    QStringList messages;
    QStringList inputPrompts;
    QList<int> helpTopics;  // context numbers; -1 for the keyword index
    QStringList helpFiles;
    int fileDialogs = 0;
    int printerDialogs = 0;
    QList<report::Document> reports;  // every report shown in the preview
    bool busy = false;
    QList<bool> busyChanges;

    void answerMsgBox(Answer a) { m_msgAnswers.push_back(a); }
    void answerInput(std::optional<QString> text) { m_inputs.push_back(std::move(text)); }
    void answerFile(std::optional<QString> path) { m_files.push_back(std::move(path)); }
    void answerSaveFile(std::optional<QString> path) { m_saves.push_back(std::move(path)); }
    void answerPrinterSetup(bool ok) { m_printer.push_back(ok); }
    void onModal(ModalAction action) { m_modals.push_back(std::move(action)); }

    bool allAnswersUsed() const {
        return m_msgAnswers.empty() && m_inputs.empty() && m_files.empty() && m_modals.empty() && m_printer.empty() &&
               m_saves.empty();
    }

    Answer MsgBox(const QString& text, Buttons buttons = Buttons::Ok) override;
    std::optional<QString> InputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    std::optional<FileChoice> OpenFile(const QString& filter, const QString& defaultExt,
                                       const QString& initialDir = {}) override;
    std::optional<FileChoice> SaveFile(const QString& filter, const QString& defaultExt) override;
    bool PrinterSetup() override;
    void ShowReport(const report::Document& document) override;
    void ShowHelp(const QString& helpFile, HelpCommand command, int context) override;
    void ShowModal(Form& form) override;
    void SetBusy(bool busy) override;

private:
    std::deque<Answer> m_msgAnswers;
    std::deque<std::optional<QString>> m_inputs;
    std::deque<std::optional<QString>> m_files;
    std::deque<std::optional<QString>> m_saves;
    std::deque<bool> m_printer;
    std::deque<ModalAction> m_modals;
};
