// Turns a song plan (key, style, sections with chord progressions) into an
// arrangement of notes: melody, counter-melody, chords, arpeggio, bass and
// drums. Sections that share a melody letter share their tune, so choruses
// come back recognisably.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sequencer.h"

namespace pomlets::forge {

enum class ChordKind { Major, Minor, Major7, Minor7, Dominant7, Sus4, Sus2 };

struct Chord {
    int root;        // MIDI note of the root, any octave
    ChordKind kind;
};

// How full a section is.
enum class Energy { Sparse, Low, Mid, High };

struct Section {
    int bars;
    std::vector<Chord> chords;  // one per bar, repeated over the section
    Energy energy;
    char melody;                // tune letter; ' ' for none
    bool counter = false;       // counter-melody on
    bool arpeggio = true;
    bool fill = true;           // drum fill in the last bar
};

// Sixteen steps per bar: drum strings use 'x' (accent), 'o' (soft), '.' (none);
// bass strings use 'R' root, 'F' fifth, 'O' octave, 'T' third, 'L' fifth below,
// '-' hold, '.' rest.
struct DrumLine {
    int drum;
    std::string steps;
    double pan = 0.0;
};

struct Style {
    int tonic;                       // MIDI note of the key's tonic
    std::vector<int> scale;          // semitones above the tonic
    double bpm;
    double swing = 0.0;              // delay of the off sixteenths, in sixteenths
    Instrument lead, counter, chords, arpeggio, bass;
    int leadLow, leadHigh;           // melody range
    int chordLow;                    // lowest note of a chord voicing
    int bassOctave;                  // MIDI note the bass root lies at or above
    bool strum = false;              // chords plucked in a rhythm instead of held
    std::string strumSteps;          // where the strums fall ('x')
    int arpeggioEvery = 2;           // in sixteenths
    std::vector<std::string> rhythms;  // one-bar melody rhythms: 'x' onset, '-' hold, '.' rest
    std::string cadence;             // rhythm of a phrase's last bar
    std::string bassLow, bassMid, bassHigh;
    std::vector<DrumLine> drumsLow, drumsMid, drumsHigh;
    double leadGain, counterGain, chordGain, arpGain, bassGain, drumGain;
    double leadEcho = 0.75;          // in beats
    double reverbRoom = 0.6;
};

struct SongPlan {
    std::string artist;
    std::string title;
    uint64_t seed;
    Style style;
    std::vector<Section> sections;
};

Arrangement compose(const SongPlan& plan);

} // namespace pomlets::forge
