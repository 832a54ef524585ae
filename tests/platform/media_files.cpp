#include "media_files.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <vector>
#include <vorbis/vorbisenc.h>

#include "support/hostile_media.h"

namespace pomlets::testing {

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

void writeBmp(const std::string& path, int width, int height, const std::function<uint32_t(int, int)>& pixel) {
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
    std::string out = "BM";
    put32(out, 54 + imageBytes);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(height));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, imageBytes);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const uint32_t c = pixel(x, y);
            row += static_cast<char>(c & 0xFF);
            row += static_cast<char>((c >> 8) & 0xFF);
            row += static_cast<char>((c >> 16) & 0xFF);
        }
        row.resize(rowBytes, '\0');
        out += row;
    }
    writeBytes(path, out);
}

void writeWav(const std::string& path, int milliseconds, int rate, int channels) {
    const uint32_t frames = static_cast<uint32_t>(static_cast<int64_t>(rate) * milliseconds / 1000);
    const uint32_t dataBytes = frames * static_cast<uint32_t>(channels) * 2;
    std::string out = "RIFF";
    put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1);
    put16(out, static_cast<uint32_t>(channels));
    put32(out, static_cast<uint32_t>(rate));
    put32(out, static_cast<uint32_t>(rate * channels * 2));
    put16(out, static_cast<uint32_t>(channels * 2));
    put16(out, 16);
    out += "data";
    put32(out, dataBytes);
    for (uint32_t i = 0; i < frames; ++i) {
        const auto sample = static_cast<int16_t>(2000 * std::sin(i * 2 * M_PI * 440 / rate));
        for (int c = 0; c < channels; ++c) put16(out, static_cast<uint16_t>(sample));
    }
    writeBytes(path, out);
}

void writeOgg(const std::string& path, int milliseconds) {
    constexpr int rate = 44100;
    std::ofstream out(path, std::ios::binary);
    vorbis_info info;
    vorbis_info_init(&info);
    vorbis_encode_init_vbr(&info, 1, rate, 0.1f);
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    auto writePage = [&] {
        out.write(reinterpret_cast<const char*>(page.header), page.header_len);
        out.write(reinterpret_cast<const char*>(page.body), page.body_len);
    };
    while (ogg_stream_flush(&stream, &page)) writePage();
    const int frames = rate * milliseconds / 1000;
    float** buffer = vorbis_analysis_buffer(&dsp, frames);
    for (int i = 0; i < frames; ++i) buffer[0][i] = 0.1f * static_cast<float>(std::sin(i * 2 * M_PI * 440 / rate));
    vorbis_analysis_wrote(&dsp, frames);
    vorbis_analysis_wrote(&dsp, 0);
    bool ended = false;
    while (!ended && vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        ogg_packet packet;
        while (!ended && vorbis_bitrate_flushpacket(&dsp, &packet)) {
            ogg_stream_packetin(&stream, &packet);
            while (!ended && ogg_stream_pageout(&stream, &page)) {
                writePage();
                ended = ogg_page_eos(&page) != 0;
            }
        }
    }
    while (ogg_stream_flush(&stream, &page)) writePage();
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
}

} // namespace pomlets::testing
