// The run log: its opening and closing lines, time stamps, indent and the
// cases in which nothing is written.
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

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
    // A text as a pattern that matches it, each digit standing for any digit.
    static std::string patternOf(const std::string& text) {
        std::string pattern;
        for (char c : text) {
            if (std::isdigit(static_cast<unsigned char>(c)))
                pattern += "\\d";
            else if (std::isalnum(static_cast<unsigned char>(c)) || c == ' ')
                pattern += c;
            else
                pattern += std::string("\\") + c;
        }
        return pattern;
    }
    static std::string timePattern() { return patternOf(logTimeText()); }
};

TEST_F(LogTest, WholeRun) {
    logEnabled = true;
    openLog();
    const std::string date = logDateText();
    std::string message = "initDX - getting screen resolution";
    writeLog(message, true);
    // The caller's variable holds the line as written.
    EXPECT_TRUE(std::regex_match(message, std::regex("   " + timePattern() + " :: initDX - getting screen resolution")))
        << message;
    writeLog("error occured in fruitize function.", false);
    writeLog("", true);
    writeLog("", false);
    std::string empty;
    writeLog(empty, true);
    EXPECT_EQ(empty, "   ");
    closeLog();

    const std::string t = timePattern();
    const std::regex whole("LOG OPENED ON " + patternOf(date) +
                           " AT " + t + "\r\n" +
                           "   " + t + " :: initDX - getting screen resolution\r\n" +
                           t + " :: error occured in fruitize function.\r\n" +
                           "   \r\n"
                           "\r\n"
                           "   \r\n"
                           "LOG CLOSED ON .+ AT " + t + "\r\n");
    EXPECT_TRUE(std::regex_match(log(), whole)) << log();
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
    logFile.open(folder.file("read-only"), TextFile::Mode::Append);
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
