#include "datafiles/player_files.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "common/brains.h"
#include "datafiles/damaged_files.h"
#include "datafiles/data_lines.h"
#include "frontend/fmain.h"
#include "platform/runtime.h"
#include "platform/start_values.h"
#include "platform/windows1252.h"

namespace pomlets {

namespace {

const char* const highScoreFile = "\\init\\6095";
const char* const profileFile = "\\init\\6702";
constexpr size_t profileLineCount = 13;

constexpr size_t tableSize = 10;

int32_t lenient32(const std::string& text) { return toInt32(lenientNumber(text)); }
std::string flagText(bool flag) { return flag ? "1" : "0"; }

// A field that fieldText wrote, from the rest of a line: leading blanks
// skipped; a field in double quotes runs to its closing quote, may hold
// commas, and reads a doubled double quote as one; an unquoted field ends at
// a comma.
std::string nameField(const std::string& line) {
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    std::string field;
    if (i < line.size() && line[i] == '"') {
        for (++i; i < line.size(); ++i) {
            if (line[i] == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    field += '"';
                    ++i;
                    continue;
                }
                break;
            }
            field += line[i];
        }
        return field;
    }
    const size_t comma = line.find(',', i);
    return line.substr(i, comma == std::string::npos ? std::string::npos : comma - i);
}

// The first error a reading meets, from the top of the file.
struct FirstFault {
    std::optional<RuntimeError> error;
    void note(const RuntimeError& e) {
        if (!error) error = e;
    }
};

// After a load that found lines it could not read: the copy of the file is
// kept, and the load raises its first error with the copy's name.
[[noreturn]] void raiseDamage(const char* dataFile, const RuntimeError& first) {
    std::string copy;
    try {
        copy = keepDamagedCopy(dataFile);
    } catch (const RuntimeError&) {
        // No copy: the next save that has something to write tries again
        // and writes nothing until one is kept.
    }
    throw DamagedFileError(first, copy);
}

// --- high scores ---------------------------------------------------------

// What stands on disk of the table, as last read or written.
struct ScoresOnDisk {
    bool known = false;  // the bytes of the file were read (or it was found missing)
    DataLines lines;
    bool clean() const { return known && lines.present && entries().size() == tableSize && unread().empty(); }

    // The entries the file holds, in file order.
    std::vector<HighScoreEntry> entries() const { return parse().first; }
    // The indexes of the lines among the first ten that hold no entry.
    std::vector<size_t> unread() const { return parse().second; }

    std::pair<std::vector<HighScoreEntry>, std::vector<size_t>> parse(FirstFault* fault = nullptr) const {
        std::pair<std::vector<HighScoreEntry>, std::vector<size_t>> out;
        FirstFault ignored;
        FirstFault& first = fault ? *fault : ignored;
        for (size_t i = 0; i < tableSize; ++i) {
            if (i >= lines.plain.size()) {
                first.note(RuntimeError(err::PastEndOfFile));
                break;
            }
            if (lines.isDamaged(i)) {
                first.note(RuntimeError(err::InvalidCall));
                out.second.push_back(i);
                continue;
            }
            const std::string& line = lines.plain[i];
            const size_t comma = line.find(',');
            try {
                out.first.push_back({comma == std::string::npos ? std::string() : nameField(line.substr(comma + 1)),
                                     lenient32(line.substr(0, comma))});
            } catch (const RuntimeError& error) {
                first.note(error);
                out.second.push_back(i);
            }
        }
        return out;
    }
};

// What the last loads of both files read; forgetPlayerFileReadings() puts it back.
StartValues& readings() {
    static StartValues group;
    POMLETS_LOCAL_NOT_RESTORED(group, "what is put back");
    return group;
}

struct ScoresState {
    bool loaded = false;  // a load ran: memory and file are to be merged
    ScoresOnDisk disk;
    std::vector<HighScoreEntry> base;  // the table as it stood when last in step with the file
    size_t inUse = tableSize;
};
ScoresState scores;
POMLETS_RESTORED_IN(readings(), scores);

bool sameEntry(const HighScoreEntry& a, const HighScoreEntry& b) { return a.score == b.score && a.name == b.name; }

// Puts the entries into highScores, best first, the free places after them.
void takeTable(const std::vector<HighScoreEntry>& entries) {
    highScores.fill(HighScoreEntry{});
    std::copy_n(entries.begin(), std::min(entries.size(), tableSize), highScores.begin());
    scores.inUse = std::min(entries.size(), tableSize);
    scores.base.assign(highScores.begin(), highScores.begin() + static_cast<std::ptrdiff_t>(scores.inUse));
}

// The entries of the table that the file does not hold yet: what the player
// added since the table was last in step with the file.
std::vector<HighScoreEntry> addedEntries() {
    std::vector<HighScoreEntry> earlier = scores.base;
    std::vector<HighScoreEntry> added;
    for (size_t i = 0; i < scores.inUse; ++i) {
        const auto match = std::find_if(earlier.begin(), earlier.end(),
                                        [&](const auto& e) { return sameEntry(e, highScores[i]); });
        if (match != earlier.end()) earlier.erase(match);
        else added.push_back(highScores[i]);
    }
    return added;
}

// --- profile -------------------------------------------------------------

// The thirteen values of the profile as text, in file order: numbers in
// decimal, flags as 1 or 0, the theme's own text.
using ProfileText = std::array<std::string, profileLineCount>;
// Values read from a file; none where a line holds no value.
using ProfileValues = std::array<std::optional<std::string>, profileLineCount>;

// The player's values, as they stand in memory.
ProfileText liveProfile() {
    return {std::to_string(credits),    std::to_string(items[0]),   std::to_string(items[1]),
            std::to_string(items[3]),   std::to_string(items[4]),   std::to_string(items[5]),
            std::to_string(items[2]),   flagText(profileFlag1),     flagText(profileFlag2),
            flagText(profileFlag3),     std::to_string(musicNotes), themeName,
            std::to_string(musicVolume)};
}

// The first field of a line: leading blanks skipped, a quoted field taken
// without its quotes, an unquoted one up to a comma.
std::string firstField(const std::string& line) {
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos) return {};
    if (line[i] == '"') {
        const size_t close = line.find('"', i + 1);
        return line.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
    }
    const size_t comma = line.find(',', i);
    return line.substr(i, comma == std::string::npos ? std::string::npos : comma - i);
}

// Lines 0 to 6 of the profile are the credits and items, 10 the Music Notes:
// counts, which a game or a purchase changes by steps.
bool isCount(size_t i) { return i < 7 || i == 10; }
constexpr size_t themeLine = 11;
constexpr size_t volumeLine = 12;

// The value of profile line i as text; raises when it does not fit its
// variable. The volume bar runs from 0 to 100 and refuses any other value.
std::string profileValue(size_t i, const std::string& line) {
    if (i == themeLine) return nameField(line);
    const double number = lenientNumber(firstField(line));
    if (i >= 7 && i < 10) return flagText(number != 0);
    if (i == 10) return std::to_string(toInt32(number));
    const int16_t value = toInt16(number);
    if (i == volumeLine && (value < 0 || value > 100)) throw RuntimeError(err::InvalidProperty);
    return std::to_string(value);
}

// Parses the lines of the file into values; no side effects.
ProfileValues parseProfile(const DataLines& lines, FirstFault& fault) {
    ProfileValues values;
    for (size_t i = 0; i < profileLineCount; ++i) {
        if (i >= lines.plain.size()) {
            fault.note(RuntimeError(err::PastEndOfFile));
            continue;
        }
        if (lines.isDamaged(i)) {
            fault.note(RuntimeError(err::InvalidCall));
            continue;
        }
        try {
            values[i] = profileValue(i, lines.plain[i]);
        } catch (const RuntimeError& error) {
            fault.note(error);
        }
    }
    return values;
}

// Puts values into the profile variables; the volume also moves the bar.
void applyProfile(const ProfileValues& values) {
    int16_t* const counts[] = {&credits, &items[0], &items[1], &items[3], &items[4], &items[5], &items[2]};
    bool* const flags[] = {&profileFlag1, &profileFlag2, &profileFlag3};
    for (size_t i = 0; i < profileLineCount; ++i) {
        if (!values[i]) continue;
        const std::string& v = *values[i];
        if (i < 7) *counts[i] = toInt16(lenientNumber(v));
        else if (i < 10) *flags[i - 7] = v != "0";
        else if (i == 10) musicNotes = toInt32(lenientNumber(v));
        else if (i == themeLine) themeName = v;
        else {
            musicVolume = toInt16(lenientNumber(v));
            fMain().HScroll2->setValue(musicVolume);
        }
    }
}

struct ProfileState {
    bool loaded = false;  // a load ran: memory and file are to be merged
    bool known = false;  // the bytes of the file were read (or it was found missing)
    DataLines disk;      // the file as last read or written
    ProfileValues diskValues;
    ProfileText base;    // the player's values when they were last in step with the file
    bool clean() const {
        return known && disk.present && std::all_of(diskValues.begin(), diskValues.end(), [](const auto& v) {
                   return v.has_value();
               });
    }
};
ProfileState profile;
POMLETS_RESTORED_IN(readings(), profile);

// One value of the merge: what the file holds now where the player left the
// value alone, the player's value where it changed; a count the player changed
// takes the change on top of what the file holds now.
std::string mergedValue(size_t i, const ProfileText& live, const std::optional<std::string>& onDisk) {
    if (!isCount(i) || !onDisk) return live[i];
    try {
        const double sum = lenientNumber(*onDisk) + lenientNumber(live[i]) - lenientNumber(profile.base[i]);
        return std::to_string(i == 10 ? toInt32(sum) : toInt16(sum));
    } catch (const RuntimeError&) {
        return live[i];  // the sum does not fit: the player's value stands
    }
}

} // namespace

std::string fieldText(const std::string& text) {
    std::string single = text;
    // A line end inside a name would split its entry in two.
    for (char& c : single)
        if (c == '\r' || c == '\n') c = ' ';
    if (single.find_first_of(",\"") == std::string::npos) return single;
    std::string quoted = "\"";
    for (char c : single) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string highScoreListLine(int i) {
    const std::string label = i < 9 ? "0" + std::to_string(i + 1) + ".    " : std::to_string(i + 1) + ".    ";
    if (static_cast<size_t>(i) >= scores.inUse) return label;
    const HighScoreEntry& entry = highScores[static_cast<size_t>(i)];
    return label + std::to_string(entry.score) + "   \t" + entry.name;
}

size_t highScoresInUse() { return scores.inUse; }

size_t highScorePlace(int32_t score) {
    for (size_t i = 0; i < scores.inUse; ++i)
        if (score >= highScores[i].score) return i;
    return scores.inUse;
}

void putHighScore(size_t place, const HighScoreEntry& entry) {
    if (place >= tableSize) return;
    for (size_t j = std::min(scores.inUse, tableSize - 1); j > place; --j) highScores[j] = highScores[j - 1];
    highScores[place] = entry;
    scores.inUse = std::min(scores.inUse + 1, tableSize);
}

void showHighScores() {
    fMain().scores_freestyle->clear();
    for (int i = 0; i < 10; ++i) fMain().scores_freestyle->addItem(fromWindows1252(highScoreListLine(i)));
}

void loadHighScores() {
    scores = {};
    scores.loaded = true;
    highScores.fill(HighScoreEntry{});
    try {
        scores.disk.lines = readDataLines(highScoreFile);
    } catch (const RuntimeError&) {
        // Nothing of the file is known: no entry takes a place until it is.
        takeTable({});
        showHighScores();
        throw;
    }
    scores.disk.known = true;
    if (!scores.disk.lines.present) {
        // No table yet: ten empty entries, as a new table has.
        takeTable(std::vector<HighScoreEntry>(tableSize));
        showHighScores();
        throw RuntimeError(err::FileNotFound);
    }
    FirstFault fault;
    takeTable(scores.disk.parse(&fault).first);
    showHighScores();
    if (fault.error) raiseDamage(highScoreFile, *fault.error);
}

void saveHighScores() {
    const std::vector<HighScoreEntry> added = addedEntries();
    const bool merge = scores.loaded && !scores.disk.clean();
    if (merge) {
        // Read again: what kept the file from being read may have passed.
        try {
            scores.disk.lines = readDataLines(highScoreFile);
            scores.disk.known = true;
        } catch (const RuntimeError&) {
            scores.disk.known = false;
            if (added.empty()) return;
            throw;
        }
    }
    const ScoresOnDisk& disk = scores.disk;
    std::vector<std::string> plain;
    std::vector<DamagedLine> keep;
    std::vector<HighScoreEntry> table;
    if (!merge || !disk.lines.present) {
        // The file was read whole (or there is none): the table in memory is
        // the whole table.
        table.assign(highScores.begin(), highScores.begin() + static_cast<std::ptrdiff_t>(scores.inUse));
        for (const auto& entry : table) plain.push_back(std::to_string(entry.score) + "," + fieldText(entry.name));
    } else {
        // The file's entries with the player's new ones ranked in; a line
        // that holds no entry takes no place and stays as it was, as long as
        // there is room for it among the ten.
        table = disk.entries();
        for (const auto& entry : added) {
            const auto at = std::find_if(table.begin(), table.end(),
                                         [&](const HighScoreEntry& e) { return entry.score >= e.score; });
            table.insert(at, entry);
        }
        if (table.size() > tableSize) table.resize(tableSize);
        std::vector<size_t> unread = disk.unread();
        unread.resize(std::min(unread.size(), tableSize - table.size()));
        size_t e = 0, u = 0;
        while (e < table.size() || u < unread.size()) {
            if (u < unread.size() && (unread[u] <= plain.size() || e == table.size())) {
                const size_t from = unread[u++];
                const auto damaged = std::find_if(disk.lines.damaged.begin(), disk.lines.damaged.end(),
                                                  [&](const DamagedLine& d) { return d.index == from; });
                if (damaged != disk.lines.damaged.end()) keep.push_back({plain.size(), damaged->scrambled});
                plain.push_back(damaged != disk.lines.damaged.end() ? std::string() : disk.lines.plain[from]);
            } else {
                const HighScoreEntry& entry = table[e++];
                plain.push_back(std::to_string(entry.score) + "," + fieldText(entry.name));
            }
        }
        if (!disk.clean()) {
            if (added.empty()) {
                // Nothing new to write: the file stays as it is, and the
                // table shows what it holds.
                takeTable(table);
                showHighScores();
                return;
            }
            keepDamagedCopy(highScoreFile);
        }
    }
    writeDataLines(highScoreFile, plain, keep);
    scores.loaded = true;
    scores.disk.known = true;
    scores.disk.lines = {true, plain, keep};
    takeTable(table);
}

void reloadHighScores() {
    ScoresOnDisk disk;
    try {
        disk.lines = readDataLines(highScoreFile);
        disk.known = true;
    } catch (const RuntimeError&) {
        disk.known = false;
    }
    // Only a table read back whole replaces the one in memory.
    if (disk.clean()) {
        scores.disk = disk;
        takeTable(disk.entries());
    }
    showHighScores();
}

void loadProfile() {
    profile = {};
    profile.loaded = true;
    profile.base = liveProfile();
    profile.disk = readDataLines(profileFile);
    profile.known = true;
    if (!profile.disk.present) throw RuntimeError(err::FileNotFound);
    FirstFault fault;
    profile.diskValues = parseProfile(profile.disk, fault);
    applyProfile(profile.diskValues);
    profile.base = liveProfile();
    if (fault.error) raiseDamage(profileFile, *fault.error);
}

void saveProfile() {
    const ProfileText live = liveProfile();
    const bool changed = live != profile.base;
    if (profile.loaded && !profile.clean()) {
        // Read again: what kept the file from being read may have passed.
        try {
            profile.disk = readDataLines(profileFile);
            profile.known = true;
        } catch (const RuntimeError&) {
            profile.known = false;
            if (!changed) return;
            throw;
        }
        FirstFault ignored;
        profile.diskValues = parseProfile(profile.disk, ignored);
    }

    // Merge, line by line: a line the player left alone stays as the file
    // has it (a damaged line too); a changed one takes the player's value.
    const DataLines& disk = profile.disk;
    std::vector<std::string> plain;
    std::vector<DamagedLine> keep;
    ProfileValues next;
    size_t written = 0;  // lines up to here hold something to write
    for (size_t i = 0; i < profileLineCount; ++i) {
        const std::optional<std::string>& onDisk = profile.diskValues[i];
        std::string line;
        if (!profile.loaded || !disk.present || live[i] != profile.base[i]) {
            const std::string value = profile.loaded && disk.present ? mergedValue(i, live, onDisk) : live[i];
            line = i == themeLine ? fieldText(value) : value;
            next[i] = value;
            written = i + 1;
        } else if (i < disk.plain.size()) {
            for (const auto& d : disk.damaged)
                if (d.index == i) keep.push_back(d);
            // A value goes back as itself; a line without one as it stood.
            line = !onDisk ? disk.plain[i] : i == themeLine ? fieldText(*onDisk) : *onDisk;
            // A value read now that memory did not know yet; the theme in
            // use stays the one shown.
            if (onDisk && i != themeLine) next[i] = onDisk;
            written = i + 1;
        }
        plain.push_back(line);
    }
    // Lines the file never had and the player gave nothing for stay absent.
    plain.resize(written);

    if (profile.loaded && disk.present && !profile.clean()) {
        if (!changed) {
            applyProfile(next);
            profile.base = liveProfile();
            return;  // nothing to write: the file stays as it is
        }
        keepDamagedCopy(profileFile);
    }
    writeDataLines(profileFile, plain, keep);
    profile.loaded = true;
    profile.disk = {true, plain, keep};
    FirstFault ignored;
    profile.diskValues = parseProfile(profile.disk, ignored);
    profile.known = true;
    applyProfile(next);
    profile.base = liveProfile();
}

void keepThemeAsRead() { profile.base[themeLine] = themeName; }

void forgetPlayerFileReadings() { readings().restore(); }

} // namespace pomlets
