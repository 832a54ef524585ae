#include "datafiles/player_files.h"

#include <vector>

#include "common/brains.h"
#include "datafiles/scrambler.h"
#include "datafiles/scratch_file.h"
#include "frontend/fmain.h"
#include "platform/runtime.h"
#include "platform/windows1252.h"

namespace pomlets {

namespace {

const char* const highScoreFile = "\\init\\6095";
const char* const profileFile = "\\init\\6702";

int16_t lenient16(const std::string& text) { return toInt16(lenientNumber(text)); }
int32_t lenient32(const std::string& text) { return toInt32(lenientNumber(text)); }
bool flagOf(const std::string& text) { return lenientNumber(text) != 0; }
std::string flagText(bool flag) { return flag ? "1" : "0"; }

// The last field of a line, as fieldText writes it: leading blanks skipped;
// a field in double quotes runs to its closing quote, may hold commas, and
// reads a doubled double quote as one; an unquoted field ends at a comma.
std::string readNameField(TextFile& in) {
    const std::string line = in.readLine();
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
    TextFile out(temp.path(), TextFile::Mode::Output);
    for (const auto& line : lines) out.writeLine(line);
    out.flush();  // a write that cannot be completed fails here, before anything is replaced
    out.close();
    encryptFile(temp.path(), appPath(dataFile));
    temp.remove();
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
    ScratchFile temp;
    decryptFile(appPath(highScoreFile), temp.path());
    TextFile in(temp.path(), TextFile::Mode::Input);
    for (int i = 0; i < 10; ++i) {
        HighScoreEntry& entry = highScores[static_cast<size_t>(i)];
        entry.score = lenient32(in.readField());
        entry.name = readNameField(in);
        fMain().scores_freestyle->addItem(fromWindows1252(highScoreListLine(i)));
    }
    in.close();
    temp.remove();
}

void saveHighScores() {
    std::vector<std::string> lines;
    for (const auto& entry : highScores) lines.push_back(std::to_string(entry.score) + "," + fieldText(entry.name));
    writeScrambled(highScoreFile, lines);
}

void loadProfile() {
    ScratchFile temp;
    decryptFile(appPath(profileFile), temp.path());
    TextFile in(temp.path(), TextFile::Mode::Input);
    credits = lenient16(in.readField());
    items[0] = lenient16(in.readField());
    items[1] = lenient16(in.readField());
    items[3] = lenient16(in.readField());
    items[4] = lenient16(in.readField());
    items[5] = lenient16(in.readField());
    items[2] = lenient16(in.readField());
    profileFlag1 = flagOf(in.readField());
    profileFlag2 = flagOf(in.readField());
    profileFlag3 = flagOf(in.readField());
    musicNotes = lenient32(in.readField());
    themeName = readNameField(in);
    // The volume bar runs from 0 to 100 and refuses any other value; a refused
    // volume is not kept either, so that the next save mends the file.
    const int16_t volume = lenient16(in.readField());
    QScrollBar* bar = fMain().HScroll2;
    if (volume < bar->minimum() || volume > bar->maximum()) throw RuntimeError(err::InvalidProperty);
    musicVolume = volume;
    bar->setValue(musicVolume);
    in.close();
    temp.remove();
}

void saveProfile() {
    const std::vector<std::string> lines = {
        std::to_string(credits),    std::to_string(items[0]),  std::to_string(items[1]),
        std::to_string(items[3]),   std::to_string(items[4]),  std::to_string(items[5]),
        std::to_string(items[2]),   flagText(profileFlag1),    flagText(profileFlag2),
        flagText(profileFlag3),     std::to_string(musicNotes), fieldText(themeName),
        std::to_string(musicVolume),
    };
    writeScrambled(profileFile, lines);
}

} // namespace pomlets
