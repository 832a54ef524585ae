// Scrambles plain data files into the program folder with the game's own
// scrambler and key tables.
// Usage: pomlets_scrambler <plain file> <scrambled file> [<plain file> <scrambled file>]...
#include <cstdio>
#include <filesystem>

#include "datafiles/scrambler.h"
#include "platform/runtime.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: %s <plain file> <scrambled file>...\n", argv[0]);
        return 2;
    }
    // The same key constants as the game's start-up.
    pomlets::initCipherTables(79, 94, 709);
    for (int i = 1; i + 1 < argc; i += 2) {
        try {
            const std::filesystem::path destination = argv[i + 1];
            std::filesystem::create_directories(destination.parent_path());
            pomlets::encryptFile(argv[i], destination.string());
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s: %s -> %s: %s\n", argv[0], argv[i], argv[i + 1], error.what());
            return 1;
        }
    }
    return 0;
}
