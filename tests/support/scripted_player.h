// A scripted player for headless games. It plays only with the keys a player
// has (the arrows, nothing else), sees only what the screen shows (the pieces
// lying and falling, the row pointer, the goal panel), and never touches the
// game's state or its generator.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace pomlets::testing {

class ScriptedPlayer {
public:
    // Call once at every pass of the main loop, with the game clock's reading.
    // It taps at most one arrow key, and never two within the key gate.
    void onPass(int32_t now);

    // Keys tapped so far.
    int keysTapped() const { return keysTapped_; }

private:
    struct Plan {
        std::vector<std::pair<int, int>> shifts;  // (row, signed steps right)
        double value = 0;
        int keys = 0;
        int tag = 0;
    };
    uint8_t idOf(const std::string& typeName, int16_t variant);
    int firstKey(const Plan& plan) const;

    std::map<std::pair<std::string, int16_t>, uint8_t> ids_;
    std::vector<std::pair<std::string, int16_t>> kinds_{{"", 0}};
    int32_t lastTap_ = -1000000;
    int keysTapped_ = 0;
    int lastTag_ = -1;
};

} // namespace pomlets::testing
