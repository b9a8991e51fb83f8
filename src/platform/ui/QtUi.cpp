#include "QtUi.h"

#include "Form.h"
#include "platform/help/HelpViewer.h"
#include "reportengine/PreviewWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace {
constexpr const char* kTitle = "Tallyroll";

QWidget* activeWindow() { return QApplication::activeWindow(); }

// The window a dialog belongs over: the active one, else the largest window on screen.
QWidget* ownerWindow(const QWidget* dialog) {
    if (QWidget* active = activeWindow(); active && active != dialog) return active;
    QWidget* best = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == dialog || !w->isVisible()) continue;
        if (!best || w->width() * w->height() > best->width() * best->height()) best = w;
    }
    return best;
}
}  // namespace

QtUi::~QtUi() { delete m_help; }

Ui::Answer QtUi::MsgBox(const QString& text, Buttons buttons) {
    QMessageBox box(activeWindow());
    box.setWindowTitle(kTitle);
    box.setText(text);
    switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            box.setIcon(QMessageBox::Information);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setIcon(QMessageBox::Question);
            break;
        case Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setIcon(QMessageBox::Question);
            break;
    }
    // A message box keeps the normal pointer even while the program is busy behind it.
    const bool busy = m_busy;
    if (busy) QApplication::restoreOverrideCursor();
    const int result = box.exec();
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
    switch (result) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            return Answer::Ok;
    }
}

std::optional<QString> QtUi::InputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(activeWindow(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return text;
}

namespace {

// "Description|*.EXT" becomes Qt's "Description (*.EXT *.ext)".
QStringList nameFilters(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern = parts[i + 1];
        filters << QString("%1 (%2 %3)").arg(parts[i], pattern, pattern.toLower());
    }
    filters << "All Files (*)";
    return filters;
}

}  // namespace

std::optional<Ui::FileChoice> QtUi::SaveFile(const QString& filter, const QString& defaultExt) {
    QFileDialog dialog(activeWindow(), kTitle);
    dialog.setNameFilters(nameFilters(filter));
    dialog.setDefaultSuffix(defaultExt);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString path = dialog.selectedFiles().first();
    return FileChoice{path, QFileInfo(path).fileName()};
}

void QtUi::ShowReport(const report::Document& document) {
    const bool busy = m_busy;
    if (busy) QApplication::restoreOverrideCursor();
    PreviewWindow preview(document, *this, activeWindow());
    preview.exec();
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
}

std::optional<Ui::FileChoice> QtUi::OpenFile(const QString& filter, const QString& defaultExt, const QString& initialDir) {
    QFileDialog dialog(activeWindow(), kTitle, initialDir);
    dialog.setNameFilters(nameFilters(filter));
    dialog.setDefaultSuffix(defaultExt);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setLabelText(QFileDialog::Accept, "OK");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString path = dialog.selectedFiles().first();
    return FileChoice{path, QFileInfo(path).fileName()};
}

bool QtUi::PrinterSetup() {
    static QPrinter printer;
    QPrintDialog dialog(&printer, activeWindow());
    return dialog.exec() == QDialog::Accepted;
}

void QtUi::ShowHelp(const QString& helpFile, HelpCommand command, int context) {
    if (!m_help) m_help = new HelpViewer;
    QString error;
    const QString path = HelpFile::locate(helpFile);
    if (path.isEmpty() || !m_help->open(path, &error)) return;  // help failures are not the teacher's problem
    if (command == HelpCommand::Context) {
        if (!m_help->showTopic(context)) return;
    } else {
        m_help->showIndex();
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void QtUi::ShowModal(Form& form) {
    QPointer<Form> guard(&form);
    form.setWindowModality(Qt::ApplicationModal);
    const bool busy = m_busy;
    if (busy) QApplication::restoreOverrideCursor();
    // A dialog opens over the window it belongs to.
    if (QWidget* over = ownerWindow(&form)) {
        form.adjustSize();
        form.move(over->geometry().center() - form.rect().center());
    }
    form.show();
    form.raise();
    form.activateWindow();
    form.Activate();
    if (guard && guard->isVisible()) {
        QEventLoop loop;
        QObject::connect(&form, &Form::hidden, &loop, &QEventLoop::quit);
        QObject::connect(&form, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (guard) guard->setWindowModality(Qt::NonModal);
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtUi::SetBusy(bool busy) {
    if (busy == m_busy) return;
    m_busy = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}
