// The system calls through which the game's files reach the disk. They are
// entries of one table, so that a test can put a failing call in the place of
// one (a full disk, a broken disk, a folder made read-only) and see what the
// game does then; the game itself only calls through the table.
#pragma once

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

#include "platform/runtime.h"

namespace pomlets {

struct FileCalls {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*read)(int fd, void* buffer, size_t count);
    ssize_t (*write)(int fd, const void* buffer, size_t count);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*fstat)(int fd, struct stat* info);
    int (*stat)(const char* path, struct stat* info);
    int (*lstat)(const char* path, struct stat* info);
    int (*rename)(const char* from, const char* to);
    int (*unlink)(const char* path);
    int (*access)(const char* path, int mode);
    int (*flock)(int fd, int operation);
};

// The table the file layer calls through.
FileCalls& fileCalls();
// The system's own calls, as the table holds them at program start.
const FileCalls& systemFileCalls();

// A stream for writing over an open descriptor, whose writes and close go
// through fileCalls(). Writing goes on after a short write; a write that
// takes nothing is a full disk (ENOSPC). Null, with the descriptor closed and
// errno set, when the stream cannot be made.
std::FILE* fileStream(int fd);

// A file operation that the system refused: Path/File access error (75) or
// File not found (53), with the system's cause.
class FileAccessError : public RuntimeError {
public:
    FileAccessError(int number, int systemError);
    // A refusal of the named file for a reason of the program's own ("a FIFO,
    // not a regular file"): the description names the path and the reason.
    FileAccessError(int number, int systemError, const std::string& path, std::string reason);
    int systemError() const noexcept { return systemError_; }
    // The reason given, or else the system's text for the cause, such as "No
    // space left on device".
    std::string cause() const;

private:
    int systemError_;
    std::string reason_;
};

// The system's text for an error code.
std::string systemCause(int systemError);

} // namespace pomlets
