#pragma once

#include "platform/ui/Form.h"

class HelpItems;
class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMenuBar;

// The main window: holds the grade sheet and the student window as child windows, and offers File
// and Help while no child window is active.
class MDITallyroll : public Form {
    Q_OBJECT

public:
    explicit MDITallyroll(Context& ctx);
    ~MDITallyroll() override;

    void CreateTR();
    void OpenTR();

    void NewMenu_Click();
    void OpenMenu_Click();
    void ExitMenu_Click();

    // Shows a window as a child of this one and makes it the active child; a window of a fixed
    // size (the student window) opens at that size, the others fill the main window.
    void ShowChild(Form& child);

    QMenuBar* menuBar() const { return m_menuBar; }
    QMdiArea* mdiArea() const { return m_mdi; }

    QMenu* FileMenu;
    QAction* NewMenu;
    QAction* OpenMenu;
    QAction* ExitMenu;
    HelpItems* Help;  // the Help menu's items
    QMenu* HelpMenu;

protected:
    void Form_Unload() override;
    void CloseBox() override { ExitMenu_Click(); }

private:
    void subWindowActivated(QMdiSubWindow* window);
    // When a child goes or hides, the menus and the activation pass to a child still shown.
    void activateRemainingChild();
    void showMenusOf(Form* child);
    // The child windows work on the open file; a newly opened file starts them afresh.
    void unloadChildren();
    // After a refused choice: FileName names the file that is still open, if any.
    void keepOpenFileName(const QString& previous, const QString& previousLock);

    QMenuBar* m_menuBar;
    QMdiArea* m_mdi;
};
