#include "support/hostile_media.h"

#include <cstdint>

namespace pomlets::testing {

void put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

namespace {

// File header and 40-byte information header.
std::string bmpHeader(uint32_t fileSize, uint32_t pixelsAt, int32_t width, int32_t height, uint16_t bits,
                      uint32_t compression, uint32_t imageSize, uint32_t colours) {
    std::string out = "BM";
    put32(out, fileSize);
    put32(out, 0);
    put32(out, pixelsAt);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(height));
    put16(out, 1);
    put16(out, bits);
    put32(out, compression);
    put32(out, imageSize);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, colours);
    put32(out, 0);
    return out;
}

std::string waveHeader(uint32_t rate, uint32_t channels, uint32_t bits, uint32_t riffSize) {
    std::string out = "RIFF";
    put32(out, riffSize);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1);
    put16(out, channels);
    put32(out, rate);
    put32(out, rate * channels * bits / 8);
    put16(out, channels * bits / 8);
    put16(out, bits);
    return out;
}

} // namespace

std::string runLengthBombBmp(int32_t width, int32_t height) {
    std::string out = bmpHeader(1080, 1078, width, height, 8, 1, 2, 256);
    for (int i = 0; i < 256; ++i) put32(out, static_cast<uint32_t>(i * 0x010101));
    out += std::string("\x00\x01", 2);  // end of the picture at once
    return out;
}

std::string bitFieldBombBmp() {
    std::string out = bmpHeader(98, 66, 4, 1090519044, 32, 3, 0, 0);
    put32(out, 0x00FF0000);
    put32(out, 0x0000FF00);
    put32(out, 0x000000FF);
    out += std::string(32, '\x7F');
    return out;
}

std::string pcmWav(uint32_t rate, uint32_t channels, uint32_t dataBytes) {
    std::string out = waveHeader(rate, channels, 16, 36 + dataBytes);
    out += "data";
    put32(out, dataBytes);
    out += std::string(dataBytes, '\0');
    return out;
}

std::string oneHertzWav() { return pcmWav(1, 2, 8192 - 44); }

std::string overflowingWav() { return waveHeader(536881937, 169, 16, 28); }

} // namespace pomlets::testing
