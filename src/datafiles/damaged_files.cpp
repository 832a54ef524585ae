#include "datafiles/damaged_files.h"

#include "platform/program_files.h"

namespace pomlets {

std::string keepDamagedCopy(const std::string& relative) {
    std::string name = relative;
    for (char& c : name)
        if (c == '\\') c = '/';
    while (!name.empty() && name.front() == '/') name.erase(0, 1);
    name += ".damaged";
    try {
        const std::string bytes = readProgramFile(appPath(relative), FileKind::DataFile);
        TextFile copy(appPath(name), TextFile::Mode::Replace);
        copy.write(bytes);
        copy.close();
    } catch (const RuntimeError&) {
        return {};
    }
    return name;
}

} // namespace pomlets
