// Header checks of the pictures, sounds and music tracks in the program
// folder, made before a file is handed to a decoder: a small file must not
// be able to claim gigabytes of pixels or samples.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pomlets {

// The largest picture side accepted: twice the display's width, which no
// picture of the game comes near (the largest are 1024 x 768).
constexpr int64_t maxPictureSide = 2048;
// The longest sound effect accepted; a music track in a wave file may be
// longer, since it is streamed. (How large a file of each kind may be is
// settled where it is read: platform/program_files.h.)
constexpr int64_t maxSoundSeconds = 60;
// Sample rates and channel counts accepted for sounds and music.
constexpr int64_t minSampleRate = 4000;
constexpr int64_t maxSampleRate = 192000;
constexpr int64_t maxAudioChannels = 8;

// Why the bytes of a file may not be decoded, or an empty text when they may.
// `head` holds the file's first bytes (all of it for a sound), `fileSize` the
// size of the whole file.
std::string bitmapFault(std::string_view head, uint64_t fileSize);
std::string waveFault(std::string_view file, int64_t maxSeconds = maxSoundSeconds);
std::string oggVorbisFault(std::string_view head, uint64_t fileSize);

// The same on a file's whole contents, as readProgramFile gives them: a
// picture or a sound that fails raises Invalid property value (380) naming
// the file, as one that the decoder cannot read does.
void checkPicture(const std::string& path, std::string_view file);
bool pictureIsSane(std::string_view file);
void checkSound(const std::string& path, std::string_view file);
// A music track is a sane Ogg Vorbis file or a sane wave file.
bool musicIsSane(std::string_view file);

} // namespace pomlets
