// Fails one system call of the file layer, or that call and every later one,
// with a chosen error, by putting failing entries into the table of file calls
// (platform/file_calls.h) while the object lives. Calls are counted from 1 in
// the order the game makes them (on one path only, when the fault names one); a short read counts only reads and a short
// write only writes, as only those calls can come back short.
#pragma once

#include <string>
#include <vector>

namespace pomlets::testing {

enum class FaultKind { Error, ShortRead, ShortWrite };

struct Fault {
    FaultKind kind = FaultKind::Error;
    int error = 0;          // errno of a failing call (FaultKind::Error)
    long call = 1;          // the first call that fails
    bool lasting = false;   // every later call fails too (a disk that stays full)
    // When set, only calls on paths that end in this text count (and the
    // reads, writes and closes of what was opened from them).
    std::string path;
};

class FileFaults {
public:
    explicit FileFaults(const Fault& fault);
    ~FileFaults();
    FileFaults(const FileFaults&) = delete;
    FileFaults& operator=(const FileFaults&) = delete;

    // The calls counted so far (of the kind the fault counts).
    long counted() const;
    // Whether the failing call was reached.
    bool reached() const { return counted() >= fault_.call; }
    // Every path that a call opened for writing, created, renamed or deleted.
    const std::vector<std::string>& changedPaths() const;

private:
    Fault fault_;
};

// The name of an errno value ("ENOSPC").
std::string errorName(int error);

} // namespace pomlets::testing
