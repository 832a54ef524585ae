// One game per program folder, writes past a file-size limit, and the
// message of a folder that cannot take the game's files.
#include <QString>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "datafiles/player_files.h"
#include "frontend_fixture.h"
#include "platform/process_guard.h"
#include "support/file_faults.h"
#include "support/text_lines.h"
#include "support/platform_port.h"

namespace pomlets::testing {
namespace {

namespace fs = std::filesystem;

// Every file of the folder with its bytes and modification time.
std::map<std::string, std::pair<std::string, fs::file_time_type>> snapshot(const std::string& folder) {
    std::map<std::string, std::pair<std::string, fs::file_time_type>> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.is_symlink()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        files[entry.path().string()] = {bytes, entry.last_write_time()};
    }
    return files;
}

// Another process that takes the folder's lock and holds it until it is let
// go or killed.
class OtherGame {
public:
    explicit OtherGame(const std::string& folder) {
        int toParent[2], toChild[2];
        if (::pipe(toParent) != 0 || ::pipe(toChild) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(toParent[0]);
            ::close(toChild[1]);
            // A new program holds nothing yet: what this copy of the test
            // program holds stays with the test program.
            unlockProgramFolder();
            const char result = static_cast<char>(lockProgramFolder(folder));
            if (::write(toParent[1], &result, 1) != 1) ::_exit(2);
            char ignored;
            while (::read(toChild[0], &ignored, 1) > 0) {
            }
            ::_exit(0);
        }
        ::close(toParent[1]);
        ::close(toChild[0]);
        release_ = toChild[1];
        char result = -1;
        if (::read(toParent[0], &result, 1) != 1) result = -1;
        ::close(toParent[0]);
        lockResult_ = result;
    }
    ~OtherGame() { end(false); }

    int lockResult() const { return lockResult_; }
    // Ends the other game, by its own exit or killed; waits until it is gone.
    void end(bool kill) {
        if (pid_ <= 0) return;
        if (kill) ::kill(pid_, SIGKILL);
        ::close(release_);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    int lockResult_ = -1;
};

// A second process trying the folder's lock: its answer.
int lockFromAnotherProcess(const std::string& folder) {
    OtherGame other(folder);
    return other.lockResult();
}

class ProgramFolderGuardTest : public FrontendTest {};

TEST_F(ProgramFolderGuardTest, SecondGameInTheFolderStopsWithoutTouchingAFile) {
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "the first game killed" : "the first game ended");
        resetProgramState();
        setMessageBoxResponder([](const ShownBox&) { return MsgResult::Ok; });
        buildKeyTables();
        folder.reset();
        folder = std::make_unique<TempProgramFolder>();
        folder->writeText("log.txt", "the first game's log\r\n");
        OtherGame first(folder->path());
        ASSERT_EQ(first.lockResult(), 0);
        const auto before = snapshot(folder->path());

        EXPECT_FALSE(loadFMain());
        ASSERT_EQ(shownBoxes().size(), 1u);
        EXPECT_EQ(shownBoxes()[0].text,
                  "Pomlets is already running from its folder \"" + folder->path() +
                      "\".  Two games in one folder would write over each other's high scores and profile, so this "
                      "one does not start.  Please go on playing in the game that is running.");
        EXPECT_FALSE(logEnabled);
        EXPECT_EQ(snapshot(folder->path()), before);
        EXPECT_FALSE(fs::exists(folder->file("temp")));

        // Once the first game is gone, however it went, the folder is free.
        first.end(killed);
        clearShownBoxes();
        EXPECT_TRUE(loadFMain());
        EXPECT_TRUE(shownBoxes().empty()) << shownBoxes()[0].text;
        EXPECT_TRUE(logEnabled);
        // And now this game holds it against a third.
        EXPECT_EQ(lockFromAnotherProcess(folder->path()), EWOULDBLOCK);
        releaseFMain();
    }
}

TEST_F(ProgramFolderGuardTest, ProgramsStartedFromTheGameDoNotHoldItsLock) {
    ASSERT_TRUE(loadFMain());
    // A help viewer that runs until the test lets it end.
    const std::string manual = folder->file("manual");
    folder->writeText("manual",
                      "#!/bin/sh\ntouch started\nwhile [ ! -e release ]; do sleep 0.02; done\ntouch finished\n");
    ::chmod(manual.c_str(), 0755);
    fMain().mManual->trigger();
    for (int i = 0; i < 1000 && !fs::exists(folder->file("started")); ++i) ::usleep(10000);
    ASSERT_TRUE(fs::exists(folder->file("started")));
    EXPECT_EQ(lockFromAnotherProcess(folder->path()), EWOULDBLOCK);
    // The game ends; the viewer still runs, and another game may start.
    unlockProgramFolder();
    EXPECT_EQ(lockFromAnotherProcess(folder->path()), 0);
    folder->writeText("release", "");
    for (int i = 0; i < 1000 && !fs::exists(folder->file("finished")); ++i) ::usleep(10000);
    EXPECT_TRUE(fs::exists(folder->file("finished")));
}

TEST_F(ProgramFolderGuardTest, LockFileThatIsNoFileStopsTheStartWithAdvice) {
    const struct {
        std::function<void(const std::string&)> put;
        const char* cause;
        const char* advice;
    } cases[] = {
        {[](const std::string& p) { fs::create_directory(p); }, "Is a directory",
         "A folder named \"Pomlets.lock\" is in the way there: please move or rename it, then start Pomlets again."},
        {[](const std::string& p) { fs::create_symlink("/tmp/elsewhere", p); }, "Too many levels of symbolic links",
         "Something named \"Pomlets.lock\" that is not a plain file is in the way there"},
        {[](const std::string& p) { ::mkfifo(p.c_str(), 0644); }, "File exists",
         "Something named \"Pomlets.lock\" that is not a plain file is in the way there"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cause);
        resetProgramState();
        setMessageBoxResponder([](const ShownBox&) { return MsgResult::Ok; });
        folder.reset();
        folder = std::make_unique<TempProgramFolder>();
        c.put(folder->file(folderLockName));
        EXPECT_FALSE(loadFMain());
        ASSERT_EQ(shownBoxes().size(), 1u);
        EXPECT_NE(shownBoxes()[0].text.find(std::string(": ") + c.cause + "."), std::string::npos)
            << shownBoxes()[0].text;
        EXPECT_NE(shownBoxes()[0].text.find(c.advice), std::string::npos) << shownBoxes()[0].text;
        EXPECT_FALSE(fs::exists(folder->file("log.txt")));
        EXPECT_FALSE(fs::exists("/tmp/elsewhere"));
    }
}

// Another user's lock file (mode 600) in a folder anyone may write: the box
// names the lock file, the system's cause and its owner, and does not ask for
// a writable folder.
TEST_F(ProgramFolderGuardTest, AnotherUsersLockFileIsNamedWithItsCause) {
    const std::string lock = folder->file(folderLockName);
    std::ofstream(lock).put('\n');
    ::chmod(lock.c_str(), 0600);
    const bool asRoot = ::geteuid() == 0;
    if (asRoot) {
        EXPECT_EQ(::chown(lock.c_str(), 65534, 65534), 0);
    }
    // The refusal that an ordinary user meets there (the superuser would not).
    FileFaults refused({FaultKind::Error, EACCES, 1, false, folderLockName});
    EXPECT_FALSE(loadFMain());
    ASSERT_EQ(shownBoxes().size(), 1u);
    const std::string& text = shownBoxes()[0].text;
    EXPECT_NE(text.find("Pomlets cannot open its lock file \"" + lock + "\": " + std::strerror(EACCES) + "."),
              std::string::npos)
        << text;
    if (const passwd* owner = asRoot ? ::getpwuid(65534) : nullptr) {
        EXPECT_NE(text.find("The file belongs to the user \"" + std::string(owner->pw_name) + "\""), std::string::npos)
            << text;
    }
    EXPECT_NE(text.find("The file belongs to the user"), std::string::npos) << text;
    EXPECT_EQ(text.find("make the folder writable"), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(folder->file("log.txt")));
}

TEST_F(ProgramFolderGuardTest, UnwritableFolderAdviceFitsTheCause) {
    const struct {
        int cause;
        const char* advice;
    } cases[] = {
        {EISDIR, "A folder named \"log.txt\" is in the way there: please move or rename it"},
        {EEXIST, "Something named \"log.txt\" that is not a plain file is in the way there: please move or rename it"},
        {ELOOP, "Something named \"log.txt\" that is not a plain file is in the way there: please move or rename it"},
        {EACCES, "Please make the folder writable, or copy Pomlets into a folder of your own"},
        {EPERM, "Please make the folder writable, or copy Pomlets into a folder of your own"},
        {EROFS, "Please make the folder writable, or copy Pomlets into a folder of your own"},
        {ENOSPC, "Please free some disk space"},
        {EDQUOT, "Please free some disk space"},
        {EFBIG, "A limit on the size of files (ulimit -f) is set for Pomlets: please lift it"},
        {EIO, "Please make sure that Pomlets can write its files there"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(unwritableFolderMessage(c.cause, "log.txt"),
                  "Pomlets cannot write in its folder \"" + folder->path() + "\": " + std::strerror(c.cause) +
                      ".  It keeps its log, high scores and profile there.  " + c.advice +
                      ", then start Pomlets again.");
    }
}

TEST_F(ProgramFolderGuardTest, FolderNamedLikeTheLogIsToldAsAFolderInTheWay) {
    fs::create_directory(folder->file("log.txt"));
    EXPECT_FALSE(loadFMain());
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_EQ(shownBoxes()[0].text, unwritableFolderMessage(EISDIR, "log.txt"));
    EXPECT_TRUE(fs::is_directory(folder->file("log.txt")));
}

// In a process of its own, with the file-size signal as a fresh program has
// it: the program must ignore it itself. The process ends without the
// fixture's tear-down, so it removes its own copy of the folder first.
void underFileSizeLimit(rlim_t bytes, std::unique_ptr<TempProgramFolder>& folder, const std::function<void()>& run) {
    std::signal(SIGXFSZ, SIG_DFL);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
    run();
    limit.rlim_cur = RLIM_INFINITY;  // the test's own report must get through
    setrlimit(RLIMIT_FSIZE, &limit);
    for (const auto& box : shownBoxes()) std::fprintf(stderr, "box: %s\n", box.text.c_str());
    std::fflush(stderr);
    resetProgramState();
    folder.reset();
    std::_Exit(0);
}

TEST_F(ProgramFolderGuardTest, FileSizeLimitAtStartUpIsToldNotFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(underFileSizeLimit(0, folder,
                                   [] {
                                       if (loadFMain()) std::fprintf(stderr, "started\n");
                                   }),
                ::testing::ExitedWithCode(0),
                "box: Pomlets cannot write in its folder \"[^\"]*\": File too large\\.  It keeps its log, high scores "
                "and profile there\\.  A limit on the size of files \\(ulimit -f\\) is set for Pomlets: please lift "
                "it, then start Pomlets again\\.\n$");
}

TEST_F(ProgramFolderGuardTest, FileSizeLimitDuringASaveLosesNothing) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(underFileSizeLimit(RLIM_INFINITY, folder,
                                   [this] {
                                       if (!loadFMain()) return;
                                       const auto table = linesOfFile(folder->file("init/6095"));
                                       highScores[0].score += 1;
                                       credits = 77;
                                       rlimit limit{};
                                       getrlimit(RLIMIT_FSIZE, &limit);
                                       limit.rlim_cur = 400;  // the scrambled table is larger, the profile not
                                       setrlimit(RLIMIT_FSIZE, &limit);
                                       fMain().Form_Unload();
                                       if (linesOfFile(folder->file("init/6095")) == table)
                                           std::fprintf(stderr, "table kept\n");
                                       if (!fs::exists(folder->file("temp")) && !fs::exists(folder->file("init/6095.new")))
                                           std::fprintf(stderr, "nothing left over\n");
                                       resetSharedState();
                                       loadProfile();
                                       if (credits == 77) std::fprintf(stderr, "profile saved\n");
                                   }),
                ::testing::ExitedWithCode(0),
                "table kept\nnothing left over\nprofile saved\nbox: Pomlets could not save the high-score table "
                "\"init/6095\": File too large\\.  ");
}

// The lock's calls go through the file calls, so that a test can fail each:
// the folder is then refused with the cause, and nothing stays locked.
TEST_F(ProgramFolderGuardTest, EachCallOfTheLockCanFail) {
    const struct {
        long call;
        int cause;
    } cases[] = {
        {1, EIO},     // the lock file cannot be opened
        {2, EEXIST},  // nor shown to be a plain file
        {3, EIO},     // nor locked
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        unlockProgramFolder();
        {
            const FileFaults faults({FaultKind::Error, EIO, c.call, false, folderLockName});
            EXPECT_EQ(lockProgramFolder(folder->path()), c.cause);
            EXPECT_TRUE(faults.reached());
        }
        EXPECT_EQ(lockFromAnotherProcess(folder->path()), 0);
    }
}

} // namespace
} // namespace pomlets::testing
