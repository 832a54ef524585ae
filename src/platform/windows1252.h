// The game's texts are Windows-1252 bytes, as its files are. These are the
// conversions where such a text meets Qt or a font renderer.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace pomlets {

// The character of one Windows-1252 byte. The five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control
// characters of the same number, so that every byte survives a round trip.
char32_t windows1252Char(unsigned char byte);

QString fromWindows1252(std::string_view text);
// Characters that Windows-1252 cannot hold become "?".
std::string toWindows1252(const QString& text);

} // namespace pomlets
