// Whole-number draws from the program's one pseudo-random generator.
#pragma once

#include "platform/runtime.h"

namespace pomlets {

// Int(Rnd x n): 0 to n - 1, one draw of the generator. The product is formed
// in double precision.
inline int randomInt(int n) {
    return static_cast<int>(vbInt(static_cast<double>(rnd()) * n));
}

} // namespace pomlets
