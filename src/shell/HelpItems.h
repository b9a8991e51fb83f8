#pragma once

#include <QObject>

class Context;
class QAction;
class QMenu;
class QWidget;

// The Help menu of the main window and of the grade sheet: its items and the topics they show.
class HelpItems : public QObject {
    Q_OBJECT

public:
    // The student window's Help menu words its first two items differently and has no item for
    // custom reports (FreeCusRepMenu is null there).
    enum class Kind { Main, StudentWindow };

    HelpItems(Context& ctx, QWidget* owner, Kind kind = Kind::Main);

    void GettingStartedMenu_Click();
    void IndexMenu_Click();
    void FreeCusRepMenu_Click();
    void TechSupportMenu_Click();
    void AboutMenu_Click();

    QMenu* menu;
    QAction* GettingStartedMenu;
    QAction* IndexMenu;
    QAction* FreeCusRepMenu;
    QAction* TechSupportMenu;
    QAction* AboutMenu;

private:
    Context& m_ctx;
};
