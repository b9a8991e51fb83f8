#pragma once

#include "ReportCatalog.h"
#include "platform/ui/Form.h"

#include <QList>
#include <QStringList>

class QPushButton;
class QRadioButton;

// "Report Type": the reports of one category, custom ones first; picking one readies the
// criteria window for it.
class ReportTypeForm : public Form {
    Q_OBJECT

public:
    explicit ReportTypeForm(Context& ctx);

    bool CheckExist(const QString& FN);
    void Opt_Click(int Index);
    void OKCommand_Click();
    void CancelCommand_Click();

    QString Tag;  // the category
    QList<QRadioButton*> Opt;
    QPushButton* OKCommand;
    QPushButton* CancelCommand;
    QStringList RepFile;
    QStringList RepQuery;
    int EntryCount = 0;

protected:
    void Form_Activate() override;
    void CloseBox() override { CancelCommand_Click(); }
};
