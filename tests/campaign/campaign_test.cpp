// Every shipped Arcade level is won by the scripted player within its time,
// from the campaign's fixed seeds: a level passes when one of the first three
// seeds wins it. One test a level, so that CTest plays them side by side.
#include <gtest/gtest.h>

#include "campaign_game.h"

namespace pomlets::testing {
namespace {

class CampaignLevelTest : public ::testing::TestWithParam<CampaignLevel> {};

TEST_P(CampaignLevelTest, WonByTheScriptedPlayer) {
    const CampaignLevel level = GetParam();
    std::string tries;
    for (size_t i = 0; i < 3; ++i) {
        const LevelOutcome outcome = playCampaignLevel(level.fileNumber, campaignSeeds()[i]);
        if (outcome.won) return;
        tries += " seed " + std::to_string(i + 1) + " lost after " + std::to_string(outcome.gameTime / 1000) + " s;";
    }
    FAIL() << "level " << level.position << " (file " << level.fileNumber << "):" << tries;
}

INSTANTIATE_TEST_SUITE_P(Arcade, CampaignLevelTest, ::testing::ValuesIn(campaignFromSources()),
                         [](const ::testing::TestParamInfo<CampaignLevel>& info) {
                             const int p = info.param.position;
                             return std::string("Level") + (p < 10 ? "0" : "") + std::to_string(p) + "_" +
                                    std::to_string(info.param.fileNumber);
                         });

} // namespace
} // namespace pomlets::testing
