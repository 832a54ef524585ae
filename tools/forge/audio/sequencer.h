// The music sequencer: parts of timed notes on the instruments, mixed with
// per-part pan, echo and a shared reverb into one stereo track.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "instruments.h"
#include "synth.h"

namespace pomlets::forge {

struct NoteEvent {
    double beat;      // start, in beats from the top of the track
    double beats;     // held length, in beats
    int pitch;        // MIDI note (or Drum for Instrument::Drums)
    double velocity;  // 0..1
    double pan = 0.0; // added to the part's pan
};

struct Part {
    std::string name;
    Instrument instrument = Instrument::Pad;
    double gain = 1.0;
    double pan = 0.0;
    double reverbSend = 0.2;
    double echoBeats = 0.0;   // 0: no echo
    double echoFeedback = 0.3;
    double echoWet = 0.0;
    std::vector<NoteEvent> notes;
};

struct Arrangement {
    double bpm = 120.0;
    double lengthBeats = 0.0;
    double reverbRoom = 0.6;
    double reverbDamping = 0.4;
    double fadeOutSeconds = 4.0;
    std::vector<Part> parts;

    double secondsPerBeat() const { return 60.0 / bpm; }
    double seconds() const { return lengthBeats * secondsPerBeat(); }
};

// Renders the whole arrangement; the result is mastered to a safe peak.
Stereo renderArrangement(const Arrangement& arrangement, int sampleRate, uint64_t seed);

} // namespace pomlets::forge
