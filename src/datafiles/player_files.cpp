#include "datafiles/player_files.h"

#include <algorithm>
#include <array>
#include <functional>
#include <iterator>
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

constexpr size_t tableSize = 10;

int32_t lenient32(const std::string& text) { return toInt32(lenientNumber(text)); }
std::string flagText(bool flag) { return flag ? "1" : "0"; }

// The first error a reading meets, from the top of the file.
struct FirstFault {
    std::optional<RuntimeError> error;
    void note(const RuntimeError& e) {
        if (!error) error = e;
    }
};

// Parses the first count lines with parse(i, line), which raises where a line
// holds no value. Notes the first fault met and returns the lines among them
// that the file has but that hold no value (a damaged one too).
template <class Parse>
std::vector<size_t> parseLines(const DataLines& lines, size_t count, FirstFault& fault, Parse parse) {
    std::vector<size_t> unread;
    for (size_t i = 0; i < count; ++i) {
        if (i >= lines.plain.size()) {
            fault.note(RuntimeError(err::PastEndOfFile));
            break;
        }
        if (lines.isDamaged(i)) {
            fault.note(RuntimeError(err::InvalidCall));
            unread.push_back(i);
            continue;
        }
        try {
            parse(i, lines.plain[i]);
        } catch (const RuntimeError& error) {
            fault.note(error);
            unread.push_back(i);
        }
    }
    return unread;
}

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

// One of the player's files as this run knows it.
struct KnownFile {
    bool loaded = false;  // a load ran: memory and file are to be merged
    bool known = false;   // the bytes of the file were read (or it was found missing)
    DataLines disk;       // the file as last read or written
};

// What a save of one of the player's files is made of.
struct FileSave {
    const char* file;
    KnownFile& state;
    // The player changed something that the file does not hold yet.
    bool changed;
    // The file as known was read whole.
    std::function<bool()> clean;
    // Parses state.disk anew into the file's values; no side effects.
    std::function<void()> parse;
    // The lines to write, the player's changes merged with what the file
    // holds; reread: the file was read again, as it was not read whole.
    std::function<DataLines(bool reread)> compose;
    // Memory takes what the file holds now; written: the composed lines.
    std::function<void(bool written)> settle;
};

// The one save of the player's files: a file not read whole is read again; a
// file that still has damaged lines is written only when the player changed
// something, and only after a checked copy of it is kept.
void saveFile(const FileSave& save) {
    KnownFile& state = save.state;
    const bool reread = state.loaded && !save.clean();
    if (reread) {
        // Read again: what kept the file from being read may have passed.
        try {
            state.disk = readDataLines(save.file);
            state.known = true;
        } catch (const RuntimeError&) {
            state.known = false;
            if (!save.changed) return;
            throw;
        }
        save.parse();
    }
    const DataLines lines = save.compose(reread);
    if (reread && state.disk.present && !save.clean()) {
        if (!save.changed) {
            save.settle(false);
            return;  // nothing to write: the file stays as it is
        }
        keepDamagedCopy(save.file);
    }
    writeDataLines(save.file, lines.plain, lines.damaged);
    state.loaded = true;
    state.known = true;
    state.disk = lines;
    save.parse();
    save.settle(true);
}

// What the last loads of both files read; forgetPlayerFileReadings() puts it back.
StartValues& readings() {
    static StartValues group;
    POMLETS_LOCAL_NOT_RESTORED(group, "what is put back");
    return group;
}

// --- high scores ---------------------------------------------------------

std::string scoreLine(const HighScoreEntry& entry) { return std::to_string(entry.score) + "," + fieldText(entry.name); }

// What the table's file holds: its entries in file order, and the lines among
// the first ten that hold no entry.
struct ScoresRead {
    std::vector<HighScoreEntry> entries;
    std::vector<size_t> unread;
};

ScoresRead parseScores(const DataLines& lines, FirstFault& fault) {
    ScoresRead out;
    out.unread = parseLines(lines, tableSize, fault, [&](size_t, const std::string& line) {
        const size_t comma = line.find(',');
        out.entries.push_back(
            {comma == std::string::npos ? std::string() : firstField(line.substr(comma + 1), FieldQuotes::Doubled),
             lenient32(line.substr(0, comma))});
    });
    return out;
}

ScoresRead parseScores(const DataLines& lines) {
    FirstFault ignored;
    return parseScores(lines, ignored);
}

bool scoresClean(const KnownFile& file) {
    if (!file.known || !file.disk.present) return false;
    const ScoresRead read = parseScores(file.disk);
    return read.entries.size() == tableSize && read.unread.empty();
}

struct ScoresState {
    KnownFile file;
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

// The lines of the table to write, and the table they hold. Where the file
// was read again, its entries with the player's new ones ranked in; a line
// that holds no entry takes no place and stays as it was, as long as there is
// room for it among the ten. Else the table in memory is the whole table.
DataLines scoreLines(bool reread, const std::vector<HighScoreEntry>& added, std::vector<HighScoreEntry>& table) {
    const DataLines& disk = scores.file.disk;
    DataLines out{true, {}, {}};
    if (!reread || !disk.present) {
        table.assign(highScores.begin(), highScores.begin() + static_cast<std::ptrdiff_t>(scores.inUse));
        for (const auto& entry : table) out.plain.push_back(scoreLine(entry));
        return out;
    }
    const ScoresRead read = parseScores(disk);
    table = read.entries;
    for (const auto& entry : added) {
        const auto at = std::find_if(table.begin(), table.end(),
                                     [&](const HighScoreEntry& e) { return entry.score >= e.score; });
        table.insert(at, entry);
    }
    if (table.size() > tableSize) table.resize(tableSize);
    std::vector<size_t> unread = read.unread;
    unread.resize(std::min(unread.size(), tableSize - table.size()));
    size_t e = 0, u = 0;
    while (e < table.size() || u < unread.size()) {
        if (u < unread.size() && (unread[u] <= out.plain.size() || e == table.size())) {
            const size_t from = unread[u++];
            const auto damaged = std::find_if(disk.damaged.begin(), disk.damaged.end(),
                                              [&](const DamagedLine& d) { return d.index == from; });
            if (damaged != disk.damaged.end()) out.damaged.push_back({out.plain.size(), damaged->scrambled});
            out.plain.push_back(damaged != disk.damaged.end() ? std::string() : disk.plain[from]);
        } else {
            out.plain.push_back(scoreLine(table[e++]));
        }
    }
    return out;
}

// --- profile -------------------------------------------------------------

// What a line of the profile holds, which decides how it is read, written
// and merged.
enum class Held {
    Count,   // a 16-bit count that a game or a purchase changes by steps
    Notes,   // the 32-bit count of Music Notes
    Flag,    // 1 or 0
    Theme,   // the theme's own text
    Volume,  // 16-bit, 0 to 100: the volume bar refuses any other value
};

struct ProfileLine {
    Held held;
    int16_t* count = nullptr;  // a Count or the Volume
    int32_t* notes = nullptr;
    bool* flag = nullptr;
    std::string* text = nullptr;
};

// The lines of the profile file, in their order. The Detonators (items[2])
// stand after items[5].
constexpr ProfileLine profileLines[] = {
    {.held = Held::Count, .count = &credits},     {.held = Held::Count, .count = &items[0]},
    {.held = Held::Count, .count = &items[1]},    {.held = Held::Count, .count = &items[3]},
    {.held = Held::Count, .count = &items[4]},    {.held = Held::Count, .count = &items[5]},
    {.held = Held::Count, .count = &items[2]},    {.held = Held::Flag, .flag = &profileFlag1},
    {.held = Held::Flag, .flag = &profileFlag2},  {.held = Held::Flag, .flag = &profileFlag3},
    {.held = Held::Notes, .notes = &musicNotes},  {.held = Held::Theme, .text = &themeName},
    {.held = Held::Volume, .count = &musicVolume},
};
constexpr size_t profileLineCount = std::size(profileLines);

// The value of a line as text, as it stands in memory: numbers in decimal,
// flags as 1 or 0, the theme's own text.
std::string liveValue(const ProfileLine& line) {
    switch (line.held) {
    case Held::Count:
    case Held::Volume: return std::to_string(*line.count);
    case Held::Notes: return std::to_string(*line.notes);
    case Held::Flag: return flagText(*line.flag);
    case Held::Theme: break;
    }
    return *line.text;
}

// The value of a line of the file as text; raises when it does not fit its
// variable.
std::string fileValue(const ProfileLine& line, const std::string& text) {
    if (line.held == Held::Theme) return firstField(text, FieldQuotes::Doubled);
    const double number = lenientNumber(firstField(text));
    if (line.held == Held::Flag) return flagText(number != 0);
    if (line.held == Held::Notes) return std::to_string(toInt32(number));
    const int16_t value = toInt16(number);
    if (line.held == Held::Volume && (value < 0 || value > 100)) throw RuntimeError(err::InvalidProperty);
    return std::to_string(value);
}

// A value as its line is written.
std::string lineText(const ProfileLine& line, const std::string& value) {
    return line.held == Held::Theme ? fieldText(value) : value;
}

// Puts a value into its variable; the volume also moves the bar.
void applyValue(const ProfileLine& line, const std::string& value) {
    switch (line.held) {
    case Held::Count: *line.count = toInt16(lenientNumber(value)); break;
    case Held::Notes: *line.notes = toInt32(lenientNumber(value)); break;
    case Held::Flag: *line.flag = value != "0"; break;
    case Held::Theme: *line.text = value; break;
    case Held::Volume:
        *line.count = toInt16(lenientNumber(value));
        fMain().HScroll2->setValue(*line.count);
        break;
    }
}

// The values of the profile as text, in file order.
using ProfileText = std::array<std::string, profileLineCount>;
// Values read from a file; none where a line holds no value.
using ProfileValues = std::array<std::optional<std::string>, profileLineCount>;

// The player's values, as they stand in memory.
ProfileText liveProfile() {
    ProfileText text;
    for (size_t i = 0; i < profileLineCount; ++i) text[i] = liveValue(profileLines[i]);
    return text;
}

// Parses the lines of the file into values; no side effects.
ProfileValues parseProfile(const DataLines& lines, FirstFault& fault) {
    ProfileValues values;
    parseLines(lines, profileLineCount, fault,
               [&](size_t i, const std::string& line) { values[i] = fileValue(profileLines[i], line); });
    return values;
}

ProfileValues parseProfile(const DataLines& lines) {
    FirstFault ignored;
    return parseProfile(lines, ignored);
}

// Puts values into the profile variables, in file order.
void applyProfile(const ProfileValues& values) {
    for (size_t i = 0; i < profileLineCount; ++i)
        if (values[i]) applyValue(profileLines[i], *values[i]);
}

struct ProfileState {
    KnownFile file;
    ProfileValues diskValues;
    ProfileText base;  // the player's values when they were last in step with the file
    bool clean() const {
        return file.known && file.disk.present &&
               std::all_of(diskValues.begin(), diskValues.end(), [](const auto& v) { return v.has_value(); });
    }
};
ProfileState profile;
POMLETS_RESTORED_IN(readings(), profile);

// One value of the merge: what the file holds now where the player left the
// value alone, the player's value where it changed; a count the player changed
// takes the change on top of what the file holds now.
std::string mergedValue(size_t i, const ProfileText& live, const std::optional<std::string>& onDisk) {
    const Held held = profileLines[i].held;
    if ((held != Held::Count && held != Held::Notes) || !onDisk) return live[i];
    try {
        const double sum = lenientNumber(*onDisk) + lenientNumber(live[i]) - lenientNumber(profile.base[i]);
        return std::to_string(held == Held::Notes ? toInt32(sum) : toInt16(sum));
    } catch (const RuntimeError&) {
        return live[i];  // the sum does not fit: the player's value stands
    }
}

// Merges the file with the player's values, line by line: a line the player
// left alone stays as the file has it (a damaged line too); a changed one
// takes the player's value. next: the values memory takes after the save.
DataLines profileLinesToWrite(const ProfileText& live, ProfileValues& next) {
    const KnownFile& file = profile.file;
    const DataLines& disk = file.disk;
    DataLines out{true, {}, {}};
    size_t written = 0;  // lines up to here hold something to write
    for (size_t i = 0; i < profileLineCount; ++i) {
        const ProfileLine& held = profileLines[i];
        const std::optional<std::string>& onDisk = profile.diskValues[i];
        std::string line;
        if (!file.loaded || !disk.present || live[i] != profile.base[i]) {
            const std::string value = file.loaded && disk.present ? mergedValue(i, live, onDisk) : live[i];
            line = lineText(held, value);
            next[i] = value;
            written = i + 1;
        } else if (i < disk.plain.size()) {
            for (const auto& d : disk.damaged)
                if (d.index == i) out.damaged.push_back(d);
            // A value goes back as itself; a line without one as it stood.
            line = onDisk ? lineText(held, *onDisk) : disk.plain[i];
            // A value read now that memory did not know yet; the theme in
            // use stays the one shown.
            if (onDisk && held.held != Held::Theme) next[i] = onDisk;
            written = i + 1;
        }
        out.plain.push_back(line);
    }
    // Lines the file never had and the player gave nothing for stay absent.
    out.plain.resize(written);
    return out;
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
    scores.file.loaded = true;
    highScores.fill(HighScoreEntry{});
    try {
        scores.file.disk = readDataLines(highScoreFile);
    } catch (const RuntimeError&) {
        // Nothing of the file is known: no entry takes a place until it is.
        takeTable({});
        showHighScores();
        throw;
    }
    scores.file.known = true;
    if (!scores.file.disk.present) {
        // No table yet: ten empty entries, as a new table has.
        takeTable(std::vector<HighScoreEntry>(tableSize));
        showHighScores();
        throw RuntimeError(err::FileNotFound);
    }
    FirstFault fault;
    takeTable(parseScores(scores.file.disk, fault).entries);
    showHighScores();
    if (fault.error) raiseDamage(highScoreFile, *fault.error);
}

void saveHighScores() {
    const std::vector<HighScoreEntry> added = addedEntries();
    std::vector<HighScoreEntry> table;
    saveFile({highScoreFile, scores.file, !added.empty(), [] { return scoresClean(scores.file); }, [] {},
              [&](bool reread) { return scoreLines(reread, added, table); },
              [&](bool written) {
                  takeTable(table);
                  // Nothing written: the table shows what the file holds.
                  if (!written) showHighScores();
              }});
}

void reloadHighScores() {
    KnownFile file;
    try {
        file.disk = readDataLines(highScoreFile);
        file.known = true;
    } catch (const RuntimeError&) {
        file.known = false;
    }
    // Only a table read back whole replaces the one in memory.
    if (scoresClean(file)) {
        scores.file.known = file.known;
        scores.file.disk = file.disk;
        takeTable(parseScores(file.disk).entries);
    }
    showHighScores();
}

void loadProfile() {
    profile = {};
    profile.file.loaded = true;
    profile.base = liveProfile();
    profile.file.disk = readDataLines(profileFile);
    profile.file.known = true;
    if (!profile.file.disk.present) throw RuntimeError(err::FileNotFound);
    FirstFault fault;
    profile.diskValues = parseProfile(profile.file.disk, fault);
    applyProfile(profile.diskValues);
    profile.base = liveProfile();
    if (fault.error) raiseDamage(profileFile, *fault.error);
}

void saveProfile() {
    const ProfileText live = liveProfile();
    ProfileValues next;
    saveFile({profileFile, profile.file, live != profile.base, [] { return profile.clean(); },
              [] { profile.diskValues = parseProfile(profile.file.disk); },
              [&](bool) { return profileLinesToWrite(live, next); },
              [&](bool) {
                  applyProfile(next);
                  profile.base = liveProfile();
              }});
}

void keepThemeAsRead() {
    for (size_t i = 0; i < profileLineCount; ++i)
        if (profileLines[i].held == Held::Theme) profile.base[i] = liveValue(profileLines[i]);
}

void forgetPlayerFileReadings() { readings().restore(); }

} // namespace pomlets
