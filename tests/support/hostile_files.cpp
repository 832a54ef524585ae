#include "support/hostile_files.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace pomlets::testing {

namespace {

namespace fs = std::filesystem;

// A regular file under /proc that reports 0 bytes: 8 bytes for every page of
// the address space.
constexpr const char* lyingFile = "/proc/self/pagemap";

void startWriter(const std::string& path) {
    // Left to itself: a writer that no reader releases ends with the tests.
    std::thread([path] {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd >= 0) ::close(fd);
    }).detach();
}

// A reader opened without blocking lets a writer still waiting on the FIFO go.
void releaseWriter(const std::string& fifo) {
    const int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) ::close(fd);
}

} // namespace

std::vector<HostileFile> hostileFiles() {
    std::vector<HostileFile> kinds = {HostileFile::Fifo,   HostileFile::LinkToZero, HostileFile::LinkToRandom,
                                      HostileFile::Folder, HostileFile::Socket,     HostileFile::Oversized};
    const int probe = ::open(lyingFile, O_RDONLY | O_CLOEXEC);
    if (probe >= 0) {
        char byte;
        if (::read(probe, &byte, 1) == 1) kinds.push_back(HostileFile::LyingSize);
        ::close(probe);
    }
    return kinds;
}

const char* nameOf(HostileFile kind) {
    switch (kind) {
    case HostileFile::Fifo: return "a FIFO";
    case HostileFile::LinkToZero: return "a link to /dev/zero";
    case HostileFile::LinkToRandom: return "a link to /dev/urandom";
    case HostileFile::Folder: return "a folder";
    case HostileFile::Socket: return "a socket";
    case HostileFile::Oversized: return "a 65 MB file";
    case HostileFile::LyingSize: return "a link to /proc/self/pagemap";
    }
    return "?";
}

void putHostile(const std::string& path, HostileFile kind) {
    // Never through a linked folder: that would change the built program folder.
    const fs::path folder = fs::absolute(path).parent_path();
    if (fs::canonical(folder) != folder.lexically_normal())
        throw std::runtime_error("not a folder of the copy's own: " + folder.string());
    std::error_code ignored;
    if (fs::is_fifo(fs::symlink_status(path, ignored))) releaseWriter(path);
    fs::remove_all(path, ignored);
    bool made = false;
    switch (kind) {
    case HostileFile::Fifo:
        made = ::mkfifo(path.c_str(), 0644) == 0;
        if (made) startWriter(path);
        break;
    case HostileFile::LinkToZero: made = ::symlink("/dev/zero", path.c_str()) == 0; break;
    case HostileFile::LinkToRandom: made = ::symlink("/dev/urandom", path.c_str()) == 0; break;
    case HostileFile::LyingSize: made = ::symlink(lyingFile, path.c_str()) == 0; break;
    case HostileFile::Folder: made = fs::create_directory(path, ignored); break;
    case HostileFile::Socket: {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (path.size() >= sizeof address.sun_path) throw std::runtime_error("socket path too long: " + path);
        path.copy(address.sun_path, path.size());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        made = fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        if (fd >= 0) ::close(fd);
        break;
    }
    case HostileFile::Oversized: {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        made = fd >= 0 && ::ftruncate(fd, (off_t{65} << 20) + 1) == 0;
        if (fd >= 0) ::close(fd);
        break;
    }
    }
    if (!made) throw std::runtime_error(std::string("cannot put ") + nameOf(kind) + " at " + path);
}

} // namespace pomlets::testing
