// The voices the music sequencer plays: each renders one note into a mono
// signal (note length plus its natural ring-out).
#pragma once

#include "synth.h"

namespace pomlets::forge {

enum class Instrument {
    SawLead,      // bright filtered saw with delayed vibrato
    SquareLead,   // chip-like pulse wave
    Pluck,        // plucked string (Karplus-Strong)
    Marimba,      // struck wooden bar
    Bell,         // two-operator FM bell
    ElectricPiano,// soft FM piano
    Pad,          // detuned saws, slow attack, dark filter
    SynthBass,    // saw and sub sine through an enveloped low-pass
    PickBass,     // round plucked bass
    SineBass,     // soft sine bass for quiet tracks
    Drums,        // pitch selects the drum (see Drum)
};

// Drum sounds, passed as the note's pitch with Instrument::Drums.
enum Drum : int {
    Kick = 36,
    Snare = 38,
    Rim = 37,
    ClosedHat = 42,
    OpenHat = 46,
    Shaker = 70,
    Clap = 39,
    Tom = 45,
    SoftKick = 35,
    Brush = 40,
};

// Renders one note. `seconds` is how long the note is held; velocity 0..1.
Mono renderNote(Instrument instrument, int pitch, double seconds, double velocity, int sampleRate,
                Random& rng);

} // namespace pomlets::forge
