#include "MDITallyroll.h"

#include "ChangePassword.h"
#include "Context.h"
#include "EnterPassword.h"
#include "HelpItems.h"
#include "data/DataFile.h"
#include "gradesheet/GradeForm.h"
#include "student/StudentInfo.h"
#include "platform/ui/Ui.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

MDITallyroll::MDITallyroll(Context& ctx) : Form(ctx, nullptr, Qt::Window) {
    setWindowTitle("Tallyroll");
    setWindowIcon(QIcon(":/tallyroll/icon.png"));
    resize(1100, 720);

    m_menuBar = new QMenuBar(this);
    FileMenu = new QMenu("&File", this);
    NewMenu = FileMenu->addAction("&New");
    OpenMenu = FileMenu->addAction("&Open");
    FileMenu->addSeparator();
    ExitMenu = FileMenu->addAction("E&xit");
    Help = new HelpItems(ctx, this);
    HelpMenu = Help->menu;
    NewMenu->setShortcut(QKeySequence::New);
    OpenMenu->setShortcut(QKeySequence::Open);

    m_mdi = new QMdiArea;
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_mdi);
    showMenusOf(nullptr);

    connect(NewMenu, &QAction::triggered, this, &MDITallyroll::NewMenu_Click);
    connect(OpenMenu, &QAction::triggered, this, &MDITallyroll::OpenMenu_Click);
    connect(ExitMenu, &QAction::triggered, this, &MDITallyroll::ExitMenu_Click);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &MDITallyroll::subWindowActivated);
}

MDITallyroll::~MDITallyroll() {
    // The child windows go with this one; none of them may report back to it on the way.
    for (QMdiSubWindow* w : m_mdi->subWindowList()) w->disconnect(this);
    m_mdi->disconnect(this);
}

void MDITallyroll::showMenusOf(Form* child) {
    const QList<QAction*> entries = child ? child->ChildMenus() : QList<QAction*>{};
    m_menuBar->clear();
    for (QAction* a : entries.isEmpty() ? QList<QAction*>{FileMenu->menuAction(), HelpMenu->menuAction()} : entries)
        m_menuBar->addAction(a);
}

void MDITallyroll::subWindowActivated(QMdiSubWindow* window) {
    // The area reports no active child while another window (a dialog) is in front; the child is
    // still the one the teacher works in, so only a real change counts.
    Form* child = window ? qobject_cast<Form*>(window->widget()) : nullptr;
    if (!child) {
        bool anyVisible = false;
        for (QMdiSubWindow* w : m_mdi->subWindowList()) anyVisible = anyVisible || w->isVisible();
        if (anyVisible) return;
    }
    showMenusOf(child);
    m_ctx.forms.setActiveChild(child);
}

void MDITallyroll::activateRemainingChild() {
    for (QMdiSubWindow* w : m_mdi->subWindowList()) {
        auto* other = qobject_cast<Form*>(w->widget());
        if (other && w->isVisible() && other->isVisible()) {
            m_mdi->setActiveSubWindow(w);
            showMenusOf(other);
            m_ctx.forms.setActiveChild(other);
            return;
        }
    }
    showMenusOf(nullptr);
    m_ctx.forms.setActiveChild(nullptr);
}

void MDITallyroll::ShowChild(Form& child) {
    auto* sub = qobject_cast<QMdiSubWindow*>(child.parentWidget());
    if (!sub) {
        sub = m_mdi->addSubWindow(&child);
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        connect(&child, &Form::unloaded, this, &MDITallyroll::activateRemainingChild);
        connect(&child, &Form::hidden, this, &MDITallyroll::activateRemainingChild);
        if (child.minimumSize() == child.maximumSize()) {
            sub->adjustSize();
            sub->move(0, 0);
            sub->show();
        } else {
            sub->showMaximized();
        }
    }
    child.show();
    sub->show();
    m_mdi->setActiveSubWindow(sub);
    showMenusOf(&child);
    m_ctx.forms.setActiveChild(&child);
}

void MDITallyroll::unloadChildren() {
    m_ctx.forms.unload<StudentInfo>();
    m_ctx.forms.unload<GradeForm>();
    showMenusOf(nullptr);
}

void MDITallyroll::keepOpenFileName(const QString& previous, const QString& previousLock) {
    auto& st = m_ctx.state;
    st.FileName = st.CurrentDB.isOpen() ? previous : QString();
    st.LockFileName = st.CurrentDB.isOpen() ? previousLock : QString();
}

void MDITallyroll::CreateTR() {
    auto& st = m_ctx.state;
    auto& ui = m_ctx.ui;
    const auto choice = ui.OpenFile(datafile::kFileFilter, datafile::kDefaultExt);
    if (!choice) return;  // the file that was open stays open
    const QString previous = st.FileName;
    const QString previousLock = st.LockFileName;
    auto keepPrevious = [&] { keepOpenFileName(previous, previousLock); };
    st.FileName = choice->path;
    if (!datafile::CheckName(st, ui, st.FileName)) {
        keepPrevious();
        return;
    }
    try {
        datafile::CreateDB(st);
    } catch (const engine::DbError& e) {
        if (e.number() != engine::ErrDatabaseExists) {
            ui.MsgBox("CreateTallyroll " + e.description());
            keepPrevious();
            return;
        }
        if (ui.MsgBox(st.FileName + " already exists. Do you want to overwrite it?", Ui::Buttons::YesNo) != Ui::Answer::Yes) {
            unloadChildren();
            datafile::ForgetDataFile(st);
            return;
        }
        // The open file itself is being replaced: let go of it before it is deleted.
        const QString target = st.FileName;
        if (st.CurrentDB.isOpen() && datafile::SameFile(st.CurrentDB.Name(), target)) {
            unloadChildren();
            datafile::CloseDataFile(st);
            datafile::ForgetDataFile(st);
            st.FileName = target;
            st.LockFileName = engine::Workspace::LockFilePath(target);
        }
        if (!QFile::remove(target)) {
            ui.MsgBox("CreateTallyroll The file " + target + " could not be deleted, so it was not overwritten.");
            keepPrevious();
            return;
        }
        try {
            datafile::CreateDB(st);
        } catch (const engine::DbError& again) {
            ui.MsgBox("CreateTallyroll " + again.description());
            keepPrevious();
            return;
        }
    }
    auto& password = m_ctx.forms.get<ChangePassword>();
    password.setNewFileMode(true);
    m_ctx.forms.showModal(password);
    const auto result = datafile::OpenDB(st, ui);
    if (result != datafile::OpenResult::Failed) unloadChildren();
}

void MDITallyroll::OpenTR() {
    auto& st = m_ctx.state;
    auto& ui = m_ctx.ui;
    const auto choice = ui.OpenFile(datafile::kFileFilter, datafile::kDefaultExt);
    if (!choice) return;  // cancelling keeps the open file and its name
    const QString previous = st.FileName;
    const QString previousLock = st.LockFileName;
    st.FileName = choice->path;
    if (!datafile::CheckName(st, ui, st.FileName)) {
        keepOpenFileName(previous, previousLock);
        return;
    }
    m_ctx.forms.showModal(m_ctx.forms.get<EnterPassword>());
    const auto result = datafile::OpenDB(st, ui);
    if (result != datafile::OpenResult::Failed) unloadChildren();
}

void MDITallyroll::NewMenu_Click() {
    m_ctx.ui.SetBusy(true);
    CreateTR();
    if (!m_ctx.state.FileName.isEmpty() && m_ctx.state.CurrentDB.isOpen()) {
        m_ctx.state.Loading = true;
        ShowChild(m_ctx.forms.get<GradeForm>());
        m_ctx.state.Loading = false;
    }
    m_ctx.ui.SetBusy(false);
}

void MDITallyroll::OpenMenu_Click() {
    OpenTR();
    if (!m_ctx.state.FileName.isEmpty() && m_ctx.state.CurrentDB.isOpen()) {
        m_ctx.ui.SetBusy(true);
        m_ctx.state.Loading = true;
        ShowChild(m_ctx.forms.get<GradeForm>());
        m_ctx.state.Loading = false;
        m_ctx.ui.SetBusy(false);
    }
}

void MDITallyroll::ExitMenu_Click() {
    unloadChildren();
    m_ctx.forms.unload<MDITallyroll>();
}

void MDITallyroll::Form_Unload() { datafile::ShutDown(m_ctx.state); }
