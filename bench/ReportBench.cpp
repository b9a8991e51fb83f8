// The score-summary student report and the statistics report, laid out and written as PDF, on a
// file of about 10 thousand scores and on one of about 100 thousand: the cost should grow no
// faster than the number of rows.

#include "demo/DemoFile.h"
#include "reportengine/Painter.h"
#include "reportengine/ReportEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Files {
    QTemporaryDir dir;
    QString files[2];
};

Files& files() {
    static Files f = [] {
        Files made;
        const std::int64_t sizes[2] = {10000, 100000};
        for (int i = 0; i < 2; ++i) {
            made.files[i] = made.dir.filePath(QString("r%1.TLR").arg(i));
            demo::Spec spec = demo::SchoolYear();
            spec.fillerScores = sizes[i] - 1234;
            demo::Generate(made.files[i], spec);
        }
        return made;
    }();
    return f;
}

void BM_ReportToPdf(benchmark::State& state) {
    const QString report = QCoreApplication::applicationDirPath() + "/../share/tallyroll/reports/" +
                           (state.range(1) == 0 ? "SCORESUM.RPT" : "ASNSTRAW.RPT");
    const QString out = files().dir.filePath("out.pdf");
    int pages = 0;
    for (auto _ : state) {
        QString error;
        const auto doc = report::Run(report, files().files[state.range(0)], {}, &error);
        if (!doc) state.SkipWithError(error.toStdString().c_str());
        report::WritePdf(*doc, out, &error);
        pages = int(doc->pages.size());
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_ReportToPdf)
    ->ArgNames({"file", "report"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    files();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
