#include "platform/media_checks.h"

#include <limits>

#include "platform/runtime.h"

namespace pomlets {

namespace {

// Little-endian fields of a header; callers check the length first.
uint32_t u16(std::string_view b, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8;
}
uint32_t u32(std::string_view b, size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }
int64_t s32(std::string_view b, size_t at) { return static_cast<int32_t>(u32(b, at)); }

std::string sizeText(int64_t width, int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

[[noreturn]] void refuse(const std::string& path, const std::string& why) {
    throw RuntimeError(err::InvalidProperty, RuntimeError::textOf(err::InvalidProperty) + ": " + path + " (" + why + ")");
}

} // namespace

std::string bitmapFault(std::string_view head, uint64_t fileSize) {
    if (head.size() < 18 || head.substr(0, 2) != "BM") return "not a BMP picture";
    const uint64_t pixelsAt = u32(head, 10);
    const uint32_t infoSize = u32(head, 14);
    int64_t width = 0, height = 0;
    uint32_t planes = 0, bits = 0, compression = 0, imageSize = 0, colours = 0;
    if (infoSize == 12) {
        if (head.size() < 26) return "a BMP header cut short";
        width = u16(head, 18);
        height = u16(head, 20);
        planes = u16(head, 22);
        bits = u16(head, 24);
    } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124) {
        if (head.size() < 54) return "a BMP header cut short";
        width = s32(head, 18);
        height = s32(head, 22);
        planes = u16(head, 26);
        bits = u16(head, 28);
        compression = u32(head, 30);
        imageSize = u32(head, 34);
        colours = u32(head, 46);
    } else {
        return "a BMP header of " + std::to_string(infoSize) + " bytes";
    }
    const int64_t rows = height < 0 ? -height : height;
    if (width <= 0 || rows == 0 || width > maxPictureSide || rows > maxPictureSide)
        return "a picture of " + sizeText(width, height) + " pixels";
    if (planes != 1) return "a BMP of " + std::to_string(planes) + " planes";
    switch (compression) {
    case 0:
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
            return std::to_string(bits) + " bits a pixel";
        break;
    case 1:  // run-length coded, 8 bits, stored bottom-up
    case 2:  // run-length coded, 4 bits
        if (bits != (compression == 1 ? 8u : 4u) || height < 0) return "a run-length code that does not fit";
        break;
    case 3:  // bit fields
        if (bits != 16 && bits != 32) return "bit fields of " + std::to_string(bits) + " bits";
        break;
    default:
        return "compression " + std::to_string(compression);
    }
    if (bits <= 8 && colours > (1u << bits)) return std::to_string(colours) + " palette colours";
    if (pixelsAt < 14u + infoSize || pixelsAt >= fileSize) return "pixels outside the file";
    const uint64_t stored = fileSize - pixelsAt;
    if (compression == 1 || compression == 2) {
        if (imageSize > stored) return "a run-length code longer than the file";
    } else {
        const uint64_t rowBytes = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
        if (rowBytes * static_cast<uint64_t>(rows) > stored) return "fewer pixels in the file than its size says";
    }
    return {};
}

std::string waveFault(std::string_view file, int64_t maxSeconds) {
    if (file.size() < 12 || file.substr(0, 4) != "RIFF" || file.substr(8, 4) != "WAVE") return "not a wave sound";
    const uint64_t end = uint64_t{8} + u32(file, 4);
    if (end > file.size()) return "a RIFF size beyond the end of the file";
    bool haveFormat = false, haveData = false;
    uint32_t tag = 0, channels = 0, rate = 0, blockAlign = 0, bits = 0;
    uint64_t dataBytes = 0;
    for (uint64_t at = 12; at + 8 <= end;) {
        const std::string_view id = file.substr(static_cast<size_t>(at), 4);
        const uint64_t size = u32(file, static_cast<size_t>(at + 4));
        const uint64_t body = at + 8;
        if (body + size > end) return "a chunk running past the end of the file";
        if (id == "fmt ") {
            if (haveFormat || haveData || size < 16) return "a misplaced or short format chunk";
            haveFormat = true;
            tag = u16(file, static_cast<size_t>(body));
            channels = u16(file, static_cast<size_t>(body + 2));
            rate = u32(file, static_cast<size_t>(body + 4));
            blockAlign = u16(file, static_cast<size_t>(body + 12));
            bits = u16(file, static_cast<size_t>(body + 14));
            if (tag == 0xFFFE) {  // extensible: the real format leads the sub-format
                if (size < 40) return "a short extensible format";
                tag = u16(file, static_cast<size_t>(body + 24));
            }
        } else if (id == "data" && !haveData) {
            if (!haveFormat) return "samples before the format";
            haveData = true;
            dataBytes = size;
        }
        at = body + size + (size & 1);
    }
    if (!haveFormat || !haveData) return "no format or no samples";
    if (channels < 1 || channels > maxAudioChannels) return std::to_string(channels) + " channels";
    if (rate < minSampleRate || rate > maxSampleRate) return "a sample rate of " + std::to_string(rate) + " Hz";
    uint64_t frames = 0;
    switch (tag) {
    case 1:  // PCM
    case 3:  // floating point
    case 6:  // A-law
    case 7:  // mu-law
        if (bits == 0 || bits % 8 != 0 || bits > 64 || (tag != 1 && tag != 3 && bits != 8) ||
            blockAlign != channels * bits / 8)
            return std::to_string(bits) + "-bit samples in blocks of " + std::to_string(blockAlign) + " bytes";
        frames = dataBytes / blockAlign;
        break;
    case 2:     // Microsoft ADPCM
    case 0x11:  // IMA ADPCM: four bits a sample at most
        if (bits != 4 || blockAlign < 4 * channels) return "an ADPCM block of " + std::to_string(blockAlign) + " bytes";
        frames = dataBytes * 2 / channels + 2;
        break;
    default:
        return "wave format " + std::to_string(tag);
    }
    if (frames > static_cast<uint64_t>(maxSeconds) * rate) return "a sound longer than " + std::to_string(maxSeconds) + " s";
    return {};
}

std::string oggVorbisFault(std::string_view head, uint64_t fileSize) {
    if (head.size() < 27 || head.substr(0, 4) != "OggS") return "not an Ogg file";
    if (head[4] != 0 || (static_cast<uint8_t>(head[5]) & 0x03) != 0x02) return "not the first page of an Ogg stream";
    const size_t segments = static_cast<uint8_t>(head[26]);
    if (head.size() < 27 + segments) return "an Ogg page cut short";
    size_t packet = 0, s = 0;
    for (; s < segments; ++s) {
        const size_t lace = static_cast<uint8_t>(head[27 + s]);
        packet += lace;
        if (lace < 255) break;
    }
    const size_t at = 27 + segments;
    if (s == segments || packet < 30 || at + 30 > head.size() || at + packet > fileSize)
        return "no Vorbis header on the first page";
    const std::string_view id = head.substr(at, 30);
    if (id.substr(0, 7) != std::string_view("\x01vorbis", 7) || u32(id, 7) != 0) return "not a Vorbis stream";
    const uint32_t channels = static_cast<uint8_t>(id[11]);
    const uint32_t rate = u32(id, 12);
    const uint32_t small = static_cast<uint8_t>(id[28]) & 0x0F, large = static_cast<uint8_t>(id[28]) >> 4;
    if (channels < 1 || channels > maxAudioChannels) return std::to_string(channels) + " channels";
    if (rate < minSampleRate || rate > maxSampleRate) return "a sample rate of " + std::to_string(rate) + " Hz";
    if (small < 6 || large > 13 || small > large || (id[29] & 1) == 0) return "Vorbis block sizes out of range";
    return {};
}

void checkPicture(const std::string& path, std::string_view file) {
    if (std::string why = bitmapFault(file, file.size()); !why.empty()) refuse(path, why);
}

bool pictureIsSane(std::string_view file) { return bitmapFault(file, file.size()).empty(); }

void checkSound(const std::string& path, std::string_view file) {
    if (std::string why = waveFault(file); !why.empty()) refuse(path, why);
}

bool musicIsSane(std::string_view file) {
    if (file.substr(0, 4) != "RIFF") return oggVorbisFault(file, file.size()).empty();
    // A streamed track: as long as it likes, but sane otherwise.
    constexpr int64_t aDay = 24 * 60 * 60;
    return waveFault(file, aDay).empty();
}

} // namespace pomlets
