#include "datafiles/player_files.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "common/brains.h"
#include "datafiles/damaged_files.h"
#include "datafiles/scrambler.h"
#include "datafiles/scratch_file.h"
#include "frontend/fmain.h"
#include "platform/runtime.h"
#include "platform/windows1252.h"

namespace pomlets {

namespace {

const char* const highScoreFile = "\\init\\6095";
const char* const profileFile = "\\init\\6702";
constexpr size_t profileLineCount = 13;

int16_t lenient16(const std::string& text) { return toInt16(lenientNumber(text)); }
int32_t lenient32(const std::string& text) { return toInt32(lenientNumber(text)); }
bool flagOf(const std::string& text) { return lenientNumber(text) != 0; }
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

// Writes the plain lines into "\temp" and scrambles them into the data file;
// the data file is replaced only once the new one is whole.
void writeScrambled(const std::string& dataFile, const std::vector<std::string>& lines) {
    ScratchFile temp;
    TextFile out(temp.path(), TextFile::Mode::Replace);
    for (const auto& line : lines) out.writeLine(line);
    out.flush();  // a write that cannot be completed fails here, before anything is replaced
    out.close();
    encryptFile(temp.path(), appPath(dataFile));
    temp.remove();
}

// One reading of a data file whose lines each hold one value: the plain
// lines, which of them hold a value that was read, and the first error met.
struct LinesRead {
    std::vector<std::string> lines;
    std::vector<bool> read;
    std::optional<RuntimeError> fault;
    bool fileAtFault = false;  // the file itself is damaged (not missing, not the scratch file)
    bool missing = false;      // there is no file: nothing in it to lose

    size_t faultLine = 0;

    // Keeps the error of the earliest line, as a reading from the top meets it.
    void fail(const RuntimeError& error, bool ofTheFile, size_t line) {
        if (!fault || line < faultLine) {
            fault = error;
            faultLine = line;
        }
        fileAtFault = fileAtFault || ofTheFile;
    }
    bool whole() const { return !fault; }
};

// Unscrambles the file through "\temp" and takes its first count lines; a
// damaged line, and every line the file lacks, counts as not read.
LinesRead readLines(const char* dataFile, size_t count) {
    LinesRead result;
    result.lines.assign(count, std::string());
    result.read.assign(count, false);
    try {
        ScratchFile temp;
        const std::vector<size_t> damaged = decryptReadable(appPath(dataFile), temp.path());
        TextFile in(temp.path(), TextFile::Mode::Input);
        for (size_t i = 0; i < count; ++i) {
            if (in.eof()) {
                result.fail(RuntimeError(err::PastEndOfFile), true, i);
                break;
            }
            result.lines[i] = in.readLine();
            if (std::find(damaged.begin(), damaged.end(), i) != damaged.end())
                result.fail(RuntimeError(err::InvalidCall), true, i);
            else
                result.read[i] = true;
        }
        in.close();
        temp.remove();
    } catch (const RuntimeError& error) {
        // A missing file holds nothing to lose; any other failure here lies in
        // the scratch file or the disk, and the file is not known to be damaged.
        result.fail(error, false, 0);
        result.missing = error.number() == err::FileNotFound;
        result.read.assign(count, false);
    }
    return result;
}

// What was read of a file at start-up, so that a save can tell the player's
// changes from the values that were never read. Kept per data file path.
template <typename Values>
struct ReadState {
    std::string path;
    bool whole = true;
    std::vector<bool> read;
    Values asRead{};

    bool appliesTo(const char* dataFile) const { return !whole && path == appPath(dataFile); }
};

// After a load: raises the load's error, with the copy kept of the file when
// the fault is the file's own.
void raiseFault(const char* dataFile, const LinesRead& reading) {
    if (!reading.fault) return;
    if (!reading.fileAtFault) throw *reading.fault;
    throw DamagedFileError(*reading.fault, keepDamagedCopy(dataFile));
}

// --- high scores ---------------------------------------------------------

using ScoreTable = std::array<HighScoreEntry, 10>;
ReadState<ScoreTable> scoresRead;

bool sameEntry(const HighScoreEntry& a, const HighScoreEntry& b) { return a.score == b.score && a.name == b.name; }

// Reads the table; an entry whose line was not read keeps its value in table.
LinesRead readScoreTable(ScoreTable& table) {
    LinesRead reading = readLines(highScoreFile, table.size());
    for (size_t i = 0; i < table.size(); ++i) {
        if (!reading.read[i]) continue;
        const std::string& line = reading.lines[i];
        const size_t comma = line.find(',');
        try {
            table[i].score = lenient32(line.substr(0, comma));
            table[i].name = comma == std::string::npos ? std::string() : nameField(line.substr(comma + 1));
        } catch (const RuntimeError& error) {
            reading.read[i] = false;
            reading.fail(error, true, i);
        }
    }
    return reading;
}

// The entry enters the table before the first entry it equals or beats.
void insertEntry(ScoreTable& table, const HighScoreEntry& entry) {
    for (size_t i = 0; i < table.size(); ++i) {
        if (entry.score >= table[i].score) {
            for (size_t j = table.size() - 1; j > i; --j) table[j] = table[j - 1];
            table[i] = entry;
            return;
        }
    }
}

// --- profile -------------------------------------------------------------

using ProfileLines = std::array<std::string, profileLineCount>;
ReadState<ProfileLines> profileRead;

// The lines of the profile as saveProfile writes them (the theme unquoted).
ProfileLines profileLines() {
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

// Takes the field of profile line i into its variable; raises, leaving the
// variable as it was, when the value does not fit.
void takeProfileField(size_t i, const std::string& field) {
    static int16_t* const counts[] = {&credits, &items[0], &items[1], &items[3], &items[4], &items[5], &items[2]};
    static bool* const flags[] = {&profileFlag1, &profileFlag2, &profileFlag3};
    if (i < 7) {
        *counts[i] = lenient16(field);
    } else if (i < 10) {
        *flags[i - 7] = flagOf(field);
    } else if (i == 10) {
        musicNotes = lenient32(field);
    } else if (i == 11) {
        themeName = field;
    } else {
        // The volume bar runs from 0 to 100 and refuses any other value; a
        // refused volume is not kept.
        const int16_t volume = lenient16(field);
        QScrollBar* bar = fMain().HScroll2;
        if (volume < bar->minimum() || volume > bar->maximum()) throw RuntimeError(err::InvalidProperty);
        musicVolume = volume;
        bar->setValue(musicVolume);
    }
}

// Reads the profile into its variables; a value whose line was not read keeps
// the value it has.
LinesRead readProfileLines() {
    LinesRead reading = readLines(profileFile, profileLineCount);
    for (size_t i = 0; i < profileLineCount; ++i) {
        if (!reading.read[i]) continue;
        const std::string& line = reading.lines[i];
        try {
            takeProfileField(i, i == 11 ? nameField(line) : firstField(line));
        } catch (const RuntimeError& error) {
            reading.read[i] = false;
            reading.fail(error, true, i);
        }
    }
    return reading;
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
    const HighScoreEntry& entry = highScores[static_cast<size_t>(i)];
    return label + std::to_string(entry.score) + "   \t" + entry.name;
}

void loadHighScores() {
    fMain().scores_freestyle->clear();
    const LinesRead reading = readScoreTable(highScores);
    for (int i = 0; i < 10; ++i) fMain().scores_freestyle->addItem(fromWindows1252(highScoreListLine(i)));
    scoresRead = {appPath(highScoreFile), reading.whole() || reading.missing, reading.read, highScores};
    raiseFault(highScoreFile, reading);
}

void saveHighScores() {
    if (scoresRead.appliesTo(highScoreFile)) {
        // Part of the file was not read. It is read again (what kept it from
        // being read may have passed), and the entries the player added since
        // go into what it holds now. While it still cannot be read whole and
        // nothing was added, the file is left as it is.
        std::vector<HighScoreEntry> earlier(scoresRead.asRead.begin(), scoresRead.asRead.end());
        std::vector<HighScoreEntry> added;
        for (const auto& entry : highScores) {
            const auto match =
                std::find_if(earlier.begin(), earlier.end(), [&](const auto& e) { return sameEntry(e, entry); });
            if (match != earlier.end()) earlier.erase(match);
            else added.push_back(entry);
        }
        ScoreTable table = scoresRead.asRead;
        const LinesRead reading = readScoreTable(table);
        if (!reading.missing) {
            bool whole = true;
            bool gained = false;
            for (size_t i = 0; i < table.size(); ++i) {
                gained = gained || (reading.read[i] && !scoresRead.read[i]);
                scoresRead.read[i] = scoresRead.read[i] || reading.read[i];
                whole = whole && scoresRead.read[i];
            }
            if (!whole && added.empty()) return;
            if (!whole) keepDamagedCopy(highScoreFile);
            if (gained) {
                for (const auto& entry : added) insertEntry(table, entry);
                highScores = table;
            }
        }
    }
    std::vector<std::string> lines;
    for (const auto& entry : highScores) lines.push_back(std::to_string(entry.score) + "," + fieldText(entry.name));
    writeScrambled(highScoreFile, lines);
    scoresRead.whole = true;
}

void loadProfile() {
    const LinesRead reading = readProfileLines();
    profileRead = {appPath(profileFile), reading.whole() || reading.missing, reading.read, profileLines()};
    raiseFault(profileFile, reading);
}

void saveProfile() {
    if (profileRead.appliesTo(profileFile)) {
        // Part of the file was not read. Values the player left alone are
        // taken from the file as it reads now (what kept them from being read
        // may have passed); a count the player changed keeps the change on top
        // of what the file holds. While values are still unread and nothing
        // changed, the file is left as it is.
        const ProfileLines now = profileLines();
        const ProfileLines& before = profileRead.asRead;
        const LinesRead reading = readProfileLines();  // takes every value it can read
        bool whole = true;
        for (size_t i = 0; i < profileLineCount && !reading.missing; ++i) {
            if (reading.read[i] && now[i] != before[i]) {
                std::string value = now[i];
                if (isCount(i))
                    value = plainText(lenientNumber(profileLines()[i]) + lenientNumber(now[i]) - lenientNumber(before[i]));
                try {
                    takeProfileField(i, value);
                } catch (const RuntimeError&) {
                    takeProfileField(i, now[i]);  // the sum does not fit: the player's value stands
                }
            }
            profileRead.read[i] = profileRead.read[i] || reading.read[i];
            whole = whole && profileRead.read[i];
        }
        if (!whole && now == before) return;
        if (!whole) keepDamagedCopy(profileFile);
    }
    ProfileLines lines = profileLines();
    lines[11] = fieldText(lines[11]);
    writeScrambled(profileFile, std::vector<std::string>(lines.begin(), lines.end()));
    profileRead.whole = true;
}

void forgetPlayerFileReadings() {
    scoresRead = {};
    profileRead = {};
}

} // namespace pomlets
