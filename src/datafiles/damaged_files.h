// Data files that could not be read whole. Such a file is never written over
// before a byte-exact copy of it is kept beside it, "<file>.damaged", and the
// player is told.
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

// Keeps a copy of the data file (relative to the program folder, "\init\6095")
// beside it: "<file>.damaged", or where a copy of other bytes has that name
// already, "<file>.damaged.2", ".3" and on; a copy that holds the same bytes
// already is the copy. A new copy counts only once it has been written to the
// disk and read back the same. Returns the copy's relative name
// ("init/6095.damaged"); raises when the file cannot be read or no copy can
// be made.
// With every name up to ".damaged.99" taken by other bytes, the refusal's
// cause says so and that moving the copies away lets saving go on.
std::string keepDamagedCopy(const std::string& relative);

// The most copies kept of one file.
inline constexpr int keptCopiesMost = 99;

} // namespace pomlets
