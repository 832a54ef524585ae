#include "support/program_folder.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

#include "platform/runtime.h"

namespace fs = std::filesystem;

namespace pomlets::testing {

fs::path scratchBase(Storage storage) {
    if (storage == Storage::Memory) {
        std::error_code ec;
        if (fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0) return "/dev/shm";
    }
    return fs::temp_directory_path();
}

TempProgramFolder::TempProgramFolder(Storage storage, const std::string& prefix) : previous_(programFolder()) {
    std::string pattern = (scratchBase(storage) / (prefix + "XXXXXX")).string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
    path_ = pattern;
    const fs::path data = POMLETS_DATA_DIR;
    for (const char* copied : {"init", "levels"}) {
        if (fs::exists(data / copied))
            fs::copy(data / copied, fs::path(path_) / copied, fs::copy_options::recursive);
        else
            fs::create_directories(fs::path(path_) / copied);
    }
    const fs::path source = POMLETS_PROGRAM_DIR;
    for (const char* linked : {"images", "sounds", "music", "themes"}) {
        if (fs::exists(source / linked)) fs::create_directory_symlink(source / linked, fs::path(path_) / linked);
    }
    setProgramFolder(path_);
}

TempProgramFolder::~TempProgramFolder() {
    setProgramFolder(previous_);
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TempProgramFolder::file(const std::string& relative) const {
    std::string rel = relative;
    for (char& c : rel)
        if (c == '\\') c = '/';
    while (!rel.empty() && rel.front() == '/') rel.erase(rel.begin());
    return (fs::path(path_) / rel).string();
}

void TempProgramFolder::writeText(const std::string& relative, const std::string& contents) const {
    const fs::path target = file(relative);
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary);
    out << contents;
}

std::string TempProgramFolder::readText(const std::string& relative) const {
    std::ifstream in(file(relative), std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void TempProgramFolder::ownFolder(const std::string& relative) const {
    fs::path at = path_;
    for (const auto& part : fs::path(file(relative)).lexically_relative(path_)) {
        at /= part;
        if (!fs::is_symlink(at)) continue;
        const fs::path target = fs::read_symlink(at);
        fs::remove(at);
        fs::create_directory(at);
        for (const auto& entry : fs::directory_iterator(target)) {
            if (entry.is_directory())
                fs::create_directory_symlink(entry.path(), at / entry.path().filename());
            else
                fs::create_symlink(entry.path(), at / entry.path().filename());
        }
    }
}

} // namespace pomlets::testing
