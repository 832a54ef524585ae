// Small pictures and sounds that the platform tests write for themselves.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace pomlets::testing {

// A 24-bit BMP; pixel(x, y) gives &HRRGGBB, y = 0 the top row.
void writeBmp(const std::string& path, int width, int height, const std::function<uint32_t(int, int)>& pixel);
// A 16-bit PCM WAV of a quiet tone.
void writeWav(const std::string& path, int milliseconds, int rate = 22050, int channels = 2);
// An Ogg Vorbis file of a quiet tone.
void writeOgg(const std::string& path, int milliseconds);
void writeBytes(const std::string& path, const std::string& bytes);

} // namespace pomlets::testing
