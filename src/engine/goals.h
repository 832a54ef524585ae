// The goal test of an Arcade level.
#pragma once

namespace pomlets {

// True when every goal of currentLevel is met. Changes nothing.
bool levelGoalsMet();

} // namespace pomlets
