// The language runtime the game was written against: its run-time errors,
// number conversions, pseudo-random generator and sequential text files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pomlets {

// A run-time error with its classic number and text.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(int number);
    RuntimeError(int number, const std::string& description);
    int number() const noexcept { return number_; }
    // The description without the number, e.g. "Overflow".
    const std::string& description() const noexcept { return description_; }
    // The classic description of an error number ("Application-defined or object-defined error" when unknown).
    static std::string textOf(int number);

private:
    int number_;
    std::string description_;
};

namespace err {
constexpr int InvalidCall = 5;       // "Invalid procedure call or argument"
constexpr int Overflow = 6;          // "Overflow"
constexpr int Subscript = 9;         // "Subscript out of range"
constexpr int TypeMismatch = 13;     // "Type mismatch"
constexpr int BadFileName = 52;      // "Bad file name or number"
constexpr int FileNotFound = 53;     // "File not found"
constexpr int BadFileMode = 54;      // "Bad file mode"
constexpr int PastEndOfFile = 62;    // "Input past end of file"
constexpr int PathAccess = 75;       // "Path/File access error"
constexpr int ObjectNotSet = 91;     // "Object variable or With block variable not set"
constexpr int InvalidProperty = 380; // "Invalid property value"
} // namespace err

// --- numbers -------------------------------------------------------------

// Round to the nearest whole number, a half to the even one (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double x);
// Int(x): the largest whole number not above x.
double vbInt(double x);
// Store a number into a 16- or 32-bit field: rounds half to even, raises
// Overflow (6) when the result does not fit.
int16_t toInt16(double x);
int32_t toInt32(double x);
// Checked 16- and 32-bit arithmetic: Overflow (6) when the result does not fit.
int16_t add16(int32_t a, int32_t b);
int32_t add32(int64_t a, int64_t b);

// Lenient number reading: the longest leading number of the text (blanks
// anywhere are skipped, "&H"/"&O" prefixes understood), 0 when there is none.
double lenientNumber(std::string_view text);
// Strict number reading: the whole text (blanks around it allowed) must be a
// number, otherwise Type mismatch (13).
double strictNumber(std::string_view text);
// The signed number-to-text form: " 5", " 0", "-2".
std::string signedText(double value);
// Plain decimal form: "5", "0", "-2".
std::string plainText(double value);

// --- the pseudo-random generator ----------------------------------------

// Next value in [0, 1).
float rnd();
// Seed with a number.
void randomize(double seed);
// Seed from the clock (seconds since local midnight).
void randomizeFromClock();
// The generator's 24-bit state, for tests and tools.
uint32_t rndState();
void setRndState(uint32_t state);
// Back to the program-start state (0x050000).
void resetRnd();

// --- files ----------------------------------------------------------------

// The folder of the running program; every relative path of the game is
// taken from here.
const std::string& programFolder();
void setProgramFolder(const std::string& folder);
// The program folder joined with a relative name written with "\" or "/"
// ("\init\6095" -> "<folder>/init/6095").
std::string appPath(std::string_view relative);

// A sequential text file: field input, whole-line input, line output (CR LF).
// Text is bytes 0 to 255, kept as they are.
class TextFile {
public:
    // Input reads a file of the program folder whole. Replace writes a new
    // file in place of whatever the path names: an old file or symbolic link
    // there is removed first (never what a link points to), and the new file
    // is created only if nothing took its place meanwhile, so the write
    // cannot land outside the path's own folder.
    enum class Mode { Input, Replace };
    TextFile() = default;
    TextFile(const std::string& path, Mode mode) { open(path, mode); }
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    TextFile(TextFile&& other) noexcept;
    TextFile& operator=(TextFile&& other) noexcept;

    // Opening for input a file that does not exist raises File not found (53);
    // other failures raise Path/File access error (75).
    void open(const std::string& path, Mode mode);
    // Closes the file; for a written file, a failure to write out what is
    // still buffered raises Path/File access error (75).
    void close();
    bool isOpen() const { return file_ != nullptr; }

    // The next field: leading blanks skipped; a quoted field is taken without
    // its quotes; a field ends at a comma or the end of a line. Raises Input
    // past end of file (62) when nothing is left.
    std::string readField();
    // The next whole line without its line end (CR LF, LF or CR). 62 at the end.
    std::string readLine();
    // Writes the text and CR LF.
    void writeLine(std::string_view text);
    // Writes the text without a line end.
    void write(std::string_view text);
    void flush();
    // True when no more characters can be read.
    bool eof();
    // Every byte not read yet, as it is.
    std::string readAll();

private:
    void openReplacing(const std::string& path);
    // Closes without reporting anything (destruction, reopening).
    void release() noexcept;
    int peekByte();
    int getByte();
    void requireMode(Mode mode) const;
    std::FILE* file_ = nullptr;
    Mode mode_ = Mode::Input;
};

// Deletes a file; File not found (53) when it does not exist.
void deleteFile(const std::string& path);
bool fileExists(const std::string& path);

} // namespace pomlets
