// The tick clocks a test moves itself, and the settable tick count of the
// tests that drive a game pass by pass.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/tick_clock.h"

namespace pomlets::testing {

// A clock that a test moves on (time that passes between two passes).
class MovableClock : public TickClock {
public:
    virtual void moveOn(int64_t microseconds) = 0;
};

// The tick count standing still at a value until moved on (nullopt: running
// on from where it stood, at the machine clock's pace).
void setTickCount(std::optional<int32_t> ms);
// The clock in use moved on; the machine's clock is then followed by one that
// runs that much ahead of it.
void advanceTickCount(int32_t ms);

} // namespace pomlets::testing
