// The lines of a text, a file or a stream, without their line ends (LF or
// CR LF): what tests compare when they read back the files a game wrote.
#pragma once

#include <fstream>
#include <istream>
#include <sstream>
#include <string>
#include <vector>

namespace pomlets::testing {

inline std::vector<std::string> linesOf(std::istream& in) {
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

inline std::vector<std::string> linesOfText(const std::string& text) {
    std::istringstream in(text);
    return linesOf(in);
}

// No lines when the file cannot be read.
inline std::vector<std::string> linesOfFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return linesOf(in);
}

// The bytes of a file as they are; empty when it cannot be read.
inline std::string bytesOfFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

} // namespace pomlets::testing
