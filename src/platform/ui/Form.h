#pragma once

#include <QList>
#include <QWidget>

class QAction;

class Context;

// A window of the program. Its life follows the events the windows are written in: Load once when
// created, Activate each time it becomes the active window (and each time it is shown modally),
// Deactivate, Resize, and Unload when it is destroyed.
class Form : public QWidget {
    Q_OBJECT

public:
    Form(Context& ctx, QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    void Load();
    void Activate();
    void Deactivate();
    void Unload();

    // The menu bar entries (menus, or plain commands) a child window puts in the main window's
    // menu bar while it is the active child.
    virtual QList<QAction*> ChildMenus() const { return {}; }

signals:
    void hidden();
    void unloaded();

protected:
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Deactivate() {}
    virtual void Form_Resize() {}
    virtual void Form_Unload() {}
    // The close box of a dialog hides it, as its own buttons do.
    virtual void CloseBox() { hide(); }
    // Top-level windows that are neither modal nor inside the main window follow the window
    // system's activation; the others are activated by the main window and the modal loop.
    virtual bool followsWindowActivation() const { return false; }

    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

    Context& m_ctx;

private:
    bool m_loaded = false;
    bool m_unloaded = false;
};
