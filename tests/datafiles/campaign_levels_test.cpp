// The level checker: every shipped level file, read back through the game's
// own loader, against the rules a playable campaign needs.
#include <cctype>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "data_helpers.h"
#include "datafiles/level_files.h"
#include "display/game_window.h"
#include "display/piece_table.h"
#include "engine/goals.h"
#include "support/text_lines.h"

namespace pomlets {
namespace {

using testing::plainOf;

// The fields of a plain data file, split at commas and line ends.
std::vector<std::string> fieldsOf(const std::string& text) {
    std::vector<std::string> fields;
    for (const std::string& line : testing::linesOfText(text)) {
        std::string field;
        std::istringstream parts(line);
        while (std::getline(parts, field, ',')) fields.push_back(field);
    }
    return fields;
}

class CampaignLevelsTest : public testing::DataFileTest {
protected:
    CampaignLevelsTest() {
        ddraw = std::make_shared<DirectDraw7>();
        colorKey = {0xFFFFFF, 0xFFFFFF};
    }
    ~CampaignLevelsTest() override { ddraw.reset(); }

    // The Arcade level files of the program folder: every file of "\levels\"
    // but the Freestyle one.
    std::set<int> shippedArcadeFiles() const {
        std::set<int> numbers;
        for (const auto& entry : std::filesystem::directory_iterator(folder.file("levels")))
            if (entry.path().filename() != "2193") numbers.insert(std::stoi(entry.path().filename().string()));
        return numbers;
    }

    bool isPieceType(const std::string& name) const {
        for (int i = 0; i <= lastPieceType; ++i)
            if (pieceDefs[static_cast<size_t>(i)].typeName == name) return true;
        return false;
    }

    // How far right the level line reaches when drawn where the Arcade loop draws it.
    static int levelLineRightEdge(const std::string& caption) {
        DDSURFACEDESC2 desc;
        desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.caps.caps = DDSCAPS_OFFSCREENPLAIN;
        desc.width = 1024;
        desc.height = 80;
        SurfaceRef line = ddraw->CreateSurface(desc);
        line->BltColorFill(RECT{}, 0);
        StdFont font;
        font.name = "Times New Roman";
        font.size = 12;
        line->SetFont(font);
        line->SetFontTransparency(true);
        line->SetForeColor(0xFFFFFF);
        line->DrawText(315, 33, caption, false);
        int right = 0;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 1024; ++x)
                if (line->pixelRGB(x, y) != 0) right = std::max(right, x);
        return right;
    }
};

TEST_F(CampaignLevelsTest, EveryShippedLevelFileIsPlayable) {
    initPieces();
    const std::set<int> files = shippedArcadeFiles();
    ASSERT_GE(files.size(), 51u);
    initPieces();
    loadLevel(appPath("\\levels\\2193"), false);  // the Freestyle level too: every draw spawns one piece
    for (int r = 0; r < 1000; ++r) {
        int matches = 0;
        for (int i = 0; i <= lastPieceType; ++i)
            matches += pieceDefs[static_cast<size_t>(i)].spawnLow <= r && r <= pieceDefs[static_cast<size_t>(i)].spawnHigh;
        ASSERT_EQ(matches, 1) << "Freestyle draw " << r;
    }

    for (int number : files) {
        SCOPED_TRACE("level file " + std::to_string(number));
        resetSharedState();
        initPieces();
        loadLevel(appPath("\\levels\\" + std::to_string(number)), true);
        const LevelInfo level = currentLevel;

        // Spawn records: each names exactly one definition, and every draw
        // 0 to 999 falls in exactly one record's range.
        const std::vector<std::string> fields = fieldsOf(plainOf(folder, "\\levels\\" + std::to_string(number)));
        const size_t headerEnd = 1 + 14;  // interval; caption, award name, award number as one field each; 11 goal fields
        std::vector<int> cover(1000, 0);
        const std::vector<std::string> lines = testing::linesOfText(plainOf(folder, "\\levels\\" + std::to_string(number)));
        ASSERT_GE(lines.size(), 4u);
        // The caption and award name may hold commas: count the fields of lines 2 and 3.
        const size_t captionFields = fieldsOf(lines[1]).size() + fieldsOf(lines[2]).size();
        const size_t first = headerEnd - 2 + captionFields;
        ASSERT_EQ((fields.size() - first) % 4, 0u);
        for (size_t f = first; f + 3 < fields.size(); f += 4) {
            const std::string& name = fields[f];
            const int variant = std::stoi(fields[f + 1]);
            int named = 0;
            for (int i = 0; i <= lastPieceType; ++i)
                named += pieceDefs[static_cast<size_t>(i)].typeName == name && pieceDefs[static_cast<size_t>(i)].variant == variant;
            EXPECT_EQ(named, 1) << name << " " << variant;
            const int low = std::stoi(fields[f + 2]), high = std::stoi(fields[f + 3]);
            for (int r = std::max(low, 0); r <= std::min(high, 999); ++r) ++cover[static_cast<size_t>(r)];
        }
        for (int r = 0; r < 1000; ++r) ASSERT_EQ(cover[static_cast<size_t>(r)], 1) << "draw " << r;
        // ...and the loader gave the definitions the same ranges.
        for (int r = 0; r < 1000; ++r) {
            int matches = 0;
            for (int i = 0; i <= lastPieceType; ++i)
                matches += pieceDefs[static_cast<size_t>(i)].spawnLow <= r && r <= pieceDefs[static_cast<size_t>(i)].spawnHigh;
            ASSERT_EQ(matches, 1) << "draw " << r;
        }
        EXPECT_GE(spawnInterval, 300);

        // Goal names are piece types.
        if (level.goalPieceName != "-1" && level.goalPieceName != "Nothing") {
            EXPECT_TRUE(isPieceType(level.goalPieceName)) << level.goalPieceName;
            EXPECT_GT(level.goalPiecesLeft, 0);
        }
        if (level.protectGoalOn) {
            EXPECT_TRUE(isPieceType(level.protectPieceName)) << level.protectPieceName;
        }
        if (level.settleGoalOn) {
            EXPECT_TRUE(isPieceType(level.settlePieceName)) << level.settlePieceName;
        }

        // Neither won nor lost by the header alone at the first frame.
        score = 0;
        EXPECT_FALSE(level.protectGoalOn && level.protectPiecesLeft < 1) << "lost at once";
        const bool met = levelGoalsMet();
        EXPECT_FALSE(level.survivalTimerOn ? !met : met) << "won at once";

        // Countdowns start at zero minutes or more, and never two at once
        // (they share one minute, so the survival countdown would never fall).
        if (level.limitTimerOn) {
            EXPECT_GE(level.limitMinutes, 0);
        }
        if (level.survivalTimerOn) {
            EXPECT_GE(level.survivalMinutes, 0);
        }
        EXPECT_FALSE(level.limitTimerOn && level.survivalTimerOn);

        // The caption fits the banner (every character has a glyph) and the
        // level line (it ends inside the field's width).
        EXPECT_FALSE(level.levelCaption.empty());
        EXPECT_LE(level.levelCaption.size(), 40u);
        for (char c : level.levelCaption) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == ' ' || c == '!') << "'" << c << "' has no banner glyph";
        const int rightEdge = levelLineRightEdge(level.levelCaption);
        EXPECT_GT(rightEdge, 315) << "nothing drawn";
        EXPECT_LE(rightEdge, 934) << level.levelCaption;
    }
    EXPECT_FALSE(testing::scratchFileExists(folder));
}

TEST_F(CampaignLevelsTest, AwardChainVisitsEveryLevelOnceAndEndsOnItself) {
    initPieces();
    const std::vector<std::string> list = testing::linesOfText(plainOf(folder, "\\init\\6537"));
    ASSERT_EQ(list.size(), 2u) << "the shipped list offers one level";
    std::string name = list[0];
    int number = toInt32(lenientNumber(list[1]));
    std::set<int> visited;
    std::set<std::string> names;
    for (;;) {
        SCOPED_TRACE("level file " + std::to_string(number));
        ASSERT_TRUE(visited.insert(number).second) << "visited twice";
        ASSERT_TRUE(names.insert(name).second) << "name used twice: " << name;
        resetSharedState();
        initPieces();
        loadLevel(appPath("\\levels\\" + std::to_string(number)), true);
        if (currentLevel.awardLevelNumber == number) {
            EXPECT_EQ(currentLevel.awardLevelName, name) << "the last level awards itself";
            break;
        }
        name = currentLevel.awardLevelName;
        number = currentLevel.awardLevelNumber;
    }
    EXPECT_EQ(visited, shippedArcadeFiles());
}

} // namespace
} // namespace pomlets
