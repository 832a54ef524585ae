// The shipped Arcade campaign as the scripted player meets it: the levels in
// award order, and one level played headless from a seed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pomlets::testing {

struct CampaignLevel {
    int position = 0;    // 1 for the level the shipped list offers
    int fileNumber = 0;  // its file in "\levels\"
};

// The award chain of the plain level sources in data/: the shipped list's
// entry, then each level's award, until a level awards one already met.
std::vector<CampaignLevel> campaignFromSources();

// The seeds every level is played from, the same for all.
const std::vector<uint32_t>& campaignSeeds();

struct LevelOutcome {
    bool won = false;
    int32_t gameTime = 0;  // game time from the start to the win, or to the end
};

// Plays one level through the Arcade loop with the scripted player, one pass
// every 26 ms of game time; gives up with Escape after giveUpAfter ms.
LevelOutcome playCampaignLevel(int fileNumber, uint32_t seed, int32_t giveUpAfter = 15 * 60 * 1000);

} // namespace pomlets::testing
