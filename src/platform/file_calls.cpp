#include "platform/file_calls.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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
};

FileCalls calls = systemCalls;
POMLETS_RESTORED(calls);

struct Stream {
    int fd;
    bool regular;
    off_t size;
    off_t done = 0;
};

ssize_t streamRead(void* cookie, char* buffer, size_t size) {
    auto* stream = static_cast<Stream*>(cookie);
    size_t got = 0;
    while (got < size) {
        const ssize_t n = calls.read(stream->fd, buffer + got, size - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (got > 0) break;  // the error comes again at the next read
            return -1;
        }
        if (n == 0) {
            if (got == 0 && stream->regular && stream->done < stream->size) {
                errno = EIO;
                return -1;
            }
            break;
        }
        got += static_cast<size_t>(n);
        stream->done += n;
    }
    return static_cast<ssize_t>(got);
}

ssize_t streamWrite(void* cookie, const char* buffer, size_t size) {
    auto* stream = static_cast<Stream*>(cookie);
    size_t put = 0;
    while (put < size) {
        const ssize_t n = calls.write(stream->fd, buffer + put, size - put);
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
    auto* stream = static_cast<Stream*>(cookie);
    const int status = calls.close(stream->fd);
    delete stream;
    return status;
}

} // namespace

FileCalls& fileCalls() { return calls; }
const FileCalls& systemFileCalls() { return systemCalls; }

std::FILE* fileStream(int fd, const char* mode) {
    struct stat info{};
    if (calls.fstat(fd, &info) != 0) {
        const int cause = errno;
        calls.close(fd);
        errno = cause;
        return nullptr;
    }
    auto* stream = new Stream{fd, S_ISREG(info.st_mode), info.st_size};
    std::FILE* file = fopencookie(stream, mode, {streamRead, streamWrite, nullptr, streamClose});
    if (!file) {
        const int cause = errno;
        calls.close(fd);
        delete stream;
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
