// Writers for the two file forms the game plays: PCM WAV for the sound
// effects and Ogg Vorbis for the music tracks.
#pragma once

#include <cstdint>
#include <string>

#include "synth.h"

namespace pomlets::forge {

// 16-bit PCM stereo WAV at the buffer's sample rate; samples beyond +-1 are
// clamped. Throws std::runtime_error when the file cannot be written.
void writeWav(const std::string& path, const Stereo& sound);

// Ogg Vorbis (VBR at the given quality, -0.1 to 1) with a fixed stream serial
// number, so that the same samples always give the same bytes. Title and
// artist go into the Vorbis comment header.
void writeOggVorbis(const std::string& path, const Stereo& music, float quality, int serial,
                    const std::string& artist, const std::string& title);

} // namespace pomlets::forge
