#include "support/file_faults.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "platform/file_calls.h"

namespace pomlets::testing {

namespace {

Fault active;
long count = 0;
std::vector<std::string> changed;

// Counts a call of the fault's kind and says whether it fails.
bool failsNow(FaultKind kind) {
    if (active.kind != kind) return false;
    ++count;
    return active.lasting ? count >= active.call : count == active.call;
}

bool fails() {
    if (!failsNow(FaultKind::Error)) return false;
    errno = active.error;
    return true;
}

const FileCalls& real() { return systemFileCalls(); }

const FileCalls failing{
    [](const char* path, int flags, mode_t mode) {
        if ((flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0) changed.emplace_back(path);
        return fails() ? -1 : real().open(path, flags, mode);
    },
    [](int fd, void* buffer, size_t count) -> ssize_t {
        if (fails()) return -1;
        if (!failsNow(FaultKind::ShortRead)) return real().read(fd, buffer, count);
        // Half of what there was: the rest stays unread for the next read.
        const ssize_t got = real().read(fd, buffer, count);
        if (got <= 0) return got;
        const ssize_t given = got / 2;
        lseek(fd, given - got, SEEK_CUR);
        return given;
    },
    [](int fd, const void* buffer, size_t count) -> ssize_t {
        if (fails()) return -1;
        if (!failsNow(FaultKind::ShortWrite)) return real().write(fd, buffer, count);
        return count / 2 == 0 ? 0 : real().write(fd, buffer, count / 2);
    },
    [](int fd) { return fails() ? -1 : real().fsync(fd); },
    [](int fd) {
        // A failing close still lets the descriptor go, as the system does.
        const bool failed = fails();
        const int status = real().close(fd);
        if (failed) errno = active.error;
        return failed ? -1 : status;
    },
    [](int fd, struct stat* info) { return fails() ? -1 : real().fstat(fd, info); },
    [](const char* path, struct stat* info) { return fails() ? -1 : real().stat(path, info); },
    [](const char* path, struct stat* info) { return fails() ? -1 : real().lstat(path, info); },
    [](const char* from, const char* to) {
        changed.emplace_back(from);
        changed.emplace_back(to);
        return fails() ? -1 : real().rename(from, to);
    },
    [](const char* path) {
        changed.emplace_back(path);
        return fails() ? -1 : real().unlink(path);
    },
};

} // namespace

FileFaults::FileFaults(const Fault& fault) : fault_(fault) {
    active = fault;
    count = 0;
    changed.clear();
    fileCalls() = failing;
}

FileFaults::~FileFaults() { fileCalls() = systemFileCalls(); }

long FileFaults::counted() const { return count; }

const std::vector<std::string>& FileFaults::changedPaths() const { return changed; }

std::string errorName(int error) {
    switch (error) {
    case EACCES: return "EACCES";
    case EIO: return "EIO";
    case ENOSPC: return "ENOSPC";
    case EROFS: return "EROFS";
    case EISDIR: return "EISDIR";
    case EMFILE: return "EMFILE";
    default: return std::to_string(error);
    }
}

} // namespace pomlets::testing
