#pragma once

#include "reportengine/PageModel.h"

#include <QString>
#include <optional>

class Form;

// Everything a window asks of the person at the screen goes through here: message boxes, the
// input box, the file and printer dialogs, help, modal windows and the busy pointer. The program
// uses the Qt implementation; tests use a scripted one that records and answers.
class Ui {
public:
    enum class Buttons { Ok, YesNo, OkCancel, YesNoCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    struct FileChoice {
        QString path;       // full path of the chosen file
        QString fileTitle;  // its name without the folder
    };

    // Help requests: a topic by context number, or the keyword index.
    enum class HelpCommand { Context, PartialKey };

    virtual ~Ui() = default;

    virtual Answer MsgBox(const QString& text, Buttons buttons = Buttons::Ok) = 0;
    // nullopt when cancelled.
    virtual std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;
    // filter in the "Description|*.EXT" form; nullopt when cancelled.
    virtual std::optional<FileChoice> OpenFile(const QString& filter, const QString& defaultExt,
                                               const QString& initialDir = {}) = 0;
    // A file to write; nullopt when cancelled.
    virtual std::optional<FileChoice> SaveFile(const QString& filter, const QString& defaultExt) = 0;
    // false when cancelled.
    virtual bool PrinterSetup() = 0;
    // The report engine's preview of a laid-out report, from which it can be printed or saved.
    virtual void ShowReport(const report::Document& document) = 0;
    virtual void ShowHelp(const QString& helpFile, HelpCommand command, int context) = 0;
    // Shows the form modally and returns when it has hidden itself (or been unloaded).
    virtual void ShowModal(Form& form) = 0;
    virtual void SetBusy(bool busy) = 0;
};

// Keeps the busy pointer for the life of a scope.
class BusyPointer {
public:
    explicit BusyPointer(Ui& ui) : m_ui(ui) { m_ui.SetBusy(true); }
    ~BusyPointer() { m_ui.SetBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Ui& m_ui;
};
