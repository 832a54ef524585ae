// Every file operation of a run failing in turn: for each way a player uses
// the game (start and quit; shopping, a theme and the volume; a Freestyle high
// score; an Arcade award), from whole files and from files with one damaged
// line, each error fails call 1 of the file layer, then call 2, and so on
// until the run no longer reaches the failing call; once with only that call
// failing, once with every later call failing too. After every run the files
// on disk must hold every value they held before or the player's own change,
// be whole, and any change that did not reach the disk must have been told.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>

#include "common/brains.h"
#include "datafiles/player_files.h"
#include "datafiles/save_notices.h"
#include "datafiles/scrambler.h"
#include "engine/high_scores.h"
#include "frontend_fixture.h"
#include "support/file_faults.h"
#include "support/text_lines.h"
#include "support/platform_port.h"

namespace pomlets::testing {
namespace {

namespace fs = std::filesystem;


// The lines of a scrambled file: decoded where they can be, and the codes of
// every line that cannot.
struct Decoded {
    std::vector<std::string> plain;
    std::map<size_t, std::string> damaged;  // index -> codes as they stand
};

Decoded decode(const std::string& bytes) {
    Decoded out;
    resetCipherCursors();
    for (const std::string& codes : linesOfText(bytes)) {
        bool whole = true;
        const std::string line = decodeLineChecked(codes, whole);
        if (!whole) out.damaged[out.plain.size()] = codes;
        out.plain.push_back(whole ? reverseText(line) : std::string());
    }
    return out;
}

std::string scramble(const std::vector<std::string>& lines) {
    resetCipherCursors();
    std::string bytes;
    for (const auto& line : lines) bytes += encodeLine(reverseText(line)) + "\r\n";
    return bytes;
}

// Makes the first code of one scrambled line impossible (above 255).
std::string damageLine(std::string bytes, size_t line) {
    size_t at = 0;
    for (size_t i = 0; i < line; ++i) at = bytes.find("\r\n", at) + 2;
    bytes.replace(at, bytes.find('.', at) - at, "999");
    return bytes;
}

const std::vector<std::string> profileBefore = {"5000", "3", "2", "4", "1", "1", "1", "1", "0", "0", "7",
                                                "Tessellane #1 - Pelvaro", "60"};
const std::vector<std::string> scoresBefore = {"10000,Ann", "9000,Bob", "8000,Carol", "7000,Dave", "6000,Eve",
                                               "5000,Fay",  "4000,Gus", "3000,Hal",   "2000,Ida",  "1000,Jay"};
const std::vector<std::string> levelsBefore = {"Level 1 - First Steps", "3741", "Second Wind", "14",
                                               "Third Try", "16"};
constexpr size_t profileDamage = 4;  // the bonus song's count, which nothing in a run changes
constexpr size_t scoresDamage = 2;   // "8000,Carol"
constexpr size_t levelsDamage = 2;   // the name of the second level

enum class Scenario { Idle, Store, Freestyle, Arcade };
const char* scenarioName(Scenario s);
void PrintTo(Scenario s, std::ostream* out) { *out << scenarioName(s); }
std::string faultName(const Fault& fault);
const char* scenarioName(Scenario s) {
    switch (s) {
    case Scenario::Idle: return "start-and-quit";
    case Scenario::Store: return "purchase-theme-volume";
    case Scenario::Freestyle: return "freestyle-high-score";
    case Scenario::Arcade: return "arcade-award";
    }
    return "";
}

// What the player did, as it shows in the files: the profile lines as they
// should stand after each save, the high-score table and level list wanted.
struct Intent {
    std::vector<std::vector<std::string>> profiles;  // after each save, the last one at exit
    bool scored = false;                             // a high score was entered
    std::vector<std::string> levels;                 // plain lines wanted at the end
};

std::vector<std::string> withCounts(std::vector<std::string> lines, const std::map<size_t, int>& deltas) {
    for (const auto& [i, d] : deltas) lines[i] = std::to_string(std::stoi(lines[i]) + d);
    return lines;
}

struct Outcome {
    std::vector<std::string> losses;
};

class FileFaultsTest : public FrontendTest,
                       public ::testing::WithParamInterface<std::tuple<Scenario, bool, Fault>> {
protected:
    void prepareFiles(bool damaged) {
        folder.reset();
        folder = std::make_unique<TempProgramFolder>();
        std::string profile = scramble(profileBefore);
        std::string scores = scramble(scoresBefore);
        std::string levels = scramble(levelsBefore);
        if (damaged) {
            profile = damageLine(profile, profileDamage);
            scores = damageLine(scores, scoresDamage);
            levels = damageLine(levels, levelsDamage);
        }
        std::ofstream(folder->file("init/6702"), std::ios::binary) << profile;
        std::ofstream(folder->file("init/6095"), std::ios::binary) << scores;
        std::ofstream(folder->file("init/6537"), std::ios::binary) << levels;
        before = {{"init/6702", profile}, {"init/6095", scores}, {"init/6537", levels}};
    }

    // Saves the profile after a game, as the Play command does.
    static void profileAfterGame() { saveTelling(PlayerFile::Profile, saveProfile); }

    // One run of the scenario; what the player meant to keep.
    Intent play(Scenario scenario) {
        Intent intent;
        const Decoded levels = decode(before["init/6537"]);
        intent.levels = levels.plain;
        answer = MsgResult::Yes;
        typedName = "Driver";
        if (!loadFMain()) return intent;
        FMain& w = fMain();
        switch (scenario) {
        case Scenario::Idle:
            break;
        case Scenario::Store:
            w.purchase_Click(1);  // a Bomb for 4 credits
            intent.profiles.push_back(withCounts(profileBefore, {{0, -4}, {2, 1}}));
            w.theme->setCurrentIndex(w.theme->findText("Cells"));
            intent.profiles.push_back(intent.profiles.back());
            intent.profiles.back()[11] = "Cells";
            w.HScroll2->setValue(40);
            intent.profiles.push_back(intent.profiles.back());
            intent.profiles.back()[12] = "40";
            break;
        case Scenario::Freestyle:
            credits = static_cast<int16_t>(credits + 2);  // two Money pieces
            musicNotes += 1;
            score = 6500;
            intent.scored = true;
            try {
                enterHighScore();
            } catch (const RuntimeError& error) {
                msgBox("The game had to stop: " + error.description());
            }
            profileAfterGame();
            intent.profiles.push_back(withCounts(profileBefore, {{0, 2}, {10, 1}}));
            break;
        case Scenario::Arcade:
            credits = static_cast<int16_t>(credits + 1);
            currentLevel.awardLevelName = "Deep Pond";
            currentLevel.awardLevelNumber = 15;
            try {
                awardArcadeLevel();
            } catch (const RuntimeError& error) {
                msgBox("The game had to stop: " + error.description());
            }
            profileAfterGame();
            intent.profiles.push_back(withCounts(profileBefore, {{0, 1}}));
            intent.levels.push_back("Deep Pond");
            intent.levels.push_back("15");
            break;
        }
        w.Form_Unload();
        return intent;
    }

    bool told(const std::string& file, const std::string& kind) const {
        for (const auto& box : shownBoxes())
            if (box.text.find(file) != std::string::npos || box.text.find(kind) != std::string::npos) return true;
        return false;
    }

    // The copy of a damaged file that was kept, if any holds its bytes.
    bool copyKept(const std::string& file) const {
        for (const auto& entry : fs::directory_iterator(folder->file("init")))
            if (entry.path().filename().string().rfind(fs::path(file).filename().string() + ".damaged", 0) == 0 &&
                bytesOfFile(entry.path().string()) == before.at(file))
                return true;
        return false;
    }

    void checkProfile(const Intent& intent, bool damaged, Outcome& out) const {
        const std::string now = bytesOfFile(folder->file("init/6702"));
        if (now == before.at("init/6702")) {
            if (!intent.profiles.empty() && !told("init/6702", "player profile"))
                out.losses.push_back("profile: changes not saved and not told");
            return;
        }
        const Decoded d = decode(now);
        if (damaged && !copyKept("init/6702")) out.losses.push_back("profile: written over without a copy");
        if (d.plain.size() != profileBefore.size()) out.losses.push_back("profile: not whole");
        for (size_t i = 0; i < profileBefore.size() && i < d.plain.size(); ++i) {
            if (damaged && i == profileDamage) {
                const Decoded old = decode(before.at("init/6702"));
                if (!d.damaged.count(i) || d.damaged.at(i) != old.damaged.at(i))
                    out.losses.push_back("profile: the damaged line was replaced");
                continue;
            }
            std::set<std::string> allowed{profileBefore[i]};
            for (const auto& p : intent.profiles) allowed.insert(p[i]);
            if (!allowed.count(d.plain[i]))
                out.losses.push_back("profile line " + std::to_string(i + 1) + ": \"" + profileBefore[i] +
                                     "\" became \"" + d.plain[i] + "\"");
        }
        if (!intent.profiles.empty() && d.plain.size() == profileBefore.size()) {
            std::vector<std::string> wanted = intent.profiles.back();
            std::vector<std::string> got = d.plain;
            if (damaged) got[profileDamage] = wanted[profileDamage];
            if (got != wanted && !told("init/6702", "player profile"))
                out.losses.push_back("profile: a change was not saved and not told");
        }
    }

    void checkScores(const Intent& intent, bool damaged, Outcome& out) const {
        std::vector<std::string> readable = scoresBefore;
        if (damaged) readable.erase(readable.begin() + scoresDamage);
        std::vector<std::string> wanted = readable;
        if (intent.scored) {
            auto at = std::find_if(wanted.begin(), wanted.end(),
                                   [](const std::string& e) { return std::stoi(e) <= 6500; });
            wanted.insert(at, "6500,Driver");
            if (wanted.size() > 10) wanted.resize(10);
        }
        const std::string now = bytesOfFile(folder->file("init/6095"));
        if (now == before.at("init/6095")) {
            if (wanted != readable && !told("init/6095", "high-score table"))
                out.losses.push_back("high scores: the new score not saved and not told");
            return;
        }
        const Decoded d = decode(now);
        if (damaged && !copyKept("init/6095")) out.losses.push_back("high scores: written over without a copy");
        if (!d.damaged.empty() || d.plain != wanted) {
            std::string got;
            for (const auto& line : d.plain) got += line + "|";
            out.losses.push_back("high scores: became " + got);
        }
    }

    void checkLevels(const Intent& intent, bool damaged, Outcome& out) const {
        const std::string now = bytesOfFile(folder->file("init/6537"));
        const Decoded old = decode(before.at("init/6537"));
        if (now == before.at("init/6537")) {
            if (intent.levels != old.plain && !told("init/6537", "Arcade levels"))
                out.losses.push_back("level list: the award not saved and not told");
            return;
        }
        const Decoded d = decode(now);
        if (damaged && !copyKept("init/6537")) {
            out.losses.push_back("level list: written over without a copy");
        }
        std::vector<std::string> got = d.plain;
        if (d.damaged != old.damaged || got != intent.levels) {
            std::string text;
            for (const auto& line : got) text += line + "|";
            out.losses.push_back("level list: became " + text);
        }
    }

    Outcome runOnce(Scenario scenario, bool damaged, const Fault& fault, bool& reached) {
        prepareFiles(damaged);
        resetSharedState();
        forgetPlayerFileReadings();
        forgetSaveNotices();
        clearShownBoxes();
        Intent intent;
        std::vector<std::string> changed;
        std::string escaped;
        {
            FileFaults faults(fault);
            try {
                intent = play(scenario);
            } catch (const std::exception& error) {
                escaped = error.what();
            }
            reached = faults.reached();
            changed = faults.changedPaths();
        }
        logEnabled = false;
        releaseFMain();
        Outcome out;
        if (!escaped.empty()) out.losses.push_back("escaped: an error ended the program: " + escaped);
        for (const auto& path : changed)
            if (path.rfind(folder->path() + "/", 0) != 0) out.losses.push_back("wrote outside the folder: " + path);
        checkProfile(intent, damaged, out);
        checkScores(intent, damaged, out);
        checkLevels(intent, damaged, out);
        return out;
    }

    std::map<std::string, std::string> before;
};

TEST_P(FileFaultsTest, NothingOnDiskIsLost) {
    const auto [scenario, damaged, error] = GetParam();
    long runs = 0, lossRuns = 0;
    std::map<std::string, long> kinds;
    {
        // The run without a fault loses nothing either.
        Fault none = error;
        none.call = 1L << 40;
        bool reached = false;
        const Outcome out = runOnce(scenario, damaged, none, reached);
        for (const auto& loss : out.losses) ADD_FAILURE() << "without a fault: " << loss;
    }
    for (bool lasting : {false, true}) {
        for (long call = 1;; ++call) {
            Fault fault = error;
            fault.call = call;
            fault.lasting = lasting;
            bool reached = false;
            const Outcome out = runOnce(scenario, damaged, fault, reached);
            if (!reached) break;
            ++runs;
            if (!out.losses.empty()) {
                ++lossRuns;
                for (const auto& loss : out.losses) ++kinds[loss.substr(0, loss.find(':'))];
                std::string boxes;
                for (const auto& box : shownBoxes()) boxes += "\n  box: " + box.text;
                ADD_FAILURE() << "call " << call << (lasting ? " and later" : " only") << ": " << out.losses[0]
                              << boxes;
            }
        }
    }
    std::printf("[ faults   ] %s%s %s: %ld runs, %ld with a loss\n", scenarioName(scenario),
                damaged ? " (damaged line)" : "",
                faultName(error).c_str(),
                runs, lossRuns);
    for (const auto& [kind, n] : kinds) std::printf("[ faults   ]   %s: %ld\n", kind.c_str(), n);
    EXPECT_GT(runs, 0);
}

std::string faultName(const Fault& fault) {
    return fault.kind == FaultKind::ShortRead    ? "shortread"
           : fault.kind == FaultKind::ShortWrite ? "shortwrite"
                                                 : errorName(fault.error);
}

std::vector<Fault> faults() {
    std::vector<Fault> all;
    for (int e : {EACCES, EIO, ENOSPC, EROFS, EISDIR, EMFILE}) all.push_back({FaultKind::Error, e, 1, false, ""});
    all.push_back({FaultKind::ShortRead, 0, 1, false, ""});
    all.push_back({FaultKind::ShortWrite, 0, 1, false, ""});
    return all;
}

std::string caseName(const ::testing::TestParamInfo<std::tuple<Scenario, bool, Fault>>& info) {
    const auto& [scenario, damaged, fault] = info.param;
    std::string name = scenarioName(scenario);
    name += damaged ? "_damaged_" : "_whole_";
    name += faultName(fault);
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(EveryCall, FileFaultsTest,
                         ::testing::Combine(::testing::Values(Scenario::Idle, Scenario::Store, Scenario::Freestyle,
                                                              Scenario::Arcade),
                                            ::testing::Bool(), ::testing::ValuesIn(faults())),
                         caseName);

} // namespace

void PrintTo(const Fault& fault, std::ostream* out) { *out << faultName(fault); }

} // namespace pomlets::testing
