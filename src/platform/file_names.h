// Names read from data files that become part of a path: a picture name, a
// theme, a music track. Such a name must name a file within its own folder.
#pragma once

#include <string_view>

namespace pomlets {

// True when the name is a single file name: not empty, no "/" or "\",
// no "..", no control character.
bool isPlainFileName(std::string_view name);
// Raises Bad file name or number (52), naming the text, when it is not.
void requirePlainFileName(std::string_view name);

} // namespace pomlets
