// Scrambles or unscrambles one data file with the game's own key tables, so
// that the end-to-end test can prepare and check the program folder's files.
// Usage: e2e_datafile encrypt|decrypt <source> <destination>
#include <cstdio>
#include <cstring>
#include <exception>

#include "datafiles/scrambler.h"

int main(int argc, char** argv) {
    if (argc != 4 || (std::strcmp(argv[1], "encrypt") != 0 && std::strcmp(argv[1], "decrypt") != 0)) {
        std::fprintf(stderr, "usage: %s encrypt|decrypt <source> <destination>\n", argv[0]);
        return 2;
    }
    try {
        pomlets::initCipherTables(79, 94, 709);
        if (std::strcmp(argv[1], "encrypt") == 0)
            pomlets::encryptFile(argv[2], argv[3]);
        else
            pomlets::decryptFile(argv[2], argv[3]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    return 0;
}
