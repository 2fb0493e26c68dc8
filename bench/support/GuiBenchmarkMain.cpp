#include "paint/FontRegistration.h"

#include <QApplication>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

// The entry of the benchmarks that draw widgets: offscreen, test-mode paths, the bundled
// fonts.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    velloran::fonts::registerBundledFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
