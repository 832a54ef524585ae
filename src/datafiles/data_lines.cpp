#include "datafiles/data_lines.h"

#include <algorithm>
#include <cerrno>

#include "datafiles/scratch_file.h"
#include "platform/file_calls.h"

namespace pomlets {

bool DataLines::isDamaged(size_t index) const {
    return std::any_of(damaged.begin(), damaged.end(), [&](const DamagedLine& d) { return d.index == index; });
}

DataLines readDataLines(const std::string& dataFile) {
    DataLines lines;
    const std::string path = appPath(dataFile);
    ScratchFile temp;
    try {
        lines.damaged = decryptReadable(path, temp.path());
    } catch (const RuntimeError& error) {
        // Only a file that is not there holds nothing: any other failure
        // leaves its bytes unknown.
        struct stat info{};
        if (error.number() == err::FileNotFound && fileCalls().lstat(path.c_str(), &info) != 0 && errno == ENOENT)
            return lines;
        throw;
    }
    TextFile in(temp.path(), TextFile::Mode::Input);
    while (!in.eof()) lines.plain.push_back(in.readLine());
    in.close();
    lines.present = true;
    return lines;
}

void writeDataLines(const std::string& dataFile, const std::vector<std::string>& plain,
                    const std::vector<DamagedLine>& damaged) {
    ScratchFile temp;
    TextFile out(temp.path(), TextFile::Mode::Replace);
    for (const auto& line : plain) out.writeLine(line);
    out.flush();  // a write that cannot be completed fails here, before anything is replaced
    out.close();
    encryptFile(temp.path(), appPath(dataFile), damaged);
}

} // namespace pomlets
