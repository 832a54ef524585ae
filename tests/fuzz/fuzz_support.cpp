#include "fuzz_support.h"

#include <QApplication>
#include <cstdlib>
#include <fstream>
#include <filesystem>
#include <unistd.h>

#include "datafiles/scrambler.h"
#include "frontend/message_box.h"
#include "frontend/startup.h"
#include "support/platform_port.h"

namespace pomlets::fuzz {

namespace fs = std::filesystem;

void setUp() {
    static bool done = false;
    if (done) return;
    done = true;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    // In memory where it can be: the savers' flushes to disk would slow every input.
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string folder = (base / "pomlets-fuzz-XXXXXX").string();
    if (!mkdtemp(folder.data())) std::abort();
    for (const char* sub : {"init", "levels", "images", "sounds", "music", "themes"}) fs::create_directories(fs::path(folder) / sub);
    setProgramFolder(folder);
    buildKeyTables();
    installPlatformPort();
    setMessageBoxResponder([](const ShownBox&) { return MsgResult::Ok; });
    setInputBoxResponder([](const ShownBox&) { return std::string("fuzz"); });
    // The scratch folder goes when the fuzzer ends.
    static struct Remover {
        std::string path;
        ~Remover() {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } remover{folder};
}

std::string_view textOf(const uint8_t* data, size_t size) {
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

std::string writeFile(const std::string& relative, std::string_view bytes) {
    const std::string path = appPath(relative);
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

void writeScrambled(const std::string& relative, std::string_view plain) {
    const std::string source = writeFile("plain", plain);
    encryptFile(source, appPath(relative));
}

} // namespace pomlets::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pomlets::fuzz::setUp();
    return 0;
}
