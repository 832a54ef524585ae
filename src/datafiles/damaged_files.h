// Data files that could not be read whole. Such a file is never written over
// with what the program failed to read: a copy of it is kept beside it first,
// "<file>.damaged", and the player is told.
#pragma once

#include <string>

#include "platform/runtime.h"

namespace pomlets {

// A load that kept what it could read of a data file and stopped at a fault
// of the file itself: carries the first error met and the name of the copy
// kept (relative to the program folder, "init/6095.damaged"; empty when no
// copy could be made).
class DamagedFileError : public RuntimeError {
public:
    DamagedFileError(const RuntimeError& cause, std::string copy)
        : RuntimeError(cause.number(), cause.description()), copy_(std::move(copy)) {}
    const std::string& copy() const noexcept { return copy_; }

private:
    std::string copy_;
};

// Copies the data file (relative to the program folder, "\init\6095") to
// "<file>.damaged" beside it, replacing an older copy. Returns the copy's
// relative name, or an empty text when the file is missing or the copy could
// not be written.
std::string keepDamagedCopy(const std::string& relative);

} // namespace pomlets
