#include "datafiles/level_list.h"

#include "datafiles/damaged_files.h"
#include "datafiles/data_lines.h"
#include "platform/runtime.h"

namespace pomlets {

namespace {

const char* const levelListFile = "\\init\\6537";

LevelList levelsOf(const DataLines& lines) {
    LevelList list;
    const std::vector<std::string>& plain = lines.plain;
    for (size_t i = 0; i + 1 < plain.size(); i += 2) {
        if (lines.isDamaged(i) || lines.isDamaged(i + 1)) {
            list.damaged = true;
            continue;
        }
        try {
            list.levels.push_back({plain[i], toInt32(lenientNumber(plain[i + 1]))});
        } catch (const RuntimeError&) {
            list.damaged = true;
        }
    }
    // A name without its number is left out; a blank last line is no damage.
    if (plain.size() % 2 != 0 && (!plain.back().empty() || lines.isDamaged(plain.size() - 1))) list.damaged = true;
    return list;
}

} // namespace

LevelList readLevelList() {
    const DataLines lines = readDataLines(levelListFile);
    if (!lines.present) throw RuntimeError(err::FileNotFound);
    return levelsOf(lines);
}

std::string appendLevel(const LevelListEntry& level) {
    DataLines lines = readDataLines(levelListFile);
    const bool damaged = lines.present && levelsOf(lines).damaged;
    std::vector<std::string>& plain = lines.plain;
    // A blank last line holds nothing; a name without its number stays the
    // last line, after the new pair, so that every pair stays whole.
    if (plain.size() % 2 != 0 && plain.back().empty() && !lines.isDamaged(plain.size() - 1)) plain.pop_back();
    const size_t at = plain.size() - plain.size() % 2;
    for (auto& d : lines.damaged)
        if (d.index >= at) d.index += 2;
    plain.insert(plain.begin() + static_cast<std::ptrdiff_t>(at), {level.name, plainText(level.number)});
    const std::string copy = damaged ? keepDamagedCopy(levelListFile) : std::string();
    writeDataLines(levelListFile, plain, lines.damaged);
    return copy;
}

} // namespace pomlets
