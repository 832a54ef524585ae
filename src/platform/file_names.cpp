#include "platform/file_names.h"

#include <string>

#include "platform/runtime.h"

namespace pomlets {

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name.find("..") != std::string_view::npos) return false;
    for (const char c : name)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) return false;
    return true;
}

void requirePlainFileName(std::string_view name) {
    if (!isPlainFileName(name))
        throw RuntimeError(err::BadFileName, RuntimeError::textOf(err::BadFileName) + ": \"" + std::string(name) + "\"");
}

} // namespace pomlets
