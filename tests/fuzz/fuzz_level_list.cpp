// The list of unlocked Arcade levels, read when Arcade is chosen.
#include "frontend/fmain.h"
#include "fuzz_support.h"

using namespace pomlets;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::writeScrambled("init/6537", fuzz::textOf(data, size));
    FMain& w = fMain();
    if (w.tMode->findText("Arcade") < 0) w.tMode->addItem("Arcade");
    w.tMode->setCurrentIndex(w.tMode->findText("Arcade"));
    fuzz::expectingRuntimeErrors([&] { w.tMode_Click(); });
    return 0;
}
