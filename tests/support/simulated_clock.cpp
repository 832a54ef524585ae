#include "support/simulated_clock.h"

#include <algorithm>

namespace pomlets::testing {

SimulatedClock::SimulatedClock(int64_t startMicroseconds, uint32_t seed) : now_(startMicroseconds), random_(seed) {
    useTickClock(this);
}

SimulatedClock::~SimulatedClock() {
    if (&tickClock() == this) useTickClock(nullptr);
}

void SimulatedClock::setPassCost(int64_t low, int64_t high) {
    costLow_ = low;
    costHigh_ = std::max(low, high);
}

void SimulatedClock::at(int64_t when, std::function<void()> happening) {
    happenings_.emplace(when, std::move(happening));
}

bool SimulatedClock::waitForEvents(int64_t until) {
    if (onWait) onWait(now_);
    now_ += std::uniform_int_distribution<int64_t>(costLow_, costHigh_)(random_);
    if (until <= now_) {
        runHappeningsUntil(now_);
        return false;
    }
    int64_t wake = until + std::uniform_int_distribution<int64_t>(0, lateness_)(random_);
    // A happening before the wake-up ends the wait at its moment.
    const bool happened = !happenings_.empty() && happenings_.begin()->first <= wake;
    if (happened) wake = std::max(now_, happenings_.begin()->first);
    now_ = wake;
    runHappeningsUntil(now_);
    return happened;
}

void SimulatedClock::waitForAnyEvents() {
    if (onWait) onWait(now_);
    now_ += std::uniform_int_distribution<int64_t>(costLow_, costHigh_)(random_);
    if (!happenings_.empty()) now_ = std::max(now_, happenings_.begin()->first);
    runHappeningsUntil(now_);
}

void SimulatedClock::sleepUntil(int64_t until) {
    if (until <= now_) return;
    const int64_t from = now_;
    now_ = until + std::uniform_int_distribution<int64_t>(0, lateness_)(random_);
    if (onSleep) onSleep(from, now_);
    runHappeningsUntil(now_);
}

void SimulatedClock::moveOn(int64_t microseconds) {
    now_ += microseconds;
    runHappeningsUntil(now_);
}

void SimulatedClock::runHappeningsUntil(int64_t moment) {
    while (!happenings_.empty() && happenings_.begin()->first <= moment) {
        auto happening = std::move(happenings_.begin()->second);
        happenings_.erase(happenings_.begin());
        happening();
    }
}

} // namespace pomlets::testing
