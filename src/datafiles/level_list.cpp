#include "datafiles/level_list.h"

#include <algorithm>

#include "datafiles/scrambler.h"
#include "datafiles/scratch_file.h"
#include "platform/runtime.h"

namespace pomlets {

namespace {
const char* const levelListFile = "\\init\\6537";
} // namespace

LevelList readLevelList() {
    LevelList list;
    ScratchFile temp;
    const std::vector<size_t> damaged = decryptReadable(appPath(levelListFile), temp.path());
    std::vector<std::string> lines;
    {
        TextFile in(temp.path(), TextFile::Mode::Input);
        while (!in.eof()) lines.push_back(in.readLine());
        in.close();
    }
    temp.remove();
    const auto isDamaged = [&](size_t i) { return std::find(damaged.begin(), damaged.end(), i) != damaged.end(); };
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        if (isDamaged(i) || isDamaged(i + 1)) {
            list.damaged = true;
            continue;
        }
        try {
            list.levels.push_back({lines[i], toInt32(lenientNumber(lines[i + 1]))});
        } catch (const RuntimeError&) {
            list.damaged = true;
        }
    }
    // A name without its number is left out; a blank last line is no damage.
    if (lines.size() % 2 != 0 && !lines.back().empty()) list.damaged = true;
    return list;
}

void writeLevelList(const std::vector<LevelListEntry>& levels) {
    ScratchFile temp;
    {
        TextFile out(temp.path(), TextFile::Mode::Replace);
        for (const auto& level : levels) {
            out.writeLine(level.name);
            out.writeLine(plainText(level.number));
        }
        out.close();
    }
    encryptFile(temp.path(), appPath(levelListFile));
    temp.remove();
}

} // namespace pomlets
