#include "support/program_state.h"

#include "platform/runtime.h"
#include "platform/start_values.h"

namespace pomlets::testing {

void resetProgramState() {
    restoreStartValues();
    setProgramFolder(POMLETS_PROGRAM_DIR);
}

} // namespace pomlets::testing
