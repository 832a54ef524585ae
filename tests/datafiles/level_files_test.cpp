// Piece definitions, level files and the piece table: header switches, spawn
// records, strict and lenient reading, and the shipped data.
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <vector>

#include "data_helpers.h"
#include "datafiles/level_files.h"
#include "display/game_window.h"
#include "display/piece_table.h"

namespace pomlets {
namespace {

using testing::errorOf;
using testing::putScrambled;
using testing::scratchFileExists;

class LevelFilesTest : public testing::DataFileTest {
protected:
    LevelFilesTest() {
        ddraw = std::make_shared<DirectDraw7>();
        colorKey = {0xFFFFFF, 0xFFFFFF};
    }
    ~LevelFilesTest() override { ddraw.reset(); }

    // A small table: two Pomlets, a Rock, a Slammer.
    void smallTable() {
        pieceDefs = {};
        const std::pair<const char*, int16_t> kinds[] = {{"Pomlet", 1}, {"Pomlet", 2}, {"Rock", 1}, {"Slammer", 1}};
        for (size_t i = 0; i < 4; ++i) {
            pieceDefs[i].typeName = kinds[i].first;
            pieceDefs[i].variant = kinds[i].second;
        }
        lastPieceType = 3;
    }
    void load(const std::string& plain, bool withHeader) {
        putScrambled(folder, "\\levels\\77", plain);
        loadLevel(appPath("\\levels\\77"), withHeader);
    }
    // How many of the draws 0 to 999 yield this definition.
    static int drawsOf(const PieceDef& def) {
        const int low = std::max<int>(def.spawnLow, 0), high = std::min<int>(def.spawnHigh, 999);
        return std::max(0, high - low + 1);
    }
    // How many definitions of slots 0 to lastPieceType each draw 0 to 999 yields.
    static std::vector<int> drawCover() {
        std::vector<int> cover(1000, 0);
        for (int i = 0; i <= lastPieceType; ++i)
            for (int r = 0; r < 1000; ++r)
                if (pieceDefs[static_cast<size_t>(i)].spawnLow <= r && r <= pieceDefs[static_cast<size_t>(i)].spawnHigh)
                    ++cover[static_cast<size_t>(r)];
        return cover;
    }
};

const char* const spawnRecords = "Pomlet,1,0,499\r\nPomlet,2,500,799\r\nRock,1,800,899\r\nSlammer,1,900,999\r\n";

TEST_F(LevelFilesTest, HeaderCountdownsAndGoalSwitches) {
    const struct {
        const char* goals;  // fields 5 to 15
        int16_t limitMinutes, limitSeconds;
        bool limitOn;
        int16_t survivalMinutes, survivalSeconds;
        bool survivalOn, protectOn, settleOn;
    } cases[] = {
        {"-1,Nothing\r\n-1\r\n0,0\r\n0,0\r\n-1,-1\r\n-1,-1", -1, 0, false, -1, 0, false, false, false},
        {"-1,Nothing\r\n-1\r\n1,0\r\n1,0\r\n-1,-1\r\n-1,-1", 0, 0, false, 0, 0, false, false, false},
        {"-1,Nothing\r\n-1\r\n2,0\r\n0,0\r\n-1,-1\r\n-1,-1", 1, 0, true, -1, 0, false, false, false},
        {"-1,Nothing\r\n-1\r\n1,30\r\n0,0\r\n-1,-1\r\n-1,-1", 0, 30, true, -1, 0, false, false, false},
        {"-1,Nothing\r\n-1\r\n0,0\r\n3,0\r\n-1,-1\r\n-1,-1", -1, 0, false, 2, 0, true, false, false},
        {"-1,Nothing\r\n-1\r\n0,0\r\n1,5\r\n-1,-1\r\n-1,-1", -1, 0, false, 0, 5, true, false, false},
        {"-1,Nothing\r\n-1\r\n0,0\r\n0,-1\r\n0,Bauble\r\n-1,Diamond", -1, 0, false, -1, -1, false, true, false},
        {"-1,Nothing\r\n-1\r\n0,0\r\n0,0\r\n3,Bauble\r\n0,Diamond", -1, 0, false, -1, 0, false, true, true},
        {"-1,Nothing\r\n-1\r\n0,0\r\n0,0\r\n-1,-1\r\n6,Diamond", -1, 0, false, -1, 0, false, false, true},
    };
    for (const auto& c : cases) {
        smallTable();
        levelWon = levelOver = true;
        currentLevel.limitTimerOn = currentLevel.survivalTimerOn = true;
        currentLevel.protectGoalOn = currentLevel.settleGoalOn = true;
        load(std::string("1500\r\nA caption\r\nNext\r\n12\r\n") + c.goals + "\r\n" + spawnRecords, true);
        const LevelInfo& level = currentLevel;
        EXPECT_EQ(level.limitMinutes, c.limitMinutes) << c.goals;
        EXPECT_EQ(level.limitSeconds, c.limitSeconds) << c.goals;
        EXPECT_EQ(level.limitTimerOn, c.limitOn) << c.goals;
        EXPECT_EQ(level.survivalMinutes, c.survivalMinutes) << c.goals;
        EXPECT_EQ(level.survivalSeconds, c.survivalSeconds) << c.goals;
        EXPECT_EQ(level.survivalTimerOn, c.survivalOn) << c.goals;
        EXPECT_EQ(level.protectGoalOn, c.protectOn) << c.goals;
        EXPECT_EQ(level.settleGoalOn, c.settleOn) << c.goals;
        EXPECT_FALSE(levelWon);
        EXPECT_FALSE(levelOver);
        EXPECT_FALSE(scratchFileExists(folder));
    }
}

TEST_F(LevelFilesTest, HeaderFields) {
    smallTable();
    load("2000.9\r\nLevel 9,  with commas\r\nLevel 10, the end\r\n 10.5 \r\n"
         "25,Rock\r\n4000\r\n6,0\r\n3,0\r\n2,Bauble\r\n5,Diamond\r\n" +
             std::string(spawnRecords),
         true);
    EXPECT_EQ(spawnInterval, 2000);
    const LevelInfo& level = currentLevel;
    EXPECT_EQ(level.levelCaption, "Level 9,  with commas");
    EXPECT_EQ(level.awardLevelName, "Level 10, the end");
    EXPECT_EQ(level.awardLevelNumber, 10);  // half to even
    EXPECT_EQ(level.goalPiecesLeft, 25);
    EXPECT_EQ(level.goalPieceName, "Rock");
    EXPECT_EQ(level.targetScore, 4000);
    EXPECT_EQ(level.protectPiecesLeft, 2);
    EXPECT_EQ(level.protectPieceName, "Bauble");
    EXPECT_EQ(level.settlePiecesLeft, 5);
    EXPECT_EQ(level.settlePieceName, "Diamond");
    // The caption starts scrolling at once.
    EXPECT_EQ(lastMessageGlyph, static_cast<int16_t>(level.levelCaption.size() - 1));
    EXPECT_EQ(pieceDefs[2].spawnLow, 800);
    EXPECT_EQ(pieceDefs[2].spawnHigh, 899);
}

TEST_F(LevelFilesTest, FreestyleLevelKeepsTheLevelRecord) {
    smallTable();
    currentLevel.goalPieceName = "-1";
    currentLevel.limitMinutes = -1;
    levelWon = true;
    load("1500\r\n" + std::string(spawnRecords), false);
    EXPECT_EQ(spawnInterval, 1500);
    EXPECT_EQ(currentLevel.goalPieceName, "-1");
    EXPECT_EQ(currentLevel.limitMinutes, -1);
    EXPECT_FALSE(currentLevel.limitTimerOn);
    EXPECT_TRUE(levelWon);
    EXPECT_EQ(lastMessageGlyph, -1);
    const std::vector<int> cover = drawCover();
    EXPECT_EQ(std::set<int>(cover.begin(), cover.end()), std::set<int>{1});
    EXPECT_EQ(pieceDefs[1].spawnLow, 500);
    EXPECT_EQ(pieceDefs[1].spawnHigh, 799);
}

TEST_F(LevelFilesTest, SpawnRecords) {
    smallTable();
    pieceDefs[4] = pieceDefs[0];  // a second definition of Pomlet 1
    lastPieceType = 4;
    // A record naming no definition is read whole and changes nothing; one
    // naming two gives both the range; draws are taken down.
    load("1500\r\nGhost,1,5,6\r\nPomlet,1,10.9,20.2\r\nRock,1,30,40\r\npomlet,2,1,2\r\n", false);
    EXPECT_EQ(pieceDefs[0].spawnLow, 10);
    EXPECT_EQ(pieceDefs[0].spawnHigh, 20);
    EXPECT_EQ(pieceDefs[4].spawnLow, 10);
    EXPECT_EQ(pieceDefs[2].spawnLow, 30);
    EXPECT_EQ(pieceDefs[1].spawnLow, 0);  // names are compared with their case
    EXPECT_EQ(pieceDefs[3].spawnHigh, 0);
    // Slots above lastPieceType are left alone.
    pieceDefs[5].typeName = "Rock";
    pieceDefs[5].variant = 1;
    load("1500\r\nRock,1,50,60\r\n", false);
    EXPECT_EQ(pieceDefs[5].spawnLow, 0);
    EXPECT_EQ(pieceDefs[2].spawnLow, 50);
}

TEST_F(LevelFilesTest, DamagedLevelsRaiseTheirErrors) {
    const struct {
        std::string plain;
        bool withHeader;
        int error;
    } cases[] = {
        {"fast\r\n", false, err::TypeMismatch},
        {"\r\n", false, err::TypeMismatch},
        {"3e9\r\n", false, err::Overflow},
        {"1500\r\nPomlet,one,0,5\r\n", false, err::TypeMismatch},
        {"1500\r\nPomlet,1,0,lots\r\n", false, err::TypeMismatch},
        {"1500\r\nPomlet,1,0,40000\r\n", false, err::Overflow},
        {"1500\r\nPomlet,1,0\r\n", false, err::PastEndOfFile},
        {"1500\r\nCaption\r\nNext\r\n", true, err::PastEndOfFile},
        {"1500\r\nCaption\r\nNext\r\n99999\r\n", true, err::Overflow},
        {"1500\r\nCaption\r\nNext\r\n1\r\n-1,x\r\n-1\r\n40000,0\r\n", true, err::Overflow},
        {"1500\r\nCaption\r\nNext\r\n1\r\n-1,x\r\n-1\r\n-32768,0\r\n", true, err::Overflow},  // less one
    };
    for (const auto& c : cases) {
        smallTable();
        EXPECT_EQ(errorOf([&] { load(c.plain, c.withHeader); }), c.error) << c.plain;
        EXPECT_FALSE(scratchFileExists(folder)) << c.plain;
    }
    // Header numbers read leniently: text that is not a number reads 0.
    smallTable();
    load("1500\r\nCaption\r\nNext\r\nsoon\r\nmany,x\r\nbig\r\nno,no\r\nno,no\r\nno,x\r\nno,y\r\n", true);
    EXPECT_EQ(currentLevel.awardLevelNumber, 0);
    EXPECT_EQ(currentLevel.goalPiecesLeft, 0);
    EXPECT_EQ(currentLevel.limitMinutes, -1);
    EXPECT_TRUE(currentLevel.protectGoalOn);
    EXPECT_EQ(errorOf([&] { loadLevel(appPath("\\levels\\missing"), false); }), err::FileNotFound);

    // The error names the file, so that the player can find it.
    const auto descriptionOf = [](auto&& call) {
        try {
            call();
        } catch (const RuntimeError& e) {
            return e.description();
        }
        return std::string("no error");
    };
    EXPECT_EQ(descriptionOf([&] { load("3e9\r\n", false); }), "Overflow: the level file \"levels/77\"");
    EXPECT_EQ(descriptionOf([&] { loadLevel(appPath("\\levels\\missing"), false); }),
              "File not found: the level file \"levels/missing\"");
}

TEST_F(LevelFilesTest, PieceDefinitionFields) {
    // Flags from any non-zero number, numbers rounded half to even, text that
    // is not a number reads 0; fields after the twentieth are ignored.
    putScrambled(folder, "\\init\\4242",
                 "Calculator, 2.5 ,calculator\r\n7,0,-1,0,0,1,0,0,0,0,0.1,0,0\r\n-12.5,12000.5,ten,1,extra,fields\r\n");
    const PieceDef def = loadPieceDef("4242");
    EXPECT_FALSE(scratchFileExists(folder));
    EXPECT_EQ(def.typeName, "Calculator");
    EXPECT_EQ(def.variant, 2);
    EXPECT_TRUE(def.bombable);
    EXPECT_FALSE(def.spareFlag1);
    EXPECT_TRUE(def.slammable);
    EXPECT_TRUE(def.isCalculator);
    EXPECT_TRUE(def.spareFlag2);
    EXPECT_FALSE(def.isBomb || def.isBauble || def.isDiamond || def.isGorgon || def.isShifter || def.isMoney ||
                 def.isBowlingBall || def.isSlammer);
    EXPECT_EQ(def.points, -12);
    EXPECT_EQ(def.timerMax, 12000);
    EXPECT_EQ(def.timerMin, 0);
    EXPECT_TRUE(def.blastOnRemoval);
    EXPECT_EQ(def.imageIndex, 0);
    EXPECT_EQ(def.spawnLow, 0);
    ASSERT_TRUE(def.surface);
    EXPECT_EQ(def.surface->width(), 90);

    // "BType" and "Pin" load no picture, even when theirs is missing.
    for (const char* type : {"BType", "Pin"}) {
        putScrambled(folder, "\\init\\4243", std::string(type) + ",1,no such picture,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\r\n");
        EXPECT_FALSE(loadPieceDef("4243").surface) << type;
    }
    putScrambled(folder, "\\init\\4244", "Rock,1,no such picture,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\r\n");
    EXPECT_EQ(errorOf([] { loadPieceDef("4244"); }), err::FileNotFound);
    putScrambled(folder, "\\init\\4245", "Rock,1,rock1,0,0\r\n");
    EXPECT_EQ(errorOf([] { loadPieceDef("4245"); }), err::PastEndOfFile);
    putScrambled(folder, "\\init\\4246", "Rock,1,rock1,0,0,0,0,0,0,0,0,0,0,0,0,0,1e10,0,0,0\r\n");
    EXPECT_EQ(errorOf([] { loadPieceDef("4246"); }), err::Overflow);
    EXPECT_EQ(errorOf([] { loadPieceDef("0000"); }), err::FileNotFound);
    EXPECT_FALSE(scratchFileExists(folder));
}

TEST_F(LevelFilesTest, PictureNameIsAFileNameOfTheImagesFolder) {
    // Each of these would reach a picture that exists outside the images folder.
    for (const char* name : {"../themes/Cells/plate_01", "..\\themes\\Cells\\plate_01", "/tmp/../x", "..", ""}) {
        putScrambled(folder, "\\init\\4247", std::string("Rock,1,") + name + ",0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\r\n");
        EXPECT_EQ(errorOf([] { loadPieceDef("4247"); }), err::BadFileName) << name;
        EXPECT_FALSE(scratchFileExists(folder));
    }
    putScrambled(folder, "\\init\\4247", "Rock,1,rock1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\r\n");
    EXPECT_TRUE(loadPieceDef("4247").surface);
}

// The kinds of the shipped definitions, by slot.
struct Kind {
    const char* typeName;
    int16_t variant;
    bool bombable, slammable;
    int32_t points, timerMin, timerMax;
    bool PieceDef::*flag;  // the kind's own flag, if any
};

TEST_F(LevelFilesTest, ShippedPieceTable) {
    initPieces();
    EXPECT_FALSE(scratchFileExists(folder));
    EXPECT_EQ(lastPieceType, 18);
    const Kind kinds[19] = {
        {"Pomlet", 1, true, true, 10, 0, 0, nullptr},
        {"Pomlet", 2, true, true, 10, 0, 0, nullptr},
        {"Pomlet", 3, true, true, 10, 0, 0, nullptr},
        {"Pomlet", 4, true, true, 10, 0, 0, nullptr},
        {"Rock", 1, true, false, 20, 0, 0, nullptr},
        {"Rock", 2, true, false, 20, 0, 0, nullptr},
        {"Rock", 3, true, false, 20, 0, 0, nullptr},
        {"Slammer", 1, true, false, 10, 0, 0, &PieceDef::isSlammer},
        {"Bomb", 1, true, true, 10, 29000, 31000, &PieceDef::isBomb},
        {"Bauble", 1, true, true, 0, 60000, 120000, &PieceDef::isBauble},
        {"Diamond", 1, false, false, 0, 0, 0, &PieceDef::isDiamond},
        {"Calculator", 1, true, true, 0, 10000, 12000, &PieceDef::isCalculator},
        {"Gorgon", 1, true, true, 500, 55000, 65000, &PieceDef::isGorgon},
        {"Shifter", 1, true, true, 25, 8000, 10000, &PieceDef::isShifter},
        {"Bowling Ball", 1, false, false, 0, 0, 0, &PieceDef::isBowlingBall},
        {"Money", 1, true, true, 0, 0, 0, &PieceDef::isMoney},
        {"Music", 1, true, true, 0, 0, 0, nullptr},
        {"BType", 1, true, true, 10, 0, 0, nullptr},
        {"Pin", 1, false, false, 0, 0, 0, nullptr},
    };
    bool PieceDef::*const ownFlags[] = {&PieceDef::isSlammer,  &PieceDef::isBomb,   &PieceDef::isBauble,
                                        &PieceDef::isDiamond,  &PieceDef::isCalculator, &PieceDef::isGorgon,
                                        &PieceDef::isShifter,  &PieceDef::isBowlingBall, &PieceDef::isMoney,
                                        &PieceDef::spareFlag1, &PieceDef::spareFlag2, &PieceDef::blastOnRemoval};
    for (size_t k = 0; k < 19; ++k) {
        const PieceDef& def = pieceDefs[k];
        const Kind& kind = kinds[k];
        SCOPED_TRACE(kind.typeName);
        EXPECT_EQ(def.typeName, kind.typeName);
        EXPECT_EQ(def.variant, kind.variant);
        EXPECT_EQ(def.imageIndex, static_cast<int16_t>(k));
        EXPECT_EQ(def.bombable, kind.bombable);
        EXPECT_EQ(def.slammable, kind.slammable);
        EXPECT_EQ(def.points, kind.points);
        EXPECT_EQ(def.timerMin, kind.timerMin);
        EXPECT_EQ(def.timerMax, kind.timerMax);
        for (auto flag : ownFlags) EXPECT_EQ(def.*flag, flag == kind.flag);
        const bool pictured = def.typeName != "BType" && def.typeName != "Pin";
        EXPECT_EQ(static_cast<bool>(def.surface), pictured);
    }
    // Slot 19: the negative Calculator's picture and nothing else.
    const PieceDef& negative = pieceDefs[19];
    ASSERT_TRUE(negative.surface);
    EXPECT_EQ(negative.typeName, "");
    EXPECT_FALSE(negative.isCalculator);
    EXPECT_EQ(negative.points, 0);
    EXPECT_EQ(negative.timerMax, 0);

    // A second build starts afresh.
    pieceDefs[3].spawnHigh = 999;
    pieceDefs[3].typeName = "changed";
    initPieces();
    EXPECT_EQ(pieceDefs[3].spawnHigh, 0);
    EXPECT_EQ(pieceDefs[3].typeName, "Pomlet");
}

TEST_F(LevelFilesTest, ShippedFreestyleLevel) {
    initPieces();
    loadLevel(appPath("\\levels\\2193"), false);
    EXPECT_GE(spawnInterval, 1000);
    EXPECT_LE(spawnInterval, 3000);
    const std::vector<int> cover = drawCover();
    EXPECT_EQ(std::set<int>(cover.begin(), cover.end()), std::set<int>{1}) << "every draw yields exactly one piece";
    std::map<std::string, int> share;
    for (int i = 0; i <= lastPieceType; ++i) {
        const PieceDef& def = pieceDefs[static_cast<size_t>(i)];
        share[def.typeName] += drawsOf(def);
    }
    int largestOther = 0;
    for (const auto& [type, count] : share)
        if (type != "Pomlet" && type != "Rock") largestOther = std::max(largestOther, count);
    EXPECT_GT(share["Pomlet"], share["Rock"]);
    EXPECT_GT(share["Rock"], largestOther);
    EXPECT_GT(share["Bowling Ball"], 0);
    EXPECT_LE(share["Bowling Ball"], 20);
    EXPECT_GT(share["Money"], 0);
    EXPECT_LE(share["Money"], 20);
    EXPECT_EQ(share["BType"], 0);
    EXPECT_EQ(share["Pin"], 0);
    EXPECT_EQ(share["Music"], 0);
    EXPECT_FALSE(scratchFileExists(folder));
}

TEST_F(LevelFilesTest, ShippedArcadeChain) {
    initPieces();
    // The level list's first pair names the first Arcade level.
    const std::string list = testing::plainOf(folder, "\\init\\6537");
    const size_t nameEnd = list.find("\r\n");
    ASSERT_NE(nameEnd, std::string::npos);
    std::set<std::string> seen = {list.substr(0, nameEnd)};
    int32_t number = toInt32(lenientNumber(list.substr(nameEnd + 2)));
    int count = 0;
    bool elimination = false, target = false, limit = false, survival = false, protect = false, settle = false;
    for (;;) {
        ASSERT_LT(count, 100);
        SCOPED_TRACE("level " + std::to_string(number));
        resetSharedState();
        initPieces();
        loadLevel(appPath("\\levels\\" + std::to_string(number)), true);
        ++count;
        const LevelInfo& level = currentLevel;
        EXPECT_FALSE(level.levelCaption.empty());
        const std::vector<int> cover = drawCover();
        EXPECT_EQ(std::set<int>(cover.begin(), cover.end()), std::set<int>{1});
        for (int i = 0; i <= lastPieceType; ++i) {
            const PieceDef& def = pieceDefs[static_cast<size_t>(i)];
            if (def.typeName == "BType" || def.typeName == "Pin" || def.typeName == "Music") {
                EXPECT_EQ(drawsOf(def), 0) << def.typeName << " never spawns";
            }
        }
        elimination |= level.goalPieceName != "-1" && level.goalPieceName != "Nothing" && level.goalPiecesLeft > 0;
        target |= level.targetScore != -1;
        limit |= level.limitTimerOn;
        survival |= level.survivalTimerOn;
        protect |= level.protectGoalOn;
        settle |= level.settleGoalOn;
        if (level.survivalTimerOn) {
            // With the survival countdown on, the level is won by the countdown
            // alone: no other goal may stand open.
            EXPECT_TRUE(level.goalPieceName == "-1" || level.goalPieceName == "Nothing" || level.goalPiecesLeft <= 0);
            EXPECT_EQ(level.targetScore, -1);
            EXPECT_FALSE(level.settleGoalOn);
            EXPECT_GE(level.survivalSeconds, 0);
        }
        if (!seen.insert(level.awardLevelName).second) break;  // the last level awards one already known
        number = level.awardLevelNumber;
    }
    EXPECT_GE(count, 5);
    EXPECT_TRUE(elimination && target && limit && survival && protect && settle);
    EXPECT_FALSE(scratchFileExists(folder));
}

} // namespace
} // namespace pomlets
