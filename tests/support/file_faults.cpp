#include "support/file_faults.h"

#include <cerrno>
#include <fcntl.h>
#include <set>
#include <unistd.h>

#include "platform/file_calls.h"

namespace pomlets::testing {

namespace {

Fault active;
long count = 0;
std::vector<std::string> changed;
std::set<int> watched;  // descriptors opened from the fault's path
bool onPath = true;     // the call being made concerns the fault's path

bool concerns(const char* path) {
    const std::string p(path);
    return active.path.empty() ||
           (p.size() >= active.path.size() && p.compare(p.size() - active.path.size(), std::string::npos, active.path) == 0);
}
bool concerns(int fd) { return active.path.empty() || watched.count(fd) > 0; }

// Counts a call of the fault's kind and says whether it fails.
bool failsNow(FaultKind kind) {
    if (active.kind != kind || !onPath) return false;
    ++count;
    return active.lasting ? count >= active.call : count == active.call;
}

bool fails() {
    if (!failsNow(FaultKind::Error)) return false;
    errno = active.error;
    return true;
}

const FileCalls& real() { return systemFileCalls(); }

// Notes whether the call concerns the fault's path.
template <typename Target>
bool on(Target target) {
    onPath = concerns(target);
    return true;
}

const FileCalls failing{
    [](const char* path, int flags, mode_t mode) {
        if ((flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0) changed.emplace_back(path);
        on(path);
        if (fails()) return -1;
        const int fd = real().open(path, flags, mode);
        if (fd >= 0 && !active.path.empty() && concerns(path)) watched.insert(fd);
        return fd;
    },
    [](int fd, void* buffer, size_t count) -> ssize_t {
        on(fd);
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
        on(fd);
        if (fails()) return -1;
        if (!failsNow(FaultKind::ShortWrite)) return real().write(fd, buffer, count);
        return count / 2 == 0 ? 0 : real().write(fd, buffer, count / 2);
    },
    [](int fd) { return on(fd) && fails() ? -1 : real().fsync(fd); },
    [](int fd) {
        // A failing close still lets the descriptor go, as the system does.
        const bool failed = on(fd) && fails();
        watched.erase(fd);
        const int status = real().close(fd);
        if (failed) errno = active.error;
        return failed ? -1 : status;
    },
    [](int fd, struct stat* info) { return on(fd) && fails() ? -1 : real().fstat(fd, info); },
    [](const char* path, struct stat* info) { return on(path) && fails() ? -1 : real().stat(path, info); },
    [](const char* path, struct stat* info) { return on(path) && fails() ? -1 : real().lstat(path, info); },
    [](const char* from, const char* to) {
        changed.emplace_back(from);
        changed.emplace_back(to);
        // What lies at the target does not matter: a file that cannot be
        // read can still be replaced.
        onPath = concerns(from);
        return fails() ? -1 : real().rename(from, to);
    },
    [](const char* path) {
        changed.emplace_back(path);
        return on(path) && fails() ? -1 : real().unlink(path);
    },
    [](const char* path, int mode) { return on(path) && fails() ? -1 : real().access(path, mode); },
    [](int fd, int operation) { return on(fd) && fails() ? -1 : real().flock(fd, operation); },
};

} // namespace

FileFaults::FileFaults(const Fault& fault) : fault_(fault) {
    active = fault;
    count = 0;
    changed.clear();
    watched.clear();
    onPath = true;
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
