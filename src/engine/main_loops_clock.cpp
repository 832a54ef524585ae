// The game clock; the main loops themselves live in main_loops.cpp.
#include "engine/main_loops.h"

#include "common/brains.h"
#include "platform/runtime.h"
#include "platform/win32.h"

namespace pomlets {

int32_t gameTime() {
    return add32(GetTickCount(), -static_cast<int64_t>(pausedTotal));
}

} // namespace pomlets
