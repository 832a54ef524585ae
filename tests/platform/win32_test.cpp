// The Windows calls: the settable clock, the cursor count, opening only web
// and mail addresses, starting a program detached, and Qt's pending events.
#include <QTimer>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "media_files.h"
#include "platform/win32.h"
#include "support/file_faults.h"
#include "support/program_folder.h"
#include "support/settable_clock.h"
#include "support/platform_port.h"

namespace pomlets {
namespace {

using testing::advanceTickCount;
using testing::setTickCount;

TEST(TickCountTest, RunsFreezesAndMovesOn) {
    const int32_t a = GetTickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GE(GetTickCount() - a, 15);
    setTickCount(1000);
    EXPECT_EQ(GetTickCount(), 1000);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(GetTickCount(), 1000);
    advanceTickCount(150);
    EXPECT_EQ(GetTickCount(), 1150);
    setTickCount(std::nullopt);
    const int32_t running = GetTickCount();
    EXPECT_GE(running, 1150);
    EXPECT_LT(running, 1150 + 1000);  // runs on from where it stood
    advanceTickCount(500);
    EXPECT_GE(GetTickCount(), running + 500);
}

TEST(CursorTest, CountsLikeTheDisplayCount) {
    ASSERT_TRUE(cursorVisible());
    EXPECT_EQ(ShowCursor(false), -1);
    EXPECT_FALSE(cursorVisible());
    EXPECT_EQ(ShowCursor(false), -2);
    EXPECT_EQ(ShowCursor(true), -1);
    EXPECT_FALSE(cursorVisible());
    EXPECT_EQ(ShowCursor(true), 0);
    EXPECT_TRUE(cursorVisible());
}

TEST(ShellTest, OnlyWebAndMailAddressesAreOpened) {
    std::vector<std::string> opened;
    setShellRecorder([&](const std::string& target) { opened.push_back(target); });
    const struct { const char* operation; const char* target; bool opens; } cases[] = {
        {"open", "http://www.example.com/band", true},
        {"open", "https://example.org", true},
        {"open", "mailto:someone@example.com", true},
        {"OPEN", "HTTP://EXAMPLE.COM", true},
        {"open", "file:///etc/passwd", false},
        {"open", "/usr/bin/xterm", false},
        {"open", "C:\\Windows\\notepad.exe", false},
        {"open", "", false},
        {"open", "javascript:alert(1)", false},
        {"open", "http://example.com/\nrm -rf", false},
        {"print", "http://example.com", false},
        {"", "http://example.com", false},
        // Web addresses: a scheme, "//", a host, then only what an address may hold.
        {"open", "http:--help", false},
        {"open", "http:", false},
        {"open", "http://", false},
        {"open", "http:///etc/passwd", false},
        {"open", "http://a b", false},
        {"open", "http://a\tb", false},
        {"open", "http://example.com/a b", false},
        {"open", "http://example.com/\x7f", false},
        {"open", "http://example.com/caf\xe9", false},
        {"open", "http://example.com/\"quoted\"", false},
        {"open", "http://example.com/<x>", false},
        {"open", "http://example.com\\x", false},
        {"open", "http://user@example.com/", false},
        {"open", "http://-example.com/", false},
        {"open", "http://example-.com/", false},
        {"open", "http://example..com/", false},
        {"open", "http://.example.com/", false},
        {"open", "http://example.com./", false},
        {"open", "http://example.com:/", false},
        {"open", "http://example.com:123456/", false},
        {"open", "http://example.com%2f@x/", false},
        {"open", "http://example.com/%zz", false},
        {"open", "http://example.com/%4", false},
        {"open", "ftp://example.com/", false},
        {"open", "httpx://example.com/", false},
        {"open", " http://example.com/", false},
        {"open", "http://example.com:8080/a-b_c.d~e/f?g=h&i=j;k#l", true},
        {"open", "https://www.example.com/brackwater/%41", true},
        {"open", "http://127.0.0.1", true},
        {"open", "https://x", true},
        {"open", "http://example.com?q", true},
        {"open", "http://example.com#top", true},
        // Mail: one plain address and nothing after it.
        {"open", "mailto:x@example.com?attach=/etc/passwd", false},
        {"open", "mailto:x@example.com?subject=hi", false},
        {"open", "mailto:x@example.com,y@example.com", false},
        {"open", "mailto:x@example.com&attach=/etc/passwd", false},
        {"open", "mailto:x%3Fattach=/etc/passwd@example.com", false},
        {"open", "mailto:x@example.com/", false},
        {"open", "mailto:@example.com", false},
        {"open", "mailto:x@", false},
        {"open", "mailto:x", false},
        {"open", "mailto:", false},
        {"open", "mailto:x y@example.com", false},
        {"open", "mailto:.x@example.com", false},
        {"open", "mailto:x.@example.com", false},
        {"open", "mailto:x..y@example.com", false},
        {"open", "mailto:x@y@example.com", false},
        {"open", "mailto:--help@example.com", true},
        {"open", "MAILTO:First.Last+band@mail.example.org", true},
    };
    for (const auto& c : cases) {
        const int32_t result = ShellExecuteA(nullptr, c.operation, c.target, "", "", 1);
        EXPECT_EQ(result > 32, c.opens) << c.operation << " " << c.target;
    }
    std::vector<std::string> expected;
    for (const auto& c : cases)
        if (c.opens) expected.push_back(c.target);
    EXPECT_EQ(opened, expected);
    setShellRecorder(nullptr);
}

// Its checks go through the file calls: one that fails starts nothing.
TEST(StartProgramTest, AFailingCheckStartsNothing) {
    testing::TempProgramFolder folder;
    const std::string script = folder.file("manual");
    testing::writeBytes(script, "#!/bin/sh\n");
    ::chmod(script.c_str(), 0755);
    for (const long call : {1L, 2L}) {  // what the file is, then whether it may run
        const testing::FileFaults faults({testing::FaultKind::Error, EACCES, call, false, "manual"});
        EXPECT_FALSE(startProgram(script)) << "call " << call;
        EXPECT_TRUE(faults.reached()) << "call " << call;
    }
}

TEST(StartProgramTest, StartsDetachedInItsFolder) {
    // A folder named in Latin-1 bytes, no UTF-8 text, holds the program all the same.
    for (const char* prefix : {"pomlets-test-", "pomlets-test-latin1-\351-"}) {
        SCOPED_TRACE(prefix);
        testing::TempProgramFolder folder(testing::Storage::Memory, prefix);
        EXPECT_FALSE(startProgram(folder.file("manual")));
        const std::string script = folder.file("manual");
        // The program runs in its own folder and finishes only once the test lets it:
        // a start that waited for it would never come back.
        testing::writeBytes(script, "#!/bin/sh\ntouch started\nwhile [ ! -e release ]; do sleep 0.02; done\ntouch finished\n");
        EXPECT_FALSE(startProgram(script));  // not executable
        ::chmod(script.c_str(), 0755);
        EXPECT_FALSE(startProgram(folder.path()));  // a folder
        ASSERT_TRUE(startProgram(script));
        EXPECT_FALSE(std::filesystem::exists(folder.file("finished"))) << "does not wait";
        const auto waitFor = [&](const char* name) {
            for (int i = 0; i < 1000; ++i) {
                if (std::filesystem::exists(folder.file(name))) return true;
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            return false;
        };
        EXPECT_TRUE(waitFor("started"));
        testing::writeBytes(folder.file("release"), "");
        EXPECT_TRUE(waitFor("finished"));
    }
}

TEST(PendingEventsTest, QtEventsAreProcessedToo) {
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    for (int i = 0; i < 20 && !fired; ++i) processPendingEvents();
    EXPECT_TRUE(fired);
}

} // namespace
} // namespace pomlets
