#include "platform/program_files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_calls.h"
#include "platform/runtime.h"

namespace pomlets {

namespace {

constexpr uint64_t megabyte = uint64_t{1} << 20;

const char* kindName(FileKind kind) {
    switch (kind) {
    case FileKind::DataFile: return "a data file";
    case FileKind::Picture: return "a picture";
    case FileKind::Sound: return "a sound";
    case FileKind::Music: return "a music track";
    }
    return "a file";
}

const char* whatIsNotRegular(mode_t mode) {
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "a special file";
}

[[noreturn]] void refuse(const std::string& path, int systemError, const std::string& why = {}) {
    throw FileAccessError(err::PathAccess, systemError, path, why.empty() ? systemCause(systemError) : why);
}

struct Descriptor {
    int fd;
    ~Descriptor() { fileCalls().close(fd); }
};

} // namespace

uint64_t sizeCapOf(FileKind kind) {
    switch (kind) {
    case FileKind::DataFile: return 1 * megabyte;
    case FileKind::Picture: return 24 * megabyte;
    case FileKind::Sound: return 32 * megabyte;
    case FileKind::Music: return 64 * megabyte;
    }
    return 0;
}

std::string readProgramFile(const std::string& path, FileKind kind) {
    // O_NONBLOCK: opening a FIFO with no writer returns at once instead of
    // waiting for one; O_NOCTTY: a terminal never becomes the game's own.
    const int fd = fileCalls().open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
    if (fd < 0) {
        // Only a file that is not there is not found; one that cannot be
        // opened (no access, a failing disk) is not missing.
        const int cause = errno;
        if (cause == ENOENT || cause == ENOTDIR) throw FileAccessError(err::FileNotFound, cause, path, {});
        refuse(path, cause);
    }
    const Descriptor closer{fd};
    // The descriptor itself is checked, so that nothing can be put in the
    // file's place between the check and the read.
    struct stat info{};
    if (fileCalls().fstat(fd, &info) != 0) refuse(path, errno);
    if (!S_ISREG(info.st_mode))
        refuse(path, S_ISDIR(info.st_mode) ? EISDIR : EINVAL,
               std::string(whatIsNotRegular(info.st_mode)) + ", not a regular file");
    const uint64_t cap = sizeCapOf(kind);
    const std::string tooLarge = "larger than " + std::to_string(cap / megabyte) + " MB, more than " +
                                 kindName(kind) + " can hold";
    if (static_cast<uint64_t>(info.st_size) > cap) refuse(path, EFBIG, tooLarge);
    // The size is read on, not trusted: a regular file of the system's
    // (under /proc or /sys) can say 0 and hold far more.
    std::string bytes;
    bytes.resize(static_cast<size_t>(info.st_size) + 1);
    size_t have = 0;
    for (;;) {
        if (have == bytes.size()) {
            if (have > cap) refuse(path, EFBIG, tooLarge);
            bytes.resize(static_cast<size_t>(std::min<uint64_t>(cap + 1, std::max<uint64_t>(have * 2, 65536))));
        }
        const ssize_t got = fileCalls().read(fd, bytes.data() + have, bytes.size() - have);
        if (got < 0) {
            if (errno == EINTR) continue;
            refuse(path, errno);
        }
        if (got == 0) break;
        have += static_cast<size_t>(got);
    }
    if (have > cap) refuse(path, EFBIG, tooLarge);
    // A file that ends before the size it had when it was opened was not
    // read whole: it is never taken for shorter than it is.
    if (have < static_cast<uint64_t>(info.st_size)) refuse(path, EIO);
    bytes.resize(have);
    return bytes;
}

namespace {

struct StreamBytes {
    std::string bytes;
    size_t at = 0;
};

ssize_t readStream(void* cookie, char* out, size_t size) {
    auto* stream = static_cast<StreamBytes*>(cookie);
    const size_t count = std::min(size, stream->bytes.size() - stream->at);
    std::memcpy(out, stream->bytes.data() + stream->at, count);
    stream->at += count;
    return static_cast<ssize_t>(count);
}

int closeStream(void* cookie) {
    delete static_cast<StreamBytes*>(cookie);
    return 0;
}

} // namespace

std::FILE* openProgramFileStream(const std::string& path, FileKind kind) {
    auto stream = std::make_unique<StreamBytes>();
    stream->bytes = readProgramFile(path, kind);
    const cookie_io_functions_t functions{readStream, nullptr, nullptr, closeStream};
    std::FILE* file = ::fopencookie(stream.get(), "rb", functions);
    if (!file) refuse(path, errno);
    stream.release();
    return file;
}

} // namespace pomlets
