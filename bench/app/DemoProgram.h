#pragma once

// The demo started inside a benchmark process, as the program starts it, with a window on
// whatever display the process has.

#include "DemoDriver.h"
#include "TemporaryHome.h"

#include "webplayer/WebEngineSetup.h"

#include <QApplication>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace velloran::bench {

// What the process does before its application object exists: a home and a runtime folder of
// its own, the demo's data, the web engine's switches (without the sandbox when run as root,
// where Chromium cannot start it).
struct DemoProcess {
    DemoProcess()
    {
        DemoEnvironment::prepareProcess();
        if (geteuid() == 0)
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        prepareWebEngine();
    }

    test::TemporaryHome home;
    test::PrivateRuntimeFolder runtime;
};

// The demo's program with its window shown, or nothing (and a line on standard error).
inline std::unique_ptr<ProgramServices> startDemo()
{
    auto program = std::make_unique<ProgramServices>(true);
    if (!program->claimInstance() || !program->start()) {
        std::fprintf(stderr, "the demo could not start\n");
        return nullptr;
    }
    program->show();
    return program;
}

// All a benchmark's demo needs, made in order: the process prepared, the application object,
// the program with its window shown (nothing if it could not start), and gone in reverse.
struct RunningDemo {
    RunningDemo(int &argc, char **argv) : app(argc, argv), program(startDemo()) {}

    DemoProcess process;
    QApplication app;
    std::unique_ptr<ProgramServices> program;
};

// Says what went wrong driving the demo and gives the process's exit code for it.
inline int failed(const QString &problem)
{
    std::fprintf(stderr, "%s\n", problem.toLocal8Bit().constData());
    return 1;
}

} // namespace velloran::bench
