#include "support/settable_clock.h"

namespace pomlets::testing {

namespace {

// Stands still at a moment, so that its wait has nothing to wait for, or runs
// at the machine clock's pace some way ahead of it.
class SettableClock final : public MovableClock {
public:
    int64_t now() override { return standing ? at : machineClock().now() + ahead; }
    bool waitForEvents(int64_t until) override { return !standing && machineClock().waitForEvents(until - ahead); }
    void waitForAnyEvents() override {
        if (!standing) machineClock().waitForAnyEvents();
    }
    void sleepUntil(int64_t until) override {
        if (!standing) machineClock().sleepUntil(until - ahead);
    }
    void moveOn(int64_t microseconds) override { (standing ? at : ahead) += microseconds; }

    void standAt(int64_t moment) {
        standing = true;
        at = moment;
    }
    void runFrom(int64_t moment) {
        standing = false;
        ahead = moment - machineClock().now();
    }

    bool standing = false;
    int64_t at = 0, ahead = 0;
};

SettableClock settable;

} // namespace

void setTickCount(std::optional<int32_t> ms) {
    if (ms) {
        settable.standAt(int64_t{*ms} * 1000);
        useTickClock(&settable);
        return;
    }
    // Running again from the value it stood at, without a jump.
    if (&tickClock() == &settable && settable.standing) settable.runFrom(settable.at);
}

void advanceTickCount(int32_t ms) {
    auto* movable = dynamic_cast<MovableClock*>(&tickClock());
    if (!movable) {
        settable.runFrom(machineClock().now());
        useTickClock(&settable);
        movable = &settable;
    }
    movable->moveOn(int64_t{ms} * 1000);
}

} // namespace pomlets::testing
