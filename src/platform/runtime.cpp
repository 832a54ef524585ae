// The language runtime: run-time errors, number conversions and number text,
// the pseudo-random generator, the program folder and sequential text files.
#include "platform/runtime.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <ctime>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>
#include <utility>

#include "platform/file_calls.h"
#include "platform/platform_calls.h"
#include "platform/program_files.h"
#include "platform/start_values.h"

namespace pomlets {

// --- run-time errors ------------------------------------------------------

std::string RuntimeError::textOf(int number) {
    switch (number) {
    case err::InvalidCall: return "Invalid procedure call or argument";
    case err::Overflow: return "Overflow";
    case err::Subscript: return "Subscript out of range";
    case err::TypeMismatch: return "Type mismatch";
    case err::BadFileName: return "Bad file name or number";
    case err::FileNotFound: return "File not found";
    case err::BadFileMode: return "Bad file mode";
    case err::PastEndOfFile: return "Input past end of file";
    case err::PathAccess: return "Path/File access error";
    case err::ObjectNotSet: return "Object variable or With block variable not set";
    case err::InvalidProperty: return "Invalid property value";
    default: return "Application-defined or object-defined error";
    }
}

RuntimeError::RuntimeError(int number) : RuntimeError(number, textOf(number)) {}

RuntimeError::RuntimeError(int number, const std::string& description)
    : std::runtime_error(description), number_(number), description_(description) {}

// --- numbers ----------------------------------------------------------------

double roundHalfEven(double x) {
    if (!std::isfinite(x)) return x;
    const double lower = std::floor(x);
    const double fraction = x - lower;
    if (fraction > 0.5) return lower + 1;
    if (fraction < 0.5) return lower;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

double vbInt(double x) { return std::floor(x); }

int16_t toInt16(double x) {
    const double r = roundHalfEven(x);
    if (!(r >= -32768.0 && r <= 32767.0)) throw RuntimeError(err::Overflow);
    return static_cast<int16_t>(r);
}

int32_t toInt32(double x) {
    const double r = roundHalfEven(x);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw RuntimeError(err::Overflow);
    return static_cast<int32_t>(r);
}

int16_t add16(int32_t a, int32_t b) {
    const int64_t sum = int64_t{a} + int64_t{b};
    if (sum < INT16_MIN || sum > INT16_MAX) throw RuntimeError(err::Overflow);
    return static_cast<int16_t>(sum);
}

int32_t add32(int64_t a, int64_t b) {
    // Callers pass 32-bit operands; anything wider is checked all the same.
    if ((b > 0 && a > INT64_MAX - b) || (b < 0 && a < INT64_MIN - b)) throw RuntimeError(err::Overflow);
    const int64_t sum = a + b;
    if (sum < INT32_MIN || sum > INT32_MAX) throw RuntimeError(err::Overflow);
    return static_cast<int32_t>(sum);
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A hexadecimal or octal literal's value: one that fits in 16 bits is a
// 16-bit Integer (&HFFFF is -1), one that fits in 32 bits a Long; wider
// overflows.
double radixValue(uint64_t value) {
    if (value <= 0xFFFF) return static_cast<int16_t>(static_cast<uint16_t>(value));
    if (value <= 0xFFFFFFFF) return static_cast<int32_t>(static_cast<uint32_t>(value));
    throw RuntimeError(err::Overflow);
}

// Reads "&H..." / "&O..." / "&..." starting at text[0] == '&'. Returns the
// number of characters used (0 when no radix literal starts here).
size_t readRadix(std::string_view text, double& result) {
    if (text.size() < 2 || text[0] != '&') return 0;
    size_t i = 1;
    int radix = 8;
    if (text[i] == 'H' || text[i] == 'h') {
        radix = 16;
        ++i;
    } else if (text[i] == 'O' || text[i] == 'o') {
        ++i;
    } else if (!(text[i] >= '0' && text[i] <= '7')) {
        return 0;
    }
    uint64_t value = 0;
    size_t digits = 0;
    for (; i < text.size(); ++i) {
        const int d = radix == 16 ? hexValue(text[i]) : (text[i] >= '0' && text[i] <= '7' ? text[i] - '0' : -1);
        if (d < 0) break;
        if (value > (UINT64_MAX >> 4)) throw RuntimeError(err::Overflow);
        value = value * static_cast<uint64_t>(radix) + static_cast<uint64_t>(d);
        ++digits;
    }
    result = digits ? radixValue(value) : 0.0;
    return i;
}

// Reads a decimal number (sign, digits, point, exponent with E or D) at the
// start of text. Returns the characters used, 0 when none form a number.
size_t readDecimal(std::string_view text, double& result) {
    size_t i = 0;
    std::string canonical;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') canonical += '-';
        ++i;
    }
    size_t mantissaDigits = 0;
    while (i < text.size() && isDigit(text[i])) {
        canonical += text[i++];
        ++mantissaDigits;
    }
    if (i < text.size() && text[i] == '.') {
        if (mantissaDigits == 0) canonical += '0';
        canonical += '.';
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            canonical += text[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        size_t exponentDigits = 0;
        while (j < text.size() && isDigit(text[j])) {
            exponent += text[j++];
            ++exponentDigits;
        }
        if (exponentDigits) {
            canonical += exponent;
            i = j;
        }
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Too small rounds to zero; too large overflows.
        const auto ePos = canonical.find('e');
        if (ePos != std::string::npos && canonical[ePos + 1] == '-') value = 0;
        else throw RuntimeError(err::Overflow);
    }
    if (!std::isfinite(value)) throw RuntimeError(err::Overflow);
    result = value;
    return i;
}

} // namespace

double lenientNumber(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    for (char c : text)
        if (!isBlank(c)) compact += c;
    double result = 0;
    if (!compact.empty() && compact[0] == '&') {
        readRadix(compact, result);
        return result;
    }
    readDecimal(compact, result);
    return result;
}

double strictNumber(std::string_view text) {
    size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    const std::string_view body = text.substr(begin, end - begin);
    if (body.empty()) throw RuntimeError(err::TypeMismatch);
    double result = 0;
    const size_t used = body[0] == '&' ? readRadix(body, result) : readDecimal(body, result);
    if (used == 0 || used != body.size()) throw RuntimeError(err::TypeMismatch);
    if (body[0] == '&' && used <= 2 && (body.size() < 2 || !isDigit(body[1]))) throw RuntimeError(err::TypeMismatch);
    return result;
}

namespace {

// Up to 15 significant digits, no trailing zeros, exponent as "E+16".
std::string numberDigits(double value) {
    if (value == 0 || !std::isfinite(value)) return "0";
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        return std::to_string(static_cast<int64_t>(value));
    }
    std::array<char, 64> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::general, 15);
    (void)ec;
    std::string out(buffer.data(), end);
    const auto e = out.find('e');
    if (e != std::string::npos) {
        std::string mantissa = out.substr(0, e);
        const char sign = out[e + 1];
        std::string exponent = out.substr(e + 2);
        while (exponent.size() > 2 && exponent.front() == '0') exponent.erase(exponent.begin());
        out = mantissa + "E" + sign + exponent;
    }
    return out;
}

} // namespace

std::string signedText(double value) {
    std::string digits = numberDigits(value);
    const bool negative = digits.front() == '-';
    if (negative) digits.erase(digits.begin());
    // The signed form drops the zero before a decimal point (" .5").
    if (digits.size() > 1 && digits[0] == '0' && digits[1] == '.') digits.erase(digits.begin());
    return (negative ? "-" : " ") + digits;
}

std::string plainText(double value) { return numberDigits(value); }

// --- the pseudo-random generator --------------------------------------------

namespace {
constexpr uint32_t rndStart = 0x050000;
uint32_t generatorState = rndStart;
POMLETS_RESTORED(generatorState);
} // namespace

float rnd() {
    generatorState = static_cast<uint32_t>((uint64_t{generatorState} * 1140671485u + 12820163u) & 0xFFFFFFu);
    return static_cast<float>(generatorState) / 16777216.0f;
}

void randomize(double seed) {
    const uint64_t bits = std::bit_cast<uint64_t>(seed);
    const uint32_t h = static_cast<uint32_t>(bits >> 32);
    const uint32_t m = ((h & 0xFFFFu) ^ (h >> 16)) << 8;
    generatorState = (generatorState & 0x0000FFu) | (m & 0xFFFF00u);
}

void randomizeFromClock() {
    randomize(static_cast<double>(static_cast<float>(platformCalls().secondsSinceMidnight())));
}

uint32_t rndState() { return generatorState; }
void setRndState(uint32_t state) { generatorState = state & 0xFFFFFFu; }
void resetRnd() { generatorState = rndStart; }

// --- the program folder -----------------------------------------------------

namespace {

std::string& folderStore() {
    static std::string folder = [] {
        std::error_code ec;
        const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        if (ec) return std::filesystem::current_path(ec).string();
        return exe.parent_path().string();
    }();
    POMLETS_LOCAL_RESTORED(folder);
    return folder;
}

} // namespace

const std::string& programFolder() { return folderStore(); }

void setProgramFolder(const std::string& folder) {
    std::string f = folder;
    while (f.size() > 1 && f.back() == '/') f.pop_back();
    folderStore() = f;
}

std::string appPath(std::string_view relative) {
    std::string rel(relative);
    for (char& c : rel)
        if (c == '\\') c = '/';
    size_t start = 0;
    while (start < rel.size() && rel[start] == '/') ++start;
    rel.erase(0, start);
    const std::string& folder = programFolder();
    if (rel.empty()) return folder;
    if (!folder.empty() && folder.back() == '/') return folder + rel;
    return folder + "/" + rel;
}

// --- sequential text files --------------------------------------------------

TextFile::~TextFile() { release(); }

TextFile::TextFile(TextFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), mode_(other.mode_) {}

TextFile& TextFile::operator=(TextFile&& other) noexcept {
    if (this != &other) {
        release();
        file_ = std::exchange(other.file_, nullptr);
        mode_ = other.mode_;
    }
    return *this;
}

void TextFile::open(const std::string& path, Mode mode) {
    release();
    if (path.empty()) throw RuntimeError(err::BadFileName);
    if (mode == Mode::Replace) {
        openReplacing(path);
        return;
    }
    // Read whole through the program folder's one checked read; its callers
    // name the file that is missing.
    try {
        file_ = openProgramFileStream(path, FileKind::DataFile);
    } catch (const FileAccessError& error) {
        if (error.number() == err::FileNotFound) throw FileAccessError(err::FileNotFound, error.systemError());
        throw;
    }
    mode_ = mode;
}

void TextFile::openReplacing(const std::string& path) {
    // unlink removes a link itself; a directory of that name stays and
    // makes the creation below fail.
    if (fileCalls().unlink(path.c_str()) != 0 && errno != ENOENT && errno != EISDIR && errno != EPERM)
        throw FileAccessError(err::PathAccess, errno);
    const int fd = fileCalls().open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) throw FileAccessError(err::PathAccess, errno);
    file_ = fileStream(fd);
    if (!file_) throw FileAccessError(err::PathAccess, errno);
    mode_ = Mode::Replace;
}

void TextFile::close() {
    if (!file_) return;
    std::FILE* file = std::exchange(file_, nullptr);
    // Closing writes out what is still buffered; a file that could not be
    // written whole must not pass for saved.
    const bool failed = std::fclose(file) != 0;
    if (failed && mode_ != Mode::Input) throw FileAccessError(err::PathAccess, errno);
}

void TextFile::release() noexcept {
    if (file_) std::fclose(std::exchange(file_, nullptr));
}

void TextFile::requireMode(Mode mode) const {
    if (!file_) throw RuntimeError(err::BadFileName);
    const bool writing = mode_ != Mode::Input;
    const bool wantWriting = mode != Mode::Input;
    if (writing != wantWriting) throw RuntimeError(err::BadFileMode);
}

int TextFile::peekByte() {
    const int c = getByte();
    if (c != EOF) std::ungetc(c, file_);
    return c;
}

// A read that fails is an error, never the end of the file: a file that could
// not be read whole must not pass for a shorter one.
int TextFile::getByte() {
    errno = 0;
    const int c = std::getc(file_);
    if (c == EOF && std::ferror(file_)) throw FileAccessError(err::PathAccess, errno ? errno : EIO);
    return c;
}

std::string TextFile::readAll() {
    requireMode(Mode::Input);
    std::string bytes;
    for (int c = getByte(); c != EOF; c = getByte()) bytes += static_cast<char>(c);
    return bytes;
}

std::string TextFile::readField() {
    requireMode(Mode::Input);
    if (peekByte() == EOF) throw RuntimeError(err::PastEndOfFile);
    while (peekByte() == ' ' || peekByte() == '\t') getByte();
    // Inside quotes a comma is text; after the closing quote everything up to
    // the field's end is dropped. A line end (CR LF, LF or CR) always ends it.
    enum class Part { Plain, Quoted, AfterQuotes } part = Part::Plain;
    if (peekByte() == '"') {
        getByte();
        part = Part::Quoted;
    }
    std::string field;
    for (;;) {
        const int c = getByte();
        if (c == EOF) return field;
        if (c == '\r' || c == '\n') {
            if (c == '\r' && peekByte() == '\n') getByte();
            return field;
        }
        if (part == Part::Quoted) {
            if (c == '"') part = Part::AfterQuotes;
            else field += static_cast<char>(c);
            continue;
        }
        if (c == ',') return field;
        if (part == Part::Plain) field += static_cast<char>(c);
    }
}

std::string TextFile::readLine() {
    requireMode(Mode::Input);
    if (peekByte() == EOF) throw RuntimeError(err::PastEndOfFile);
    std::string line;
    for (;;) {
        const int c = getByte();
        if (c == EOF || c == '\n') return line;
        if (c == '\r') {
            if (peekByte() == '\n') getByte();
            return line;
        }
        line += static_cast<char>(c);
    }
}

void TextFile::write(std::string_view text) {
    requireMode(Mode::Replace);
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file_) != text.size())
        throw FileAccessError(err::PathAccess, errno ? errno : EIO);
}

void TextFile::writeLine(std::string_view text) {
    write(text);
    write("\r\n");
}

void TextFile::flush() {
    if (file_ && std::fflush(file_) != 0) throw FileAccessError(err::PathAccess, errno ? errno : EIO);
}

bool TextFile::eof() {
    requireMode(Mode::Input);
    return peekByte() == EOF;
}

void deleteFile(const std::string& path) {
    struct stat info{};
    if (fileCalls().lstat(path.c_str(), &info) != 0)
        throw FileAccessError(errno == ENOENT ? err::FileNotFound : err::PathAccess, errno);
    if (S_ISDIR(info.st_mode)) throw FileAccessError(err::PathAccess, EISDIR);
    if (fileCalls().unlink(path.c_str()) != 0) throw FileAccessError(err::PathAccess, errno);
}

bool fileExists(const std::string& path) {
    struct stat info{};
    return fileCalls().stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

} // namespace pomlets
