// The lines of a scrambled data file, read and written through the scratch
// file "\temp", with the lines that could not be unscrambled kept as they
// stand, so that writing the file back loses none of them.
#pragma once

#include <string>
#include <vector>

#include "datafiles/scrambler.h"
#include "platform/runtime.h"

namespace pomlets {

struct DataLines {
    // False when there is no such file: nothing on disk to lose.
    bool present = false;
    // The plain lines; a line that could not be unscrambled is empty here.
    std::vector<std::string> plain;
    // The lines that could not be unscrambled, with their codes.
    std::vector<DamagedLine> damaged;

    bool isDamaged(size_t index) const;
};

// Reads the data file (relative to the program folder, "\init\6702"). A
// missing file gives present = false; a file whose bytes could not be read
// raises the error, with its system cause where there is one.
DataLines readDataLines(const std::string& dataFile);

// Writes the lines into the data file through "\temp": the plain lines
// scrambled, the damaged ones as they stood. The file is replaced only once
// the new one is whole.
void writeDataLines(const std::string& dataFile, const std::vector<std::string>& plain,
                    const std::vector<DamagedLine>& damaged);

} // namespace pomlets
