#include "DemoFile.h"
#include "platform/engine/DbError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

// tallyroll-demo FILE.TLR [--password PW] [--filler-scores N]
// Writes a data file with four classes of a school year (and, with --filler-scores, that many extra
// scores in archive classes) for trying Tallyroll out.
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args[0].startsWith("-")) {
        err << "usage: tallyroll-demo FILE.TLR [--password PW] [--filler-scores N]\n";
        return 2;
    }
    demo::Spec spec = demo::SchoolYear();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--password") {
            spec.password = args[i + 1];
        } else if (args[i] == "--filler-scores") {
            spec.fillerScores = args[i + 1].toLongLong();
        } else {
            err << "unknown option " << args[i] << "\n";
            return 2;
        }
    }
    if (QFileInfo::exists(args[0])) {
        err << args[0] << " already exists; choose a new file name\n";
        return 1;
    }
    try {
        const demo::Result r = demo::Generate(args[0], spec);
        QTextStream(stdout) << "wrote " << args[0] << ": " << r.classIds.size() << " classes, " << r.scores << " scores\n";
    } catch (const engine::DbError& e) {
        err << "could not write " << args[0] << ": " << e.description() << "\n";
        return 1;
    }
    return 0;
}
