// A program folder holding FIFOs, links to endless devices, folders, sockets
// or huge files where the game reads a file: start-up and a game go on or
// end as they do for a missing file, at once, with the usual message naming
// the file.
#include <filesystem>

#include "display/game_window.h"
#include "display/piece_table.h"
#include "frontend_fixture.h"
#include "platform/bass.h"
#include "support/hostile_files.h"
#include "support/platform_port.h"

namespace pomlets::testing {
namespace {

namespace fs = std::filesystem;

class HostileFolderTest : public FrontendTest {
protected:
    // A fresh copy of the program folder for each case.
    void freshFolder() {
        resetProgramState();
        setMessageBoxResponder([](const ShownBox&) { return MsgResult::Ok; });
        setInputBoxResponder([](const ShownBox&) { return std::string("Tess"); });
        setShellRecorder([](const std::string&) {});
        buildKeyTables();
        folder.reset();
        folder = std::make_unique<TempProgramFolder>();
    }

    // Plays Freestyle until Escape; true when a game ran.
    bool playFreestyle(FMain& w) {
        w.mNew->trigger();
        w.tMode->setCurrentIndex(w.tMode->findText("Freestyle"));
        sawGameRunning = false;
        playUntilEscape(w);
        return sawGameRunning;
    }
};

// What the box says of a file of the kind.
const char* reasonOf(HostileFile kind) {
    switch (kind) {
    case HostileFile::Fifo: return "a FIFO, not a regular file";
    case HostileFile::LinkToZero:
    case HostileFile::LinkToRandom: return "a character device, not a regular file";
    case HostileFile::Folder: return "a folder, not a regular file";
    case HostileFile::Socket: return "No such device or address";
    case HostileFile::Oversized:
    case HostileFile::LyingSize: return "more than a data file can hold";
    }
    return "";
}

TEST_F(HostileFolderTest, StartUpGoesOnWithoutEachUnreadableDataFile) {
    const struct {
        const char* file;
        const char* what;
    } cases[] = {
        {"init/6095", "Pomlets could not read the high-score table \"init/6095\" ("},
        {"init/6702", "Pomlets could not read the player profile \"init/6702\" ("},
        {"init/6859", "Pomlets could not read the list of bands ("},
        {"init/6537", "The list of Arcade levels \"init/6537\" could not be read (75, Path/File access error: "},
    };
    for (const auto& c : cases) {
        for (const HostileFile kind : hostileFiles()) {
            SCOPED_TRACE(std::string(c.file) + " as " + nameOf(kind));
            freshFolder();
            putHostile(folder->file(c.file), kind);
            ASSERT_TRUE(loadFMain());
            FMain& w = fMain();
            w.mNew->trigger();
            w.tMode->setCurrentIndex(w.tMode->findText("Arcade"));
            // (A folder in the profile's place also makes its save fail.)
            ASSERT_GE(shownBoxes().size(), 1u);
            // The box names the file and the reason it was refused.
            const std::string& text = shownBoxes()[0].text;
            EXPECT_EQ(text.rfind(c.what, 0), 0u) << text;
            EXPECT_NE(text.find(reasonOf(kind)), std::string::npos) << text;
            EXPECT_FALSE(fs::exists(folder->file("temp")));
            EXPECT_FALSE(fs::exists(folder->file(std::string(c.file) + ".damaged")));
        }
    }
}

TEST_F(HostileFolderTest, GameEndsWithTheUsualMessageForEachUnreadableFile) {
    const std::string pieceFile = std::string("init/") + pieceDefinitionFiles[3];
    const std::string plate = "themes/Cells/plate_0";
    const struct {
        std::vector<std::string> files;  // all of them replaced
        std::string named;               // the file the message names
    } cases[] = {
        {{"levels/2193"}, "the level file \"levels/2193\""},
        {{pieceFile}, pieceDefinitionFiles[3]},
        {{"sounds/_pop01.wav"}, "_pop01.wav"},
        {{"images/pointer.bmp"}, "pointer.bmp"},
        {{"images/loading.bmp"}, "loading.bmp"},
        {{plate + "1.bmp", plate + "2.bmp", plate + "3.bmp", plate + "4.bmp", plate + "5.bmp"}, "plate_0"},
    };
    for (const auto& c : cases) {
        for (const HostileFile kind : hostileFiles()) {
            SCOPED_TRACE(c.files[0] + " as " + nameOf(kind));
            freshFolder();
            ASSERT_TRUE(loadFMain());
            FMain& w = fMain();
            w.theme->setCurrentIndex(w.theme->findText("Cells"));
            clearShownBoxes();
            for (const std::string& file : c.files) {
                folder->ownFolder(fs::path(file).parent_path().string());
                putHostile(folder->file(file), kind);
            }
            playFreestyle(w);
            ASSERT_EQ(shownBoxes().size(), 1u);
            const std::string& text = shownBoxes()[0].text;
            EXPECT_NE(text.find("Path/File access error: "), std::string::npos) << text;
            EXPECT_NE(text.find(c.named), std::string::npos) << text;
            EXPECT_TRUE(w.isEnabled());
            EXPECT_FALSE(w.gameRunning());
            EXPECT_EQ(ddraw, nullptr);
            EXPECT_FALSE(fs::exists(folder->file("temp")));
        }
    }
}

TEST_F(HostileFolderTest, TracksThatAreNoFilesAreSkippedAndTheGamePlays) {
    for (const HostileFile kind : hostileFiles()) {
        SCOPED_TRACE(nameOf(kind));
        freshFolder();
        if (!BASS_Init(1, 44100, 0, nullptr, 0)) GTEST_SKIP() << "no music output";
        BASS_Free();
        folder->ownFolder("music");
        std::vector<std::string> tracks;
        for (const auto& track : fs::directory_iterator(folder->file("music"))) tracks.push_back(track.path().string());
        ASSERT_EQ(tracks.size(), 4u);
        for (const std::string& track : tracks) putHostile(track, kind);
        ASSERT_TRUE(loadFMain());
        FMain& w = fMain();
        clearShownBoxes();
        EXPECT_TRUE(playFreestyle(w));
        for (const ShownBox& box : shownBoxes()) EXPECT_TRUE(box.input) << box.text;
        EXPECT_TRUE(w.isEnabled());
    }
}

} // namespace
} // namespace pomlets::testing
