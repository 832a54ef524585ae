// The number of the run-time error that a call raises, 0 when it raises none.
#pragma once

#include "platform/runtime.h"

namespace pomlets::testing {

template <typename Call>
int errorOf(Call&& call) {
    try {
        call();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

} // namespace pomlets::testing
