// The main of a benchmark of the game's windows and display: Qt offscreen,
// SDL on its dummy drivers, the built program folder, then every benchmark
// of the program. Media are shut down in order before the program ends.
#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>

#include "platform/runtime.h"
#include "platform/win32.h"

namespace pomlets::bench {

inline int runHeadless(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication app(argc, argv);
    setProgramFolder(POMLETS_PROGRAM_DIR);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shutDownMedia();
    return 0;
}

} // namespace pomlets::bench
