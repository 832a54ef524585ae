// Every read of a program-folder file goes through one checked read: a FIFO,
// a link to an endless device, a folder, a socket or a file larger than its
// kind can be is refused with the usual error naming the file, at once,
// whichever reader asks.
#include <QIcon>
#include <QString>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

#include "datafiles/damaged_files.h"
#include "datafiles/scrambler.h"
#include "error_of.h"
#include "frontend/artwork.h"
#include "frontend/fmain.h"
#include "media_files.h"
#include "platform/bass.h"
#include "platform/directx.h"
#include "platform/program_files.h"
#include "platform/runtime.h"
#include "support/hostile_files.h"
#include "support/program_folder.h"

namespace pomlets {
namespace {

using testing::errorOf;
using testing::HostileFile;

// What a reader made of the file: the error it raised ("53", "75"), "refused"
// for a reader that answers without an error, or "read".
using Reader = std::function<std::string(const std::string& path)>;

std::string outcome(const std::function<bool()>& read) {
    try {
        return read() ? "read" : "refused";
    } catch (const RuntimeError& e) {
        return std::to_string(e.number());
    }
}

struct ReaderCase {
    const char* name;
    Reader read;
    const char* refusal;  // what a refused file gives
};

std::vector<ReaderCase> readers(DirectDraw7& ddraw, DirectSound& dsound) {
    return {
        {"the checked read of a data file",
         [](const std::string& p) { return outcome([&] { return !readProgramFile(p, FileKind::DataFile).empty(); }); },
         "75"},
        {"the checked read of a picture",
         [](const std::string& p) { return outcome([&] { return !readProgramFile(p, FileKind::Picture).empty(); }); },
         "75"},
        {"the checked read of a sound",
         [](const std::string& p) { return outcome([&] { return !readProgramFile(p, FileKind::Sound).empty(); }); },
         "75"},
        {"the checked read of a music track",
         [](const std::string& p) { return outcome([&] { return !readProgramFile(p, FileKind::Music).empty(); }); },
         "75"},
        {"a sequential file opened for input",
         [](const std::string& p) {
             return outcome([&] {
                 TextFile file(p, TextFile::Mode::Input);
                 return !file.eof();
             });
         },
         "75"},
        {"the scrambler unscrambling it",
         [](const std::string& p) {
             return outcome([&] {
                 decryptFile(p, appPath("\\unscrambled"));
                 return true;
             });
         },
         "75"},
        {"the copy of a damaged file",
         [](const std::string& p) {
             return outcome([&] { return !keepDamagedCopy(p.substr(programFolder().size())).empty(); });
         },
         "75"},
        {"a picture made into a surface",
         [&ddraw](const std::string& p) {
             return outcome([&] {
                 DDSURFACEDESC2 desc;
                 return ddraw.CreateSurfaceFromFile(p, desc) != nullptr;
             });
         },
         "75"},
        {"a sound made into a buffer",
         [&dsound](const std::string& p) {
             return outcome([&] {
                 DSBUFFERDESC desc;
                 WAVEFORMATEX format;
                 return dsound.CreateSoundBufferFromFile(p, desc, format) != nullptr;
             });
         },
         "75"},
        {"a music track made into a stream",
         [](const std::string& p) {
             return outcome([&] {
                 const HSTREAM stream = BASS_StreamCreateFile(false, p, 0, 0, 0);
                 BASS_StreamFree(stream);
                 return stream != 0;
             });
         },
         "refused"},
        {"a picture of a window (the theme preview)",
         [](const std::string& p) {
             return outcome([&] {
                 ImageControl image;
                 return image.loadPicture(p);
             });
         },
         "refused"},
    };
}

class ProgramFilesTest : public ::testing::Test {
protected:
    testing::TempProgramFolder folder;
    DirectX7 dx;
    std::shared_ptr<DirectDraw7> ddraw = dx.DirectDrawCreate("");
    std::shared_ptr<DirectSound> dsound = dx.DirectSoundCreate("");
};

TEST_F(ProgramFilesTest, EveryReaderRefusesEveryFileThatIsNotARegularFileOfItsSize) {
    initCipherTables(79, 94, 709);
    const bool music = BASS_Init(1, 44100, 0, nullptr, 0);
    const std::string path = folder.file("hostile");
    for (const ReaderCase& reader : readers(*ddraw, *dsound)) {
        if (!music && std::string(reader.name).find("music track made") != std::string::npos) continue;
        // The reader does read a regular file, or finds it missing.
        ::unlink(path.c_str());
        EXPECT_EQ(reader.read(path), std::string(reader.refusal) == "refused" ? "refused" : "53") << reader.name;
        for (const HostileFile kind : testing::hostileFiles()) {
            testing::putHostile(path, kind);
            EXPECT_EQ(reader.read(path), reader.refusal) << reader.name << ", " << testing::nameOf(kind);
        }
    }
    EXPECT_FALSE(fileExists(folder.file("unscrambled")));
    if (music) BASS_Free();
}

TEST_F(ProgramFilesTest, TheErrorNamesTheFileAndWhyItIsRefused) {
    const std::string path = folder.file("hostile");
    const struct {
        HostileFile kind;
        FileKind read;
        const char* why;
    } cases[] = {
        {HostileFile::Fifo, FileKind::DataFile, "(a FIFO, not a regular file)"},
        {HostileFile::LinkToZero, FileKind::Sound, "(a character device, not a regular file)"},
        {HostileFile::Folder, FileKind::Picture, "(a folder, not a regular file)"},
        {HostileFile::Oversized, FileKind::Music, "(larger than 64 MB, more than a music track can hold)"},
        {HostileFile::Oversized, FileKind::DataFile, "(larger than 1 MB, more than a data file can hold)"},
    };
    for (const auto& c : cases) {
        testing::putHostile(path, c.kind);
        try {
            readProgramFile(path, c.read);
            ADD_FAILURE() << testing::nameOf(c.kind) << " was read";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), err::PathAccess);
            EXPECT_EQ(e.description(), "Path/File access error: " + path + " " + c.why);
        }
    }
    ::unlink(path.c_str());
    EXPECT_EQ(errorOf([&] { readProgramFile(path, FileKind::DataFile); }), err::FileNotFound);
}

TEST_F(ProgramFilesTest, EachKindIsReadWholeUpToItsCapAndNotAByteMore) {
    const std::string path = folder.file("sized");
    for (const FileKind kind : {FileKind::DataFile, FileKind::Picture, FileKind::Sound, FileKind::Music}) {
        const uint64_t cap = sizeCapOf(kind);
        for (const uint64_t size : {uint64_t{0}, uint64_t{1}, cap - 1, cap, cap + 1}) {
            // Sparse, with a mark in its last byte.
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
            if (size > 0) {
                ASSERT_EQ(::pwrite(fd, "!", 1, static_cast<off_t>(size - 1)), 1);
            }
            ::close(fd);
            if (size <= cap) {
                const std::string bytes = readProgramFile(path, kind);
                EXPECT_EQ(bytes.size(), size);
                if (size > 0) {
                    EXPECT_EQ(bytes.back(), '!') << size;
                }
            } else {
                EXPECT_EQ(errorOf([&] { readProgramFile(path, kind); }), err::PathAccess) << size;
            }
        }
    }
}

TEST_F(ProgramFilesTest, TheWindowIconsSkipWhatIsNotAFile) {
    folder.ownFolder("images/ui");
    ASSERT_FALSE(programIcon().isNull());
    for (const HostileFile kind : testing::hostileFiles()) {
        for (const char* name : {"icon48.png", "icon32.png", "icon16.png"})
            testing::putHostile(uiPicture(name), kind);
        EXPECT_TRUE(programIcon().isNull()) << testing::nameOf(kind);
    }
}

} // namespace
} // namespace pomlets
