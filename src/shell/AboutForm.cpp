#include "AboutForm.h"

#include "Context.h"
#include "platform/ui/Twips.h"
#include "platform/ui/Ui.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

AboutForm::AboutForm(Context& ctx) : Form(ctx, nullptr, Qt::Dialog | Qt::WindowCloseButtonHint) {
    setWindowTitle(QString());
    setFixedSize(twips::toPixels(3990), twips::toPixels(3360));
    Image1 = new QLabel;
    Image1->setObjectName("Image1");
    Image1->setPixmap(QPixmap(":/tallyroll/icon.png"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);
    ProductName = new QLabel("Tallyroll");
    ProductName->setObjectName("ProductName");
    ProductName->setAlignment(Qt::AlignCenter);
    QFont big = ProductName->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    ProductName->setFont(big);
    VersionLabel = new QLabel;
    VersionLabel->setObjectName("VersionLabel");
    VersionLabel->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(Image1);
    layout->addWidget(ProductName);
    layout->addWidget(VersionLabel);
    layout->addStretch();
}

void AboutForm::Form_Load() { VersionLabel->setText("Version 2.1 for Windows 32-bit"); }

void AboutForm::Image1_Click() { m_ctx.ui.MsgBox("Version 2.01"); }

bool AboutForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image1 && event->type() == QEvent::MouseButtonRelease) {
        Image1_Click();
        return true;
    }
    return Form::eventFilter(watched, event);
}
