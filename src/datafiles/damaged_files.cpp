#include "datafiles/damaged_files.h"

#include <fstream>
#include <sstream>

namespace pomlets {

std::string keepDamagedCopy(const std::string& relative) {
    std::string name = relative;
    for (char& c : name)
        if (c == '\\') c = '/';
    while (!name.empty() && name.front() == '/') name.erase(0, 1);
    name += ".damaged";
    std::ifstream in(appPath(relative), std::ios::binary);
    if (!in) return {};
    std::ostringstream bytes;
    bytes << in.rdbuf();
    try {
        TextFile copy(appPath(name), TextFile::Mode::Replace);
        copy.write(bytes.str());
        copy.close();
    } catch (const RuntimeError&) {
        return {};
    }
    return name;
}

} // namespace pomlets
