// A scratch copy of the program folder for tests that write files: the data
// files are copied, the large asset folders are linked. The game's program
// folder points at the copy while the object lives.
#pragma once

#include <string>

namespace pomlets::testing {

class TempProgramFolder {
public:
    // The copy's folder name begins with `prefix`, bytes as they are: a
    // test may name it in any encoding the system allows.
    explicit TempProgramFolder(const std::string& prefix = "pomlets-test-");
    ~TempProgramFolder();
    TempProgramFolder(const TempProgramFolder&) = delete;
    TempProgramFolder& operator=(const TempProgramFolder&) = delete;

    const std::string& path() const { return path_; }
    // The path of a file in the copy ("\init\6095" or "init/6095").
    std::string file(const std::string& relative) const;
    // Writes a plain text file into the copy (lines joined with CR LF).
    void writeText(const std::string& relative, const std::string& contents) const;
    std::string readText(const std::string& relative) const;
    // Makes a linked folder of the copy ("images/ui", "themes/Cells") its
    // own, with a link to each file in it, so that a file there can be
    // replaced without touching the built program folder.
    void ownFolder(const std::string& relative) const;

private:
    std::string path_;
    std::string previous_;
};

} // namespace pomlets::testing
