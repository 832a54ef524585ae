// Sequential text files: field and line input, line output, end of file,
// the program folder and deleting.
#include <cerrno>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

#include "error_of.h"
#include "platform/runtime.h"
#include "support/file_faults.h"
#include "support/program_folder.h"

namespace pomlets {
namespace {

using testing::errorOf;

class TextFileTest : public ::testing::Test {
protected:
    testing::TempProgramFolder folder;

    std::string put(const std::string& bytes) {
        const std::string path = folder.file("plain.txt");
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }
    std::vector<std::string> fields(const std::string& bytes) {
        TextFile file(put(bytes), TextFile::Mode::Input);
        std::vector<std::string> out;
        while (!file.eof()) out.push_back(file.readField());
        return out;
    }
};

using Fields = std::vector<std::string>;

TEST_F(TextFileTest, FieldReader) {
    const struct { const char* bytes; Fields expected; } cases[] = {
        {"\"Hello, World\",7\r\n", {"Hello, World", "7"}},     // quoted field keeps its comma
        {"   Slammer,  12\r\n", {"Slammer", "12"}},             // leading blanks skipped
        {"\t x", {"x"}},
        {"a,,b\r\n", {"a", "", "b"}},                           // empty field between commas
        {"a,b\r\nc,d\r\n", {"a", "b", "c", "d"}},               // field at the end of a line
        {"a,b\nc\n", {"a", "b", "c"}},                          // LF line ends
        {"a\rb", {"a", "b"}},                                   // lone CR
        {"last", {"last"}},                                     // no line end at the end
        {"a,\r\nb", {"a", "", "b"}},                            // a line ending in a comma
        {"\"quoted\" tail,next\r\n", {"quoted", "next"}},       // after the closing quote, up to the comma
        {"\"open\r\nx", {"open", "x"}},                         // an unclosed quote ends at the line end
        {"x y ,z", {"x y ", "z"}},                              // inner and trailing blanks stay
        {"\r\n\r\n", {"", ""}},                                 // empty lines are empty fields
    };
    for (const auto& c : cases) EXPECT_EQ(fields(c.bytes), c.expected) << c.bytes;
}

TEST_F(TextFileTest, FieldReaderKeepsEveryByte) {
    // High bytes, control bytes and a zero byte, plain and inside quotes.
    const std::string plain = std::string("caf\xE9\x01\x7F") + '\0' + "\xFF";
    const std::string quoted = "\x80, \x9F";
    EXPECT_EQ(fields(plain + ",\"" + quoted + "\"\xA0\r\n"), (Fields{plain, quoted}));
}

// The first field of a line under both quoting rules: the data files as they
// ship close a quoted field at its first double quote; the player's names and
// themes double the double quotes they hold.
TEST(FirstField, BothQuotingRules) {
    const struct {
        const char* line;
        const char* closing;
        const char* doubled;
    } cases[] = {
        {"plain", "plain", "plain"},
        {"", "", ""},
        {" \t  lead", "lead", "lead"},                     // leading blanks skipped
        {"x y ,z", "x y ", "x y "},                        // inner and trailing blanks stay
        {"a,b", "a", "a"},
        {",x", "", ""},                                    // an empty field
        {"ab\"c,d", "ab\"c", "ab\"c"},                     // a quote inside an unquoted field is text
        {"\"a,b\",c", "a,b", "a,b"},                       // a quoted field keeps its comma
        {"\"\",x", "", ""},
        {"\"q\" tail,next", "q", "q"},                     // after the closing quote nothing is kept
        {"  \"x\"", "x", "x"},
        {"\"say \"\"hi\"\"\"", "say ", "say \"hi\""},      // doubled quotes
        {"\"\"\"\"", "", "\""},
        {"\"\"\"\",tail", "", "\""},
        {"\"a\"\"\"", "a", "a\""},
        {"\"open", "open", "open"},                       // an unclosed quote runs to the end
        {"\"open, still\"\"", "open, still", "open, still\""},
        {"\"", "", ""},
        {"a\r\nb", "a", "a"},                              // a line end ends it
        {"\"a\rb\"", "a", "a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(firstField(c.line, FieldQuotes::Closing), c.closing) << c.line;
        EXPECT_EQ(firstField(c.line, FieldQuotes::Doubled), c.doubled) << c.line;
    }
}

TEST_F(TextFileTest, ReadingPastTheEndRaises62) {
    TextFile file(put("one\r\n"), TextFile::Mode::Input);
    EXPECT_FALSE(file.eof());
    EXPECT_EQ(file.readField(), "one");
    EXPECT_TRUE(file.eof());
    EXPECT_EQ(errorOf([&] { file.readField(); }), err::PastEndOfFile);
    EXPECT_EQ(errorOf([&] { file.readLine(); }), err::PastEndOfFile);
    TextFile empty(put(""), TextFile::Mode::Input);
    EXPECT_TRUE(empty.eof());
}

TEST_F(TextFileTest, LineReaderTakesWholeLines) {
    TextFile file(put("a, \"b\"\r\n\r\nlf only\ncr only\rlast"), TextFile::Mode::Input);
    std::vector<std::string> lines;
    while (!file.eof()) lines.push_back(file.readLine());
    EXPECT_EQ(lines, (std::vector<std::string>{"a, \"b\"", "", "lf only", "cr only", "last"}));
}

TEST_F(TextFileTest, WritesLinesWithCrLfAndKeepsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n') all += static_cast<char>(b);
    all += '\0';
    const std::string path = folder.file("out.txt");
    {
        TextFile file(path, TextFile::Mode::Replace);
        file.writeLine("first");
        file.write("no end ");
        file.writeLine(all);
        file.writeLine("");
    }
    EXPECT_EQ(contents(path), "first\r\nno end " + all + "\r\n\r\n");
    TextFile in(path, TextFile::Mode::Input);
    EXPECT_EQ(in.readLine(), "first");
    EXPECT_EQ(in.readLine(), "no end " + all);
    EXPECT_EQ(in.readLine(), "");
    EXPECT_TRUE(in.eof());
}

TEST_F(TextFileTest, OpeningAndModeErrors) {
    TextFile file;
    EXPECT_EQ(errorOf([&] { file.open(folder.file("missing"), TextFile::Mode::Input); }), err::FileNotFound);
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(errorOf([&] { file.open(folder.file("no/such/folder/x"), TextFile::Mode::Replace); }), err::PathAccess);
    EXPECT_EQ(errorOf([&] { file.open(folder.path(), TextFile::Mode::Input); }), err::PathAccess);
    EXPECT_EQ(errorOf([&] { file.readLine(); }), err::BadFileName);
    file.open(folder.file("w.txt"), TextFile::Mode::Replace);
    EXPECT_EQ(errorOf([&] { file.readField(); }), 54);
    TextFile moved = std::move(file);
    EXPECT_FALSE(file.isOpen());
    EXPECT_TRUE(moved.isOpen());
    moved.writeLine("x");
    moved.close();
    EXPECT_EQ(contents(folder.file("w.txt")), "x\r\n");
}

TEST_F(TextFileTest, ClosingAWriteThatCannotBeCompletedRaises75) {
    // A full disk: the buffered line cannot be written out when the file closes.
    TextFile full(folder.file("full.txt"), TextFile::Mode::Replace);
    full.writeLine("lost");
    const testing::FileFaults noSpace({testing::FaultKind::Error, ENOSPC, 1, true, ""});
    try {
        full.close();
        FAIL() << "a lost write passed for saved";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::PathAccess);
    }
    EXPECT_FALSE(full.isOpen());
}

TEST_F(TextFileTest, DeleteFile) {
    const std::string path = put("x");
    EXPECT_TRUE(fileExists(path));
    deleteFile(path);
    EXPECT_FALSE(fileExists(path));
    EXPECT_EQ(errorOf([&] { deleteFile(path); }), err::FileNotFound);
    EXPECT_FALSE(fileExists(folder.path()));  // a folder is not a file
}

TEST(ProgramFolderTest, AppPathJoinsWithTheFolder) {
    const std::string before = programFolder();
    setProgramFolder("/opt/pomlets/");
    EXPECT_EQ(programFolder(), "/opt/pomlets");
    EXPECT_EQ(appPath("\\init\\6095"), "/opt/pomlets/init/6095");
    EXPECT_EQ(appPath("/levels/2193"), "/opt/pomlets/levels/2193");
    EXPECT_EQ(appPath("log.txt"), "/opt/pomlets/log.txt");
    EXPECT_EQ(appPath(""), "/opt/pomlets");
    setProgramFolder(before);
}

} // namespace
} // namespace pomlets
