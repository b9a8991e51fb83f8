#include "platform/ui/QtUi.h"
#include "shell/Context.h"
#include "shell/TRTitlePage.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tallyroll");
    QApplication::setWindowIcon(QIcon(":/tallyroll/icon.png"));
    QApplication::setQuitOnLastWindowClosed(false);

    QtUi ui;
    Context ctx(ui);
    auto& title = ctx.forms.get<TRTitlePage>();
    title.show();
    return QApplication::exec();
}
