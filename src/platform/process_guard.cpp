#include "platform/process_guard.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/start_values.h"

namespace pomlets {

namespace {

struct HeldLock {
    std::string folder;
    int fd = -1;
};

HeldLock& heldLock() {
    static HeldLock held;
    POMLETS_LOCAL_RESTORED_BY(held, unlockProgramFolder);
    return held;
}

} // namespace

int lockProgramFolder(const std::string& folder) {
    HeldLock& held = heldLock();
    if (held.fd >= 0 && held.folder == folder) return 0;
    unlockProgramFolder();
    const std::string path = folder + "/" + folderLockName;
    // Read-only: a lock file that another player of a shared folder made is
    // locked as well as one's own. O_CLOEXEC: the help viewer and the web
    // browser, started from the game, do not inherit the lock.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd < 0) return errno;
    struct stat info{};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return EEXIST;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int cause = errno;
        ::close(fd);
        if (cause == ENOLCK || cause == EOPNOTSUPP || cause == EINVAL) return 0;
        return cause;
    }
    held = {folder, fd};
    return 0;
}

void unlockProgramFolder() {
    HeldLock& held = heldLock();
    if (held.fd >= 0) ::close(held.fd);
    held = {};
}

void ignoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

} // namespace pomlets
