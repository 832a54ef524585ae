// The plain scratch file "\temp" through which every scrambled data file is
// read and written. It lives only while one operation runs: the object
// deletes it when the operation ends, also when the operation fails.
#pragma once

#include <string>

namespace pomlets {

class ScratchFile {
public:
    ScratchFile();
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // "<program folder>/temp".
    const std::string& path() const { return path_; }
    // Deletes the file now; raises File not found (53) when it is not there.
    void remove();

private:
    std::string path_;
};

} // namespace pomlets
