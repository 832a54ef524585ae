// The BASS music services the game streams its tracks through, standing on
// SDL2_mixer. No function raises an error: failures leave the game silent.
#pragma once

#include <cstdint>
#include <string>

#include "platform/directx.h"

namespace pomlets {

using HSTREAM = uint32_t;

// Opens the music output; false when no audio device can be opened.
bool BASS_Init(int32_t device, int32_t freq, int32_t flags, HWND window, int32_t clsid);
// Closes the output and ends every stream on it; the audio device, shared
// with the sound effects, closes once none of them sounds any more.
void BASS_Free();
// A stream of a music file; 0 when the file cannot be opened.
HSTREAM BASS_StreamCreateFile(bool mem, const std::string& path, int32_t offset, int32_t length, int32_t flags);
// Starts the stream, playing it once.
bool BASS_StreamPlay(HSTREAM handle, bool flush, int32_t flags);
bool BASS_StreamFree(HSTREAM handle);
// volume 0 to 100; freq -1 and pan -101 leave those unchanged.
bool BASS_ChannelSetAttributes(HSTREAM handle, int32_t freq, int32_t volume, int32_t pan);
// 1 while the stream plays (or is paused with the output), 0 once it has
// stopped, ended or does not exist.
int32_t BASS_ChannelIsActive(HSTREAM handle);
bool BASS_Pause();
bool BASS_Start();

} // namespace pomlets
