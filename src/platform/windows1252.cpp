#include "platform/windows1252.h"

#include <array>

namespace pomlets {

namespace {

constexpr std::array<char16_t, 32> highCharacters = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

char32_t windows1252Char(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? highCharacters[byte - 0x80] : byte;
}

QString fromWindows1252(std::string_view text) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text) out += QChar(static_cast<char16_t>(windows1252Char(static_cast<unsigned char>(c))));
    return out;
}

std::string toWindows1252(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (const QChar c : text) {
        if (c.isLowSurrogate()) continue;  // one "?" for a character outside the basic plane
        const char16_t u = c.unicode();
        char byte = '?';
        if (u < 0x80 || (u >= 0xA0 && u < 0x100)) {
            byte = static_cast<char>(u);
        } else {
            for (size_t i = 0; i < highCharacters.size(); ++i)
                if (highCharacters[i] == u) byte = static_cast<char>(0x80 + i);
        }
        out += byte;
    }
    return out;
}

} // namespace pomlets
