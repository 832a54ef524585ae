#include "audio_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include <vorbis/vorbisenc.h>

namespace pomlets::forge {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File openForWriting(const std::string& path) {
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) throw std::runtime_error("cannot write " + path);
    return f;
}

void put(std::vector<unsigned char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>((value >> (8 * i)) & 0xFF));
}

void putTag(std::vector<unsigned char>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

int16_t toPcm(float x) {
    const double v = std::clamp(static_cast<double>(x), -1.0, 1.0) * 32767.0;
    return static_cast<int16_t>(std::lround(v));
}

void writeAll(std::FILE* f, const void* data, std::size_t size, const std::string& path) {
    if (size != 0 && std::fwrite(data, 1, size, f) != size) throw std::runtime_error("cannot write " + path);
}

} // namespace

void writeWav(const std::string& path, const Stereo& sound) {
    const uint32_t frames = static_cast<uint32_t>(sound.frames());
    const uint32_t dataBytes = frames * 4;
    std::vector<unsigned char> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    put(out, 36 + dataBytes, 4);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put(out, 16, 4);
    put(out, 1, 2);                                           // PCM
    put(out, 2, 2);                                           // stereo
    put(out, static_cast<uint32_t>(sound.sampleRate), 4);
    put(out, static_cast<uint32_t>(sound.sampleRate) * 4, 4); // bytes per second
    put(out, 4, 2);                                           // block align
    put(out, 16, 2);                                          // bits per sample
    putTag(out, "data");
    put(out, dataBytes, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        put(out, static_cast<uint16_t>(toPcm(sound.left[i])), 2);
        put(out, static_cast<uint16_t>(toPcm(sound.right[i])), 2);
    }
    File f = openForWriting(path);
    writeAll(f.get(), out.data(), out.size(), path);
    if (std::fflush(f.get()) != 0) throw std::runtime_error("cannot write " + path);
}

void writeOggVorbis(const std::string& path, const Stereo& music, float quality, int serial,
                    const std::string& artist, const std::string& title) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 2, music.sampleRate, quality) != 0) {
        vorbis_info_clear(&vi);
        throw std::runtime_error("vorbis encoder set-up failed for " + path);
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "ARTIST", artist.c_str());
    vorbis_comment_add_tag(&vc, "TITLE", title.c_str());
    vorbis_comment_add_tag(&vc, "ALBUM", "Pomlets");

    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);

    std::vector<unsigned char> out;
    auto emitPage = [&](const ogg_page& og) {
        out.insert(out.end(), og.header, og.header + og.header_len);
        out.insert(out.end(), og.body, og.body + og.body_len);
    };

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&vd, &vc, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &headerComment);
    ogg_stream_packetin(&os, &headerCode);
    ogg_page og;
    while (ogg_stream_flush(&os, &og) != 0) emitPage(og);

    const std::size_t total = music.frames();
    const std::size_t chunk = 4096;
    std::size_t done = 0;
    bool finished = false;
    while (!finished) {
        const std::size_t n = std::min(chunk, total - done);
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
            for (std::size_t i = 0; i < n; ++i) {
                buffer[0][i] = std::clamp(music.left[done + i], -1.0f, 1.0f);
                buffer[1][i] = std::clamp(music.right[done + i], -1.0f, 1.0f);
            }
            vorbis_analysis_wrote(&vd, static_cast<int>(n));
            done += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet op;
            while (vorbis_bitrate_flushpacket(&vd, &op) != 0) {
                ogg_stream_packetin(&os, &op);
                while (ogg_stream_pageout(&os, &og) != 0) {
                    emitPage(og);
                    if (ogg_page_eos(&og)) finished = true;
                }
            }
        }
        if (n == 0 && !finished) {
            while (ogg_stream_flush(&os, &og) != 0) emitPage(og);
            finished = true;
        }
    }

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);

    File f = openForWriting(path);
    writeAll(f.get(), out.data(), out.size(), path);
    if (std::fflush(f.get()) != 0) throw std::runtime_error("cannot write " + path);
}

} // namespace pomlets::forge
