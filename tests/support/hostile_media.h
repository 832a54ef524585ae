// Small pictures and sounds whose headers claim far more than they hold, as
// a hostile program folder might carry them.
#pragma once

#include <cstdint>
#include <string>

namespace pomlets::testing {

// Little-endian fields, as BMP and WAV headers store them.
void put16(std::string& out, uint32_t value);
void put32(std::string& out, uint32_t value);

// A 1,080-byte run-length coded 8-bit BMP claiming 30000 x 30000 pixels,
// or another size.
std::string runLengthBombBmp(int32_t width = 30000, int32_t height = 30000);
// A 98-byte 32-bit bit-field BMP claiming 4 x 1090519044 pixels.
std::string bitFieldBombBmp();
// An 8 KB 16-bit stereo PCM WAV played at 1 Hz.
std::string oneHertzWav();
// A 36-byte WAV of 169 channels at 536,881,937 Hz, with no samples.
std::string overflowingWav();
// A 16-bit PCM WAV header with the given format fields and samples of dataBytes.
std::string pcmWav(uint32_t rate, uint32_t channels, uint32_t dataBytes);

} // namespace pomlets::testing
