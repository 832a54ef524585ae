// Scrambles or unscrambles one data file with the game's own key tables, so
// that the end-to-end test can prepare and check the program folder's files.
// Usage: e2e_datafile encrypt|decrypt <source> <destination>
// The destination "-" is the standard output. The result is made in a
// folder of the tool's own and then written into the destination in place:
// a file there, or what a link there names, is written over, a device or a
// FIFO is written to. The tool removes nothing but the files it made itself.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "datafiles/scrambler.h"
#include "platform/program_files.h"
#include "platform/runtime.h"

namespace {

// The tool's own folder and the one file it makes there, removed at the end.
class OwnFolder {
public:
    OwnFolder() {
        const char* base = std::getenv("TMPDIR");
        path_ = std::string(base && *base ? base : "/tmp") + "/e2e-datafile-XXXXXX";
        if (!::mkdtemp(path_.data())) throw std::runtime_error("cannot make a folder of its own: " + path_);
    }
    ~OwnFolder() {
        ::unlink(result().c_str());
        ::rmdir(path_.c_str());
    }
    OwnFolder(const OwnFolder&) = delete;
    OwnFolder& operator=(const OwnFolder&) = delete;
    std::string result() const { return path_ + "/result"; }

private:
    std::string path_;
};

void writeAll(int fd, const std::string& bytes, const std::string& name) {
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) throw std::runtime_error("cannot write " + name + ": " + std::strerror(errno));
        done += static_cast<size_t>(wrote);
    }
}

void writeInPlace(const std::string& destination, const std::string& bytes) {
    if (destination == "-") {
        writeAll(STDOUT_FILENO, bytes, "the standard output");
        return;
    }
    // Opened, never replaced: a link is followed, a device or FIFO written to.
    const int fd = ::open(destination.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot open " + destination + ": " + std::strerror(errno));
    try {
        writeAll(fd, bytes, destination);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0) throw std::runtime_error("cannot write " + destination + ": " + std::strerror(errno));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4 || (std::strcmp(argv[1], "encrypt") != 0 && std::strcmp(argv[1], "decrypt") != 0)) {
        std::fprintf(stderr, "usage: %s encrypt|decrypt <source> <destination>\n", argv[0]);
        return 2;
    }
    try {
        pomlets::initCipherTables(79, 94, 709);
        std::string bytes;
        {
            const OwnFolder own;
            if (std::strcmp(argv[1], "encrypt") == 0)
                pomlets::encryptFile(argv[2], own.result());
            else
                pomlets::decryptFile(argv[2], own.result());
            bytes = pomlets::readProgramFile(own.result(), pomlets::FileKind::DataFile);
        }
        writeInPlace(argv[3], bytes);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    return 0;
}
