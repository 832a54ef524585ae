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
    try {
        TextFile in(appPath(relative), TextFile::Mode::Input);
        const std::string bytes = in.readAll();
        in.close();
        TextFile copy(appPath(name), TextFile::Mode::Replace);
        copy.write(bytes);
        copy.close();
    } catch (const RuntimeError&) {
        return {};
    }
    return name;
}

} // namespace pomlets
