// The run log: its opening and closing lines, time stamps, indent and the
// cases in which nothing is written.
#include <filesystem>
#include <gtest/gtest.h>
#include <cctype>

#include "data_helpers.h"
#include "datafiles/log.h"

namespace pomlets {
namespace {

using testing::readBytes;

class LogTest : public testing::DataFileTest {
protected:
    LogTest() { logFile.close(); }
    ~LogTest() override {
        logFile.close();
        logEnabled = false;
    }
    std::string log() { return readBytes(folder.file("log.txt")); }
    // True when text has the shape of expected, in which "#" stands for the
    // current time and "%" for the current date: each digit of those may be
    // any digit, everything else must be equal.
    static bool hasShape(const std::string& text, const std::string& expected) {
        std::string shape;
        for (char c : expected) shape += c == '#' ? logTimeText() : c == '%' ? logDateText() : std::string(1, c);
        if (text.size() != shape.size()) return false;
        for (size_t i = 0; i < text.size(); ++i) {
            const bool digit = std::isdigit(static_cast<unsigned char>(shape[i])) != 0;
            if (digit ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != shape[i]) return false;
        }
        return true;
    }
};

TEST_F(LogTest, WholeRun) {
    logEnabled = true;
    openLog();
    std::string message = "initDX - getting screen resolution";
    writeLog(message, true);
    // The caller's variable holds the line as written.
    EXPECT_TRUE(hasShape(message, "   # :: initDX - getting screen resolution")) << message;
    writeLog("error occured in fruitize function.", false);
    writeLog("", true);
    writeLog("", false);
    std::string empty;
    writeLog(empty, true);
    EXPECT_EQ(empty, "   ");
    closeLog();

    EXPECT_TRUE(hasShape(log(),
                         "LOG OPENED ON % AT #\r\n"
                         "   # :: initDX - getting screen resolution\r\n"
                         "# :: error occured in fruitize function.\r\n"
                         "   \r\n"
                         "\r\n"
                         "   \r\n"
                         "LOG CLOSED ON % AT #\r\n"))
        << log();
}

TEST_F(LogTest, SecondRunOverwritesTheLog) {
    logEnabled = true;
    openLog();
    writeLog("first run", false);
    closeLog();
    openLog();
    closeLog();
    EXPECT_EQ(log().find("first run"), std::string::npos);
    EXPECT_EQ(log().rfind("LOG OPENED ON ", 0), 0u);
}

TEST_F(LogTest, DisabledLogTouchesNothing) {
    logEnabled = false;
    openLog();
    std::string message = "text";
    writeLog(message, true);
    EXPECT_EQ(message, "text");
    closeLog();
    EXPECT_FALSE(std::filesystem::exists(folder.file("log.txt")));
    EXPECT_FALSE(logFile.isOpen());
}

TEST_F(LogTest, CloseIgnoresEveryError) {
    logEnabled = true;
    // Never opened: writing and closing fail, and closing still returns.
    EXPECT_NO_THROW(closeLog());
    // Opened on a file that cannot be written.
    logFile.open(folder.file("read-only"), TextFile::Mode::Replace);
    logFile.close();
    logFile.open(folder.file("read-only"), TextFile::Mode::Input);
    EXPECT_NO_THROW(closeLog());
    EXPECT_FALSE(logFile.isOpen());
}

TEST_F(LogTest, OpenAndWriteReportTheirFailures) {
    logEnabled = true;
    std::filesystem::create_directory(folder.file("log.txt"));
    EXPECT_EQ(testing::errorOf([] { openLog(); }), err::PathAccess);
    EXPECT_EQ(testing::errorOf([] { writeLog("x", false); }), err::BadFileName);
}

} // namespace
} // namespace pomlets
