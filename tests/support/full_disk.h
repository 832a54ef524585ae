// A disk that takes no more bytes, for the lifetime of the object: every
// write that would make a file of this process larger fails (EFBIG), as on a
// full disk. Files already written stay readable; pipes and terminals are
// not affected.
#pragma once

#include <csignal>
#include <sys/resource.h>

namespace pomlets::testing {

class FullDisk {
public:
    FullDisk() {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = saved_;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

} // namespace pomlets::testing
