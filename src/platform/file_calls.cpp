#include "platform/file_calls.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/start_values.h"

namespace pomlets {

namespace {

const FileCalls systemCalls{
    [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); },
    [](int fd, void* buffer, size_t count) { return ::read(fd, buffer, count); },
    [](int fd, const void* buffer, size_t count) { return ::write(fd, buffer, count); },
    [](int fd) { return ::fsync(fd); },
    [](int fd) { return ::close(fd); },
    [](int fd, struct stat* info) { return ::fstat(fd, info); },
    [](const char* path, struct stat* info) { return ::stat(path, info); },
    [](const char* path, struct stat* info) { return ::lstat(path, info); },
    [](const char* from, const char* to) { return ::rename(from, to); },
    [](const char* path) { return ::unlink(path); },
    [](const char* path, int mode) { return ::access(path, mode); },
    [](int fd, int operation) { return ::flock(fd, operation); },
};

FileCalls calls = systemCalls;
POMLETS_RESTORED(calls);

ssize_t streamWrite(void* cookie, const char* buffer, size_t size) {
    const int fd = *static_cast<int*>(cookie);
    size_t put = 0;
    while (put < size) {
        const ssize_t n = calls.write(fd, buffer + put, size - put);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            break;
        }
        put += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(put);
}

int streamClose(void* cookie) {
    auto* fd = static_cast<int*>(cookie);
    const int status = calls.close(*fd);
    delete fd;
    return status;
}

} // namespace

FileCalls& fileCalls() { return calls; }
const FileCalls& systemFileCalls() { return systemCalls; }

std::FILE* fileStream(int fd) {
    auto* cookie = new int(fd);
    std::FILE* file = fopencookie(cookie, "wb", {nullptr, streamWrite, nullptr, streamClose});
    if (!file) {
        const int cause = errno;
        calls.close(fd);
        delete cookie;
        errno = cause;
    }
    return file;
}

std::string systemCause(int systemError) { return std::strerror(systemError); }

FileAccessError::FileAccessError(int number, int systemError)
    : RuntimeError(number), systemError_(systemError) {}

FileAccessError::FileAccessError(int number, int systemError, const std::string& path, std::string reason)
    : RuntimeError(number, textOf(number) + ": " + path + (reason.empty() ? "" : " (" + reason + ")")),
      systemError_(systemError), reason_(std::move(reason)) {}

std::string FileAccessError::cause() const { return reason_.empty() ? systemCause(systemError_) : reason_; }

} // namespace pomlets
