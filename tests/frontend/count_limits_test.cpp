// Every count of the player's profile at the edges of its type, through every
// path that changes a count: a Money piece and a Music Note collected in a
// game of either mode, the four purchases of the store, keys 1 to 4 in a game,
// and the profile loaded and saved. No path stops with a run-time error,
// nothing is taken without its counterpart, a count at its limit stays there,
// and what is saved reads back the same.
#include <QTimer>
#include <array>
#include <cstdint>
#include <limits>
#include <sstream>

#include "datafiles/player_files.h"
#include "display/game_window.h"
#include "engine/field.h"
#include "frontend_fixture.h"
#include "support/platform_port.h"

namespace pomlets::testing {
namespace {

// The counts in the profile's own order of items: credits, items 0 to 5, Music Notes.
enum class Count { Credits, Slammers, Bombs, Detonators, BowlingBalls, BonusSongs, MidnightBowling, MusicNotes };
constexpr std::array<Count, 8> allCounts{Count::Credits,      Count::Slammers,   Count::Bombs,
                                         Count::Detonators,   Count::BowlingBalls, Count::BonusSongs,
                                         Count::MidnightBowling, Count::MusicNotes};
const char* nameOf(Count c) {
    constexpr std::array<const char*, 8> names{"Credits",    "Slammers",   "Bombs",           "Detonators",
                                               "BowlingBalls", "BonusSongs", "MidnightBowling", "MusicNotes"};
    return names[static_cast<size_t>(c)];
}

enum class Edge { BelowLimit, AtLimit, MostNegative };
const char* nameOf(Edge e) {
    constexpr std::array<const char*, 3> names{"BelowLimit", "AtLimit", "MostNegative"};
    return names[static_cast<size_t>(e)];
}

enum class Path { CollectFreestyle, CollectArcade, Buy, SpendKeys, LoadSave };
const char* nameOf(Path p) {
    constexpr std::array<const char*, 5> names{"CollectFreestyle", "CollectArcade", "Buy", "SpendKeys", "LoadSave"};
    return names[static_cast<size_t>(p)];
}

// All eight counts, widened.
struct Counts {
    int64_t credits = 0;
    std::array<int64_t, 6> items{};
    int64_t musicNotes = 0;

    int64_t& operator[](Count c) {
        if (c == Count::Credits) return credits;
        if (c == Count::MusicNotes) return musicNotes;
        return items[static_cast<size_t>(c) - 1];
    }
    bool operator==(const Counts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Counts& c) {
    out << "credits " << c.credits << ", items";
    for (int64_t i : c.items) out << " " << i;
    return out << ", notes " << c.musicNotes;
}

Counts live() {
    Counts c;
    c.credits = credits;
    for (size_t k = 0; k < 6; ++k) c.items[k] = items[k];
    c.musicNotes = musicNotes;
    return c;
}

int64_t limitOf(Count c) {
    return c == Count::MusicNotes ? std::numeric_limits<int32_t>::max() : std::numeric_limits<int16_t>::max();
}
int64_t valueAt(Count c, Edge e) {
    if (e == Edge::BelowLimit) return limitOf(c) - 1;
    if (e == Edge::AtLimit) return limitOf(c);
    return c == Count::MusicNotes ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int16_t>::min();
}
int64_t oneMore(Count c, int64_t v) { return v == limitOf(c) ? v : v + 1; }

struct Item {
    const char* question;
    int64_t price;
    const char* many;
    int key;
};
constexpr std::array<Item, 4> storeItems{{
    {"Do you want to purchase a Slammer for 2 credits?", 2, "Slammers", dik::K1},
    {"Do you want to purchase a Bomb for 4 credits?", 4, "Bombs", dik::K2},
    {"Do you want to purchase a Detonator for 7 credits?", 7, "Detonators", dik::K3},
    {"Do you want to purchase a Bowling Ball for 10 credits?", 10, "Bowling Balls", dik::K4},
}};

using Case = std::tuple<Count, Edge, Path>;

class CountLimitsTest : public StillClockGameTest, public ::testing::WithParamInterface<Case> {
protected:
    // The profile file as the start finds it.
    void writeProfile(const Counts& c) {
        const auto text = [](int64_t v) { return std::to_string(v); };
        writeScrambled("\\init\\6702", {text(c.credits), text(c.items[0]), text(c.items[1]), text(c.items[3]),
                                        text(c.items[4]), text(c.items[5]), text(c.items[2]), "0", "0", "0",
                                        text(c.musicNotes), "Cells", "25"});
    }

    std::vector<std::string> profileLines() {
        decryptFile(folder->file("\\init\\6702"), folder->file("plain.txt"));
        std::vector<std::string> lines;
        std::istringstream in(folder->readText("plain.txt"));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        deleteFile(folder->file("plain.txt"));
        return lines;
    }

    // Runs a game of the mode through the Play command; onPass runs at every
    // pass of the main loop with its number, and returns whether to hold
    // Escape. The clock stands still but for 26 ms a pass.
    void playGame(FMain& w, const char* mode, const std::function<bool(int)>& onPass) {
        w.mNew->trigger();
        w.tMode->setCurrentIndex(w.tMode->findText(QString::fromLatin1(mode)));
        if (w.tLevels->count() > 0) w.tLevels->setCurrentRow(0);
        int passes = 0;
        QTimer pass;
        pass.setInterval(0);
        QObject::connect(&pass, &QTimer::timeout, [&] {
            if (!w.gameRunning() || !ddraw) return;
            // A game that runs on past its script is ended all the same.
            if (onPass(passes++) || passes > 2000) injectKey(dik::ESCAPE, true);
            advanceTickCount(26);
            setRandomizeClock(36000 + GetTickCount() / 1000.0);
        });
        pass.start();
        w.main_BtnRun->click();
        pass.stop();
        injectKey(dik::ESCAPE, false);
        keyboardState().fill(0);
    }

    // A Money piece and a Music Note either side of a Bomb whose timer has
    // run out, on the bottom row: the Bomb's blast collects both.
    static void layCollection() {
        const auto lay = [](int column, const char* typeName) {
            FieldCell& cell = fieldCell(0, column);
            for (int16_t slot = 0; slot <= lastPieceType; ++slot)
                if (pieceDefs[static_cast<size_t>(slot)].typeName == typeName) cell.piece = pieceDefs[static_cast<size_t>(slot)];
            ASSERT_EQ(cell.piece.typeName, typeName);
            cell.piece.column = static_cast<int16_t>(column);
            cell.piece.y = 520;
            cell.piece.active = false;
            cell.piece.deadline = 0;
            cell.occupied = true;
        };
        lay(0, "Money");
        lay(1, "Bomb");
        lay(2, "Music");
    }
    static bool collectionGone() {
        for (int c = 0; c < 3; ++c)
            if (fieldCell(0, c).occupied) return false;
        return true;
    }
};

TEST_P(CountLimitsTest, NoErrorNothingTakenWithoutItsCounterpartAndSavedReadsBack) {
    const auto [count, edge, path] = GetParam();
    setTickCount(100000);
    setRandomizeClock(36100);
    answer = MsgResult::Yes;
    typedName = "Ann";
    // A table of ten zero scores, so that any Freestyle score enters it.
    writeScrambled("\\init\\6095", std::vector<std::string>(10, "0,Nobody"));
    // Every count at a middling value but the one under test.
    Counts before{1000, {50, 50, 50, 50, 50, 50}, 50};
    before[count] = valueAt(count, edge);
    writeProfile(before);

    FMain& w = start();
    ASSERT_EQ(live(), before) << "loaded as the file holds them";
    clearShownBoxes();

    Counts expected = before;
    std::vector<std::string> expectedBoxes;
    bool collected = false;
    switch (path) {
    case Path::CollectFreestyle:
    case Path::CollectArcade: {
        const bool freestyle = path == Path::CollectFreestyle;
        playGame(w, freestyle ? "Freestyle" : "Arcade", [&](int pass) {
            if (pass == 0) layCollection();
            if (pass > 0 && collectionGone()) collected = true;
            return collected;
        });
        EXPECT_TRUE(collected) << "the Bomb's blast took the Money piece and the Music Note";
        expected.credits = oneMore(Count::Credits, before.credits);
        expected.musicNotes = oneMore(Count::MusicNotes, before.musicNotes);
        if (freestyle) {
            expectedBoxes.push_back("Congratulations!  " + std::to_string(score) +
                                    " is a new high score!  Please enter your name.");
            EXPECT_EQ(highScores[0].name, "Ann");
            EXPECT_EQ(highScores[0].score, score);
        }
        break;
    }
    case Path::Buy:
        w.mStore->trigger();
        for (size_t k = 0; k < storeItems.size(); ++k) {
            const Item& item = storeItems[k];
            if (expected.items[k] == std::numeric_limits<int16_t>::max()) {
                expectedBoxes.push_back("You already have 32767 " + std::string(item.many) +
                                        ", the most you can hold.  Nothing was bought.");
            } else if (expected.credits < item.price) {
                expectedBoxes.push_back("Insufficient credits to make this transaction.  Sorry!");
            } else {
                expectedBoxes.push_back(item.question);
                expected.credits -= item.price;
                expected.items[k] += 1;
            }
            w.purchase_Click(static_cast<int16_t>(k));
            EXPECT_EQ(w.tpurchase[k]->text().toStdString(), std::to_string(expected.items[k]));
            EXPECT_EQ(w.tBank->text().toStdString(), std::to_string(expected.credits));
        }
        break;
    case Path::SpendKeys: {
        // Each key held for one pass, each one well past the key gate.
        playGame(w, "Freestyle", [&](int pass) {
            const int k = pass / 8 - 1, at = pass % 8;
            if (k >= 0 && k < 4 && at == 1) injectKey(storeItems[static_cast<size_t>(k)].key, true);
            if (k >= 0 && k < 4 && at == 2) injectKey(storeItems[static_cast<size_t>(k)].key, false);
            return k >= 4;
        });
        for (size_t k = 0; k < storeItems.size(); ++k)
            if (expected.items[k] > 0) expected.items[k] -= 1;
        expectedBoxes.push_back("Congratulations!  " + std::to_string(score) +
                                " is a new high score!  Please enter your name.");
        break;
    }
    case Path::LoadSave:
        // Loaded above; a change of another value writes the file again.
        w.HScroll2->setValue(30);
        saveProfile();
        break;
    }

    EXPECT_EQ(boxTexts(), expectedBoxes);
    EXPECT_EQ(live(), expected);
    // On disk as in memory, each count in decimal on its line.
    const std::vector<std::string> lines = profileLines();
    ASSERT_GE(lines.size(), 11u);
    EXPECT_EQ(lines[0], std::to_string(expected.credits));
    EXPECT_EQ(lines[1], std::to_string(expected.items[0]));
    EXPECT_EQ(lines[6], std::to_string(expected.items[2]));
    EXPECT_EQ(lines[10], std::to_string(expected.musicNotes));
    // And read back the same.
    forgetPlayerFileReadings();
    loadProfile();
    EXPECT_EQ(live(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCountEveryValueEveryPath, CountLimitsTest,
    ::testing::Combine(::testing::ValuesIn(allCounts),
                       ::testing::Values(Edge::BelowLimit, Edge::AtLimit, Edge::MostNegative),
                       ::testing::Values(Path::CollectFreestyle, Path::CollectArcade, Path::Buy, Path::SpendKeys,
                                         Path::LoadSave)),
    [](const ::testing::TestParamInfo<Case>& info) {
        return std::string(nameOf(std::get<0>(info.param))) + "_" + nameOf(std::get<1>(info.param)) + "_" +
               nameOf(std::get<2>(info.param));
    });

} // namespace
} // namespace pomlets::testing
