#include "support/program_state.h"

#include "platform/runtime.h"
#include "platform/start_values.h"
#include "support/sound_watch.h"

namespace pomlets::testing {

void resetProgramState() {
    restoreStartValues();
    watchSoundsAfresh();
    setProgramFolder(POMLETS_PROGRAM_DIR);
}

} // namespace pomlets::testing
