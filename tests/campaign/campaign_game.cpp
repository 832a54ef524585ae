#include "campaign_game.h"

#include <fstream>
#include <set>

#include "common/brains.h"
#include "datafiles/level_files.h"
#include "engine/main_loops.h"
#include "game_session.h"
#include "platform/directx.h"
#include "platform/runtime.h"
#include "support/scripted_player.h"
#include "support/text_lines.h"
#include "support/platform_port.h"

namespace pomlets::testing {

namespace {

std::vector<std::string> sourceLines(const std::string& relative) {
    return pomlets::testing::linesOfFile(std::string(POMLETS_SOURCE_DIR) + "/data/" + relative);
}

} // namespace

std::vector<CampaignLevel> campaignFromSources() {
    std::vector<CampaignLevel> levels;
    const auto list = sourceLines("init/6537");
    if (list.size() < 2) return levels;
    std::set<std::string> seen = {list[0]};
    int number = std::stoi(list[1]);
    while (levels.size() < 200) {
        levels.push_back({static_cast<int>(levels.size()) + 1, number});
        const auto level = sourceLines("levels/" + std::to_string(number));
        if (level.size() < 4 || !seen.insert(level[2]).second) break;
        number = std::stoi(level[3]);
    }
    return levels;
}

const std::vector<uint32_t>& campaignSeeds() {
    static const std::vector<uint32_t> seeds = {0x3A61C5, 0x91D2E7, 0x5B0F13, 0xC4783B, 0x2E95A9, 0x7F13D1,
                                                0x0C6E4D, 0xE2B78F, 0x46D021, 0xA81F63, 0x1B5C97, 0xD9E40B,
                                                0x63A8F5, 0x8E2139, 0x37F6AD, 0xF04C71, 0x52BE07, 0xB7D94B,
                                                0x29036F, 0x9C8AE3};
    return seeds;
}

LevelOutcome playCampaignLevel(int fileNumber, uint32_t seed, int32_t giveUpAfter) {
    GameSession game("Arcade", seed);
    loadLevel(appPath("\\levels\\" + std::to_string(fileNumber)), true);
    const int32_t start = gameTime();
    ScriptedPlayer player;
    LevelOutcome outcome;
    bool quit = false;
    EveryPass pass([&] {
        const int32_t now = gameTime();
        if (levelWon && !outcome.won) {
            outcome.won = true;
            outcome.gameTime = now - start;
        }
        if (!quit && now - start > giveUpAfter) {
            quit = true;
            injectKey(dik::ESCAPE, true);
            injectKey(dik::ESCAPE, false);
        }
        if (!quit) player.onPass(now);
        advanceClock(26);
    });
    playArcade();
    if (!outcome.won) outcome.gameTime = gameTime() - start;
    return outcome;
}

} // namespace pomlets::testing
