#include "CustomRepForm.h"

#include "ReportCatalog.h"
#include "platform/ui/Twips.h"
#include "platform/ui/Ui.h"
#include "shell/Context.h"

#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

namespace {

template <typename W>
W* at(W* w, int left, int top, int width, int height) {
    w->setGeometry(twips::toPixels(left), twips::toPixels(top), twips::toPixels(width), twips::toPixels(height));
    return w;
}

}  // namespace

CustomRepForm::CustomRepForm(Context& ctx) : Form(ctx, nullptr, Qt::Dialog | Qt::WindowCloseButtonHint) {
    setWindowTitle("Custom Report");
    setFixedSize(twips::toPixels(6690), twips::toPixels(3960));
    ReportNameFrame = at(new QGroupBox("Enter the name of the report file ", this), 60, 120, 5055, 915);
    FileText = at(new QLineEdit(ReportNameFrame), 180, 360, 3195, 375);
    FileText->setObjectName("FileText");
    BrowseCommand = at(new QPushButton("Browse", ReportNameFrame), 3660, 360, 1200, 375);
    RepCapFrame = at(new QGroupBox("Enter the report description ", this), 60, 1200, 5055, 1095);
    DescriptionText = at(new QPlainTextEdit(RepCapFrame), 180, 360, 4575, 555);
    DescriptionText->setObjectName("DescriptionText");
    DescriptionText->setTabChangesFocus(true);
    DescriptionText->installEventFilter(this);
    RepTypeFrame = at(new QGroupBox("Enter the report type ", this), 120, 2460, 2300, 1275);
    RepStyleFrame = at(new QGroupBox("Enter the report style", this), 2820, 2460, 2300, 1275);
    auto* types = new QButtonGroup(this);
    auto* styles = new QButtonGroup(this);
    const char* typeNames[] = {"Student", "Assignment", "Class"};
    const char* styleNames[] = {"Type 1", "Type 2", "Type 3"};
    for (int i = 0; i < 3; ++i) {
        TypeOpt << at(new QRadioButton(typeNames[i], RepTypeFrame), 180, 300 + 300 * i, 1900, 255);
        types->addButton(TypeOpt.last());
        StyleOpt << at(new QRadioButton(styleNames[i], RepStyleFrame), 180, 300 + 300 * i, 1900, 255);
        styles->addButton(StyleOpt.last());
    }
    OKCommand = at(new QPushButton("OK", this), 5400, 240, 1200, 375);
    OKCommand->setDefault(true);
    CancelCommand = at(new QPushButton("Cancel", this), 5400, 780, 1200, 375);
    HelpCommand = at(new QPushButton("Help", this), 5400, 1320, 1200, 375);
    connect(BrowseCommand, &QPushButton::clicked, this, &CustomRepForm::BrowseCommand_Click);
    connect(OKCommand, &QPushButton::clicked, this, &CustomRepForm::OKCommand_Click);
    connect(CancelCommand, &QPushButton::clicked, this, &CustomRepForm::CancelCommand_Click);
    connect(HelpCommand, &QPushButton::clicked, this, &CustomRepForm::HelpCommand_Click);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &CustomRepForm::CancelCommand_Click);
    // The settings file holds a description on one line: line breaks are refused, also when pasted.
    connect(DescriptionText, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = DescriptionText->toPlainText();
        if (!text.contains('\n')) return;
        const QSignalBlocker quiet(DescriptionText);
        DescriptionText->setPlainText(QString(text).replace('\n', ' '));
        DescriptionText->moveCursor(QTextCursor::End);
    });
}

bool CustomRepForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DescriptionText && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OKCommand_Click();
            return true;
        }
    }
    return Form::eventFilter(watched, event);
}

void CustomRepForm::BrowseCommand_Click() {
    const auto choice = m_ctx.ui.OpenFile("Report Templates|*.RPT", "RPT");
    if (!choice) return;
    // A bare name is tested against the current folder: the folder of the chosen file.
    QDir::setCurrent(QFileInfo(choice->path).absolutePath());
    FileText->setText(choice->fileTitle);
}

void CustomRepForm::OKCommand_Click() {
    const QString category = TypeOpt[0]->isChecked() ? "Student" : TypeOpt[1]->isChecked() ? "Assignment" : "Class";
    const QString query = StyleOpt[0]->isChecked() ? "ScoreSummary" : StyleOpt[1]->isChecked() ? "ClassSummary" : "NoQuery";
    QFile file(FileText->text());
    const bool readable = !FileText->text().isEmpty() && QFileInfo(file).isFile() && file.open(QIODevice::ReadOnly);
    if (!readable) {
        m_ctx.ui.MsgBox("Can't find the file " + FileText->text() + ". Please enter the file name again.");
        return;
    }
    file.close();
    reports::Settings().append(category, {FileText->text(), query, DescriptionText->toPlainText()});
    hide();
}

void CustomRepForm::CancelCommand_Click() { hide(); }

void CustomRepForm::HelpCommand_Click() { m_ctx.ui.ShowHelp("Tlyroll.hlp", Ui::HelpCommand::Context, 30); }
