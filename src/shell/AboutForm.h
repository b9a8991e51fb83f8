#pragma once

#include "platform/ui/Form.h"

class QLabel;

// Names the program and its version; closed with its close box.
class AboutForm : public Form {
    Q_OBJECT

public:
    explicit AboutForm(Context& ctx);

    void Image1_Click();

    QLabel* ProductName;
    QLabel* VersionLabel;
    QLabel* Image1;

protected:
    void Form_Load() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
