#include "reportengine/Painter.h"
#include "reportengine/ReportEngine.h"

#include <QGuiApplication>
#include <QTextStream>

// tallyroll-report REPORT.RPT DATA.TLR OUT.pdf [SELECTION FORMULA]
// Lays a report definition out against a data file (read only, never changed) and writes a PDF:
// for trying out a report definition of one's own.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3 || args.size() > 4) {
        err << "usage: tallyroll-report REPORT.RPT DATA.TLR OUT.pdf [SELECTION FORMULA]\n";
        return 2;
    }
    QString error;
    const auto doc = report::Run(args[0], args[1], args.value(3), &error);
    if (!doc) {
        err << error << "\n";
        return 1;
    }
    if (!report::WritePdf(*doc, args[2], &error)) {
        err << "cannot write " << args[2] << ": " << error << "\n";
        return 1;
    }
    QTextStream(stdout) << "wrote " << args[2] << ": " << doc->pages.size() << " pages\n";
    return 0;
}
