#include "datafiles/damaged_files.h"

#include <cerrno>
#include <fcntl.h>

#include "platform/file_calls.h"

namespace pomlets {

namespace {

std::string bytesOf(const std::string& path) {
    TextFile in(path, TextFile::Mode::Input);
    std::string bytes = in.readAll();
    in.close();
    return bytes;
}

// Creates the file (never over anything, never through a link), writes the
// bytes and forces them onto the disk.
void writeNew(const std::string& path, const std::string& bytes) {
    const int fd = fileCalls().open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) throw FileAccessError(err::PathAccess, errno);
    int cause = 0;
    for (size_t put = 0; put < bytes.size() && cause == 0;) {
        const ssize_t n = fileCalls().write(fd, bytes.data() + put, bytes.size() - put);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) cause = n == 0 ? ENOSPC : errno;
        else put += static_cast<size_t>(n);
    }
    if (cause == 0 && fileCalls().fsync(fd) != 0) cause = errno;
    if (fileCalls().close(fd) != 0 && cause == 0) cause = errno;
    if (cause != 0) throw FileAccessError(err::PathAccess, cause);
}

} // namespace

std::string keepDamagedCopy(const std::string& relative) {
    std::string base = relative;
    for (char& c : base)
        if (c == '\\') c = '/';
    while (!base.empty() && base.front() == '/') base.erase(0, 1);
    base += ".damaged";
    const std::string bytes = bytesOf(appPath(relative));
    for (int n = 1; n <= keptCopiesMost; ++n) {
        const std::string name = n == 1 ? base : base + "." + std::to_string(n);
        const std::string path = appPath(name);
        struct stat info{};
        if (fileCalls().lstat(path.c_str(), &info) == 0) {
            // An earlier copy: the same bytes are kept already; other bytes
            // are another damage, kept under its own number.
            if (S_ISREG(info.st_mode) && bytesOf(path) == bytes) return name;
            continue;
        }
        if (errno != ENOENT) throw FileAccessError(err::PathAccess, errno);
        try {
            writeNew(path, bytes);
            if (bytesOf(path) != bytes) throw FileAccessError(err::PathAccess, EIO);
        } catch (...) {
            fileCalls().unlink(path.c_str());
            throw;
        }
        return name;
    }
    // Every name is taken by a copy of other bytes: say so, and what helps.
    const std::string last = base + "." + std::to_string(keptCopiesMost);
    throw FileAccessError(err::PathAccess, EEXIST, appPath(relative),
                          "its folder holds " + std::to_string(keptCopiesMost) + " kept copies of the damaged file "
                          "already, \"" + base + "\" to \"" + last + "\"; moving them away lets saving go on");
}

} // namespace pomlets
