// A scratch copy of the program folder for tests that write files: the data
// files are copied as the build makes them (never from the built program
// folder, where a player's own progress may lie), the large asset folders are
// linked. The game's program folder points at the copy while the object lives.
#pragma once

#include <filesystem>
#include <string>

namespace pomlets::testing {

// Where a scratch folder lies: in memory, where the saves' waits for the disk
// cost nothing, or on a real file system, for a test about the disk itself
// (a save killed midway, a full disk).
enum class Storage { Memory, Disk };

// The folder that scratch folders of that storage are made in.
std::filesystem::path scratchBase(Storage storage = Storage::Memory);

class TempProgramFolder {
public:
    // The copy's folder name begins with `prefix`, bytes as they are: a
    // test may name it in any encoding the system allows.
    explicit TempProgramFolder(Storage storage = Storage::Memory, const std::string& prefix = "pomlets-test-");
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
