#pragma once

#include "platform/ui/Form.h"

#include <QList>

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// "Custom Report": registers a report definition of the teacher's own in the report catalog.
class CustomRepForm : public Form {
    Q_OBJECT

public:
    explicit CustomRepForm(Context& ctx);

    void BrowseCommand_Click();
    void OKCommand_Click();
    void CancelCommand_Click();
    void HelpCommand_Click();

    QGroupBox* ReportNameFrame;
    QLineEdit* FileText;
    QPushButton* BrowseCommand;
    QGroupBox* RepCapFrame;
    QPlainTextEdit* DescriptionText;
    QGroupBox* RepTypeFrame;
    QList<QRadioButton*> TypeOpt;
    QGroupBox* RepStyleFrame;
    QList<QRadioButton*> StyleOpt;
    QPushButton* OKCommand;
    QPushButton* CancelCommand;
    QPushButton* HelpCommand;

protected:
    void CloseBox() override { CancelCommand_Click(); }
    bool eventFilter(QObject* watched, QEvent* event) override;
};
