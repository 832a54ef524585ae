// Set-up without a display and without an audio device. SDL picks its drivers
// once per process, so each case runs this test program again as a child with
// the environment it needs, and the child checks what happens.
#include <gtest/gtest.h>

#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/brains.h"
#include "display/assets.h"
#include "display/game_window.h"
#include "display_game.h"
#include "frontend/fmain.h"
#include "platform/bass.h"
#include "platform/runtime.h"
#include "platform/win32.h"
#include "support/sound_watch.h"

extern char** environ;

namespace pomlets::testing {
namespace {

constexpr const char* childMarker = "POMLETS_DISPLAY_CHILD";

bool inChild() { return std::getenv(childMarker) != nullptr; }

// Runs one test of this program in a child process with extra environment;
// returns its exit status.
int runChild(const std::string& test, const std::vector<std::string>& environment) {
    std::vector<std::string> env = environment;
    env.push_back(std::string(childMarker) + "=1");
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        bool replaced = false;
        for (const std::string& own : environment)
            if (entry.substr(0, entry.find('=')) == own.substr(0, own.find('='))) replaced = true;
        if (!replaced) env.push_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = "/proc/self/exe";
    std::string filter = "--gtest_filter=" + test;
    char* argv[] = {program.data(), filter.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class SetUpFailureTest : public DisplayGameTest {};

TEST_F(SetUpFailureTest, NoDisplayIsLoggedGivenBackAndReported) {
    if (!inChild()) {
        EXPECT_EQ(runChild("SetUpFailureTest.NoDisplayIsLoggedGivenBackAndReported", {"SDL_VIDEODRIVER=no-such-display"}),
                  0);
        return;
    }
    // The window itself cannot be opened: a clear error, nothing else happens.
    try {
        fConsole().Show();
        ADD_FAILURE() << "a window without a display";
    } catch (const RuntimeError& e) {
        EXPECT_NE(std::string(e.what()).find("The game window could not be opened"), std::string::npos) << e.what();
    }
    endGame = false;
    try {
        initDX();
        ADD_FAILURE() << "a display set up without a display";
    } catch (const RuntimeError& e) {
        EXPECT_NE(std::string(e.what()).find("The game display could not be set up"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(ddraw);
    EXPECT_FALSE(dx);
    EXPECT_TRUE(cursorVisible());
    EXPECT_FALSE(musicOutputState().open);
    EXPECT_FALSE(fConsole().loaded());
    EXPECT_TRUE(endGame);
    const std::vector<std::string> texts = logTexts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "initDX - getting screen resolution");
    EXPECT_EQ(texts[1], "initDX - initializing directdraw");
    EXPECT_EQ(texts[2].rfind("initDX - failed: ", 0), 0u) << texts[2];
    // The Play command's tear-down after it finds nothing to give back.
    destroy();
    EXPECT_EQ(logTexts().size(), 3u);
}

TEST_F(SetUpFailureTest, NoAudioDeviceRunsTheGameSilentAndSaysSo) {
    if (!inChild()) {
        EXPECT_EQ(runChild("SetUpFailureTest.NoAudioDeviceRunsTheGameSilentAndSaysSo", {"SDL_AUDIODRIVER=no-such-audio"}),
                  0);
        return;
    }
    startGame();
    EXPECT_FALSE(musicOutputOpen);
    EXPECT_FALSE(cursorVisible());
    std::vector<std::string> expected = initDXLines();
    expected.push_back(noAudioLogText);
    EXPECT_EQ(logTexts(), expected);
    // The sound effects load and play without a sound.
    DSBUFFERDESC desc = soundBufferDesc;
    WAVEFORMATEX format = waveFormat;
    const SoundRef pop = dsound->CreateSoundBufferFromFile(appPath("\\sounds\\_pop01.wav"), desc, format);
    pop->Play(0);
    endTheGame();
    EXPECT_TRUE(cursorVisible());
}

} // namespace
} // namespace pomlets::testing
