// Number conversions and number text of the runtime.
#include <cmath>
#include <gtest/gtest.h>

#include "error_of.h"
#include "platform/runtime.h"

namespace pomlets {
namespace {

using testing::errorOf;

TEST(RuntimeErrorTest, CarriesNumberAndClassicText) {
    const struct { int number; const char* text; } cases[] = {
        {5, "Invalid procedure call or argument"}, {6, "Overflow"}, {9, "Subscript out of range"},
        {13, "Type mismatch"}, {52, "Bad file name or number"}, {53, "File not found"},
        {62, "Input past end of file"}, {75, "Path/File access error"}, {380, "Invalid property value"},
        {12345, "Application-defined or object-defined error"},
    };
    for (const auto& c : cases) {
        const RuntimeError e(c.number);
        EXPECT_EQ(e.number(), c.number);
        EXPECT_EQ(e.description(), c.text);
        EXPECT_STREQ(e.what(), c.text);
    }
    const RuntimeError custom(5, "no window");
    EXPECT_EQ(custom.description(), "no window");
}

TEST(NumbersTest, RoundingHalvesGoToEven) {
    const struct { double in, out; } cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2}, {2.4999, 2},
        {2.5001, 3}, {-0.4, 0}, {7, 7}, {-1.5, -2},
    };
    for (const auto& c : cases) EXPECT_EQ(roundHalfEven(c.in), c.out) << c.in;
}

TEST(NumbersTest, IntIsFloor) {
    EXPECT_EQ(vbInt(2.9), 2);
    EXPECT_EQ(vbInt(-2.1), -3);
    EXPECT_EQ(vbInt(-2.0), -2);
    EXPECT_EQ(vbInt(0.9999999f * 709), 708);
}

TEST(NumbersTest, NarrowingRoundsAndChecksRange) {
    EXPECT_EQ(toInt16(2.5), 2);
    EXPECT_EQ(toInt16(3.5), 4);
    EXPECT_EQ(toInt16(-2.5), -2);
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_EQ(toInt16(-32768.5), -32768);  // the half goes to the even -32768
    EXPECT_EQ(errorOf([] { toInt16(32767.5); }), err::Overflow);
    EXPECT_EQ(errorOf([] { toInt16(-32769); }), err::Overflow);
    EXPECT_EQ(errorOf([] { toInt16(NAN); }), err::Overflow);
    EXPECT_EQ(toInt32(2147483647.4), 2147483647);
    EXPECT_EQ(toInt32(-2147483648.0), INT32_MIN);
    EXPECT_EQ(errorOf([] { toInt32(2147483647.5); }), err::Overflow);
    EXPECT_EQ(errorOf([] { toInt32(-2147483649.0); }), err::Overflow);
}

TEST(NumbersTest, CheckedAdditionOverflows) {
    EXPECT_EQ(add16(32000, 767), 32767);
    EXPECT_EQ(add16(-32768, 0), -32768);
    EXPECT_EQ(errorOf([] { add16(32767, 1); }), err::Overflow);
    EXPECT_EQ(errorOf([] { add16(-32768, -1); }), err::Overflow);
    EXPECT_EQ(add32(INT32_MAX - 1, 1), INT32_MAX);
    EXPECT_EQ(errorOf([] { add32(INT32_MAX, 1); }), err::Overflow);
    EXPECT_EQ(errorOf([] { add32(INT32_MIN, -1); }), err::Overflow);
}

TEST(NumbersTest, LenientReadingTakesTheLeadingNumber) {
    const struct { const char* in; double out; } cases[] = {
        {" 12 3abc", 123}, {"", 0}, {"-", 0}, {"1e3", 1000}, {"+7", 7}, {"abc", 0},
        {"  42", 42}, {"-17", -17}, {"- 5", -5}, {"3.25x", 3.25}, {".5", 0.5}, {"-.5", -0.5},
        {"1.2.3", 1.2}, {"1,000", 1}, {"2D2", 200}, {"1e", 1}, {"1e+", 1}, {"1E-2", 0.01},
        {"&H1F", 31}, {"&HFFFF", -1}, {"&H10000", 65536}, {"&HFFFFFFFF", -1}, {"&O17", 15},
        {"&17", 15}, {"&H", 0}, {"&", 0}, {"\t9\n", 9}, {"--5", 0}, {"0", 0}, {"5200", 5200},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(lenientNumber(c.in), c.out) << '"' << c.in << '"';
    EXPECT_EQ(errorOf([] { lenientNumber("1e400"); }), err::Overflow);
    EXPECT_EQ(lenientNumber("1e-400"), 0);
}

TEST(NumbersTest, StrictReadingWantsTheWholeText) {
    const struct { const char* in; double out; } good[] = {
        {"12", 12}, {" 12 ", 12}, {"-3", -3}, {"+7", 7}, {"1e3", 1000}, {"2.5", 2.5},
        {".5", 0.5}, {"&H1F", 31}, {"&O17", 15}, {"0", 0}, {"\t1500", 1500},
    };
    for (const auto& c : good) EXPECT_DOUBLE_EQ(strictNumber(c.in), c.out) << '"' << c.in << '"';
    for (const char* bad : {"", "   ", "-", "+", "abc", "12abc", "1 2", "1e", "&H", "&HZZ", "1.2.3", "."})
        EXPECT_EQ(errorOf([bad] { strictNumber(bad); }), err::TypeMismatch) << '"' << bad << '"';
}

TEST(NumbersTest, NumberTextForms) {
    const struct { double in; const char* sign; const char* plain; } cases[] = {
        {5, " 5", "5"}, {0, " 0", "0"}, {-2, "-2", "-2"}, {-0.0, " 0", "0"}, {2.5, " 2.5", "2.5"},
        {0.5, " .5", "0.5"}, {-0.5, "-.5", "-0.5"}, {123456, " 123456", "123456"},
        {-32768, "-32768", "-32768"}, {1e16, " 1E+16", "1E+16"}, {0.1 + 0.2, " .3", "0.3"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(signedText(c.in), c.sign) << c.in;
        EXPECT_EQ(plainText(c.in), c.plain) << c.in;
    }
}

} // namespace
} // namespace pomlets
