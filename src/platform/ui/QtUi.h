#pragma once

#include "Ui.h"

#include <QPointer>

class HelpViewer;

// The Ui the program runs with: real dialogs, the help window and the busy pointer.
class QtUi final : public Ui {
public:
    ~QtUi() override;

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
    QPointer<HelpViewer> m_help;
    bool m_busy = false;
};
