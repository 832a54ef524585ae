// The ways out that the player did not choose: a signal (SIGTERM, SIGHUP,
// SIGINT) leaves as Quit does, in the main window, in a box and in a game,
// and a lost display saves the player's files and ends at once. Each runs in
// a child process of its own, since each ends the program.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>

#include "datafiles/player_files.h"
#include "frontend/leaving.h"
#include "frontend_fixture.h"
#include "platform/process_guard.h"
#include "support/text_lines.h"
#include "support/platform_port.h"

namespace pomlets::testing {
namespace {

class LeavingTest : public FrontendTest {
protected:
    // What the exit steps leave on disk, one line each, to stderr.
    void tellWhatWasKept() {
        const auto log = linesOfFile(folder->file("log.txt"));
        if (!log.empty() && log.back().rfind("LOG CLOSED ON ", 0) == 0) std::fprintf(stderr, "log closed\n");
        resetSharedState();
        loadProfile();
        if (credits == 77) std::fprintf(stderr, "profile saved\n");
        loadHighScores();
        bool named = true;
        for (const auto& entry : highScores) named = named && entry.name == "Nobody";
        if (named) std::fprintf(stderr, "no unnamed score\n");
        std::fflush(stderr);
    }

    // The main window started and shown, with changes since the last save
    // and a table that any score enters.
    FMain& startWithChanges() {
        FMain& w = start();
        w.show();
        credits = 77;
        for (auto& entry : highScores) entry = {"Nobody", 0};
        return w;
    }
};

TEST_F(LeavingTest, SignalsLeaveAsQuitDoes) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signal);
        EXPECT_EXIT(
            {
                startWithChanges();
                watchForLeaving();
                // A second signal changes nothing of the way out.
                QTimer::singleShot(0, [signal] {
                    ::raise(signal);
                    ::raise(signal);
                });
                std::fprintf(stderr, "ended %d\n", QApplication::exec());
                tellWhatWasKept();
                std::_Exit(0);
            },
            ::testing::ExitedWithCode(0), "ended 0\nlog closed\nprofile saved\nno unnamed score\n$");
    }
}

TEST_F(LeavingTest, SignalClosesAnOpenBoxUnanswered) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            startWithChanges();
            watchForLeaving();
            setMessageBoxResponder(nullptr);
            QTimer::singleShot(0, [] {
                QTimer::singleShot(0, [] { ::raise(SIGTERM); });
                msgBox("A box that nobody answers.");
                std::fprintf(stderr, "box closed\n");
                // Any box after the signal is not shown at all.
                setInputBoxResponder(nullptr);
                msgBox("Another box.");
                if (inputBox("A name?").empty()) std::fprintf(stderr, "nothing asked\n");
            });
            std::fprintf(stderr, "ended %d\n", QApplication::exec());
            tellWhatWasKept();
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "box closed\nnothing asked\nended 0\nlog closed\nprofile saved\n");
}

TEST_F(LeavingTest, SignalEndsAGameAsEscapeAndAsksNoName) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            FMain& w = startWithChanges();
            w.tMode->setCurrentIndex(w.tMode->findText("Freestyle"));
            watchForLeaving();
            QTimer pass;
            pass.setInterval(0);
            bool raised = false;
            QObject::connect(&pass, &QTimer::timeout, [&] {
                if (raised || !w.gameRunning() || !ddraw) return;
                raised = true;
                ::raise(SIGTERM);
            });
            pass.start();
            QTimer::singleShot(0, [&] { w.main_BtnRun->click(); });
            const int status = QApplication::exec();
            bool asked = false;
            for (const auto& box : shownBoxes()) asked = asked || box.input;
            if (!asked && raised) std::fprintf(stderr, "no name asked\n");
            std::fprintf(stderr, "ended %d\n", status);
            tellWhatWasKept();
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "no name asked\nended 0\nlog closed\nprofile saved\nno unnamed score\n$");
}

TEST_F(LeavingTest, LostDisplaySavesTheFilesAndEndsAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            startWithChanges();
            // The program leaves at once: what it kept is read by a second
            // process once it has gone.
            const pid_t child = ::fork();
            if (child == 0) {
                watchForLeaving();
                qWarning("The X11 connection broke (error 1). Did the X11 server die?");
                std::_Exit(3);
            }
            int status = 0;
            ::waitpid(child, &status, 0);
            if (WIFEXITED(status)) std::fprintf(stderr, "left with %d\n", WEXITSTATUS(status));
            tellWhatWasKept();
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "left with 1\nlog closed\nprofile saved\nno unnamed score\n$");
}

} // namespace
} // namespace pomlets::testing
