#include "tracks.h"

namespace pomlets::forge {

namespace {

using K = ChordKind;
using E = Energy;

const std::vector<int> kMajor = {0, 2, 4, 5, 7, 9, 11};
const std::vector<int> kMinor = {0, 2, 3, 5, 7, 8, 10};

// Varnock: driving and dark, A minor, saw lead over pulsing bass and rock drums.
SongPlan ironLanterns() {
    SongPlan p;
    p.artist = "Varnock";
    p.title = "Iron Lanterns";
    p.seed = 1701;
    Style& s = p.style;
    s.tonic = 57;
    s.scale = kMinor;
    s.bpm = 126.0;
    s.lead = Instrument::SawLead;
    s.counter = Instrument::Bell;
    s.chords = Instrument::Pad;
    s.arpeggio = Instrument::Pluck;
    s.bass = Instrument::SynthBass;
    s.leadLow = 64;
    s.leadHigh = 81;
    s.chordLow = 55;
    s.bassOctave = 33;
    s.arpeggioEvery = 2;
    s.rhythms = {"x-x-x-..x-x-x-..", "x--x--x-x-x-x---", "x-.xx-x-x---x-x-", "..x-x-x-x--x-x--"};
    s.cadence = "x---x-x-x-------";
    s.bassLow = "R-------F-------";
    s.bassMid = "R.R.R.R.R.R.F.O.";
    s.bassHigh = "R.RRR.R.R.RRF.O.";
    s.drumsLow = {{Kick, "x.......x.......", 0.0}, {ClosedHat, "..o...o...o...o.", 0.25}};
    s.drumsMid = {{Kick, "x.....x.x.......", 0.0}, {Snare, "....x.......x...", 0.05},
                  {ClosedHat, "o.o.o.o.o.o.o.o.", 0.25}};
    s.drumsHigh = {{Kick, "x.....x.x.x.....", 0.0}, {Snare, "....x.......x..o", 0.05},
                   {Clap, "....x.......x...", -0.1}, {ClosedHat, "xoxoxoxoxoxoxoxo", 0.25}};
    s.leadGain = 0.5;
    s.counterGain = 0.3;
    s.chordGain = 0.32;
    s.arpGain = 0.6;
    s.bassGain = 0.55;
    s.drumGain = 0.5;
    s.leadEcho = 0.75;
    s.reverbRoom = 0.55;

    const std::vector<Chord> verse = {{57, K::Minor}, {53, K::Major}, {48, K::Major}, {55, K::Major}};
    const std::vector<Chord> chorus = {{53, K::Major}, {55, K::Major}, {52, K::Minor}, {57, K::Minor}};
    const std::vector<Chord> bridge = {{50, K::Minor}, {57, K::Minor}, {50, K::Minor}, {52, K::Sus4}};
    p.sections = {
        {4, verse, E::Sparse, ' ', false, true, false},
        {8, verse, E::Mid, 'A'},
        {8, chorus, E::High, 'B', true},
        {8, verse, E::Mid, 'A'},
        {8, chorus, E::High, 'B', true},
        {8, bridge, E::Low, 'C', false, false},
        {8, chorus, E::High, 'B', true},
        {8, chorus, E::High, 'B', true},
        {8, verse, E::Low, ' ', false, true, false},
    };
    return p;
}

// Pellandry: sunny and unhurried, G major, marimba tune over a strummed string.
SongPlan orchardAtNoon() {
    SongPlan p;
    p.artist = "Pellandry";
    p.title = "Orchard at Noon";
    p.seed = 2903;
    Style& s = p.style;
    s.tonic = 55;
    s.scale = kMajor;
    s.bpm = 104.0;
    s.lead = Instrument::Marimba;
    s.counter = Instrument::Bell;
    s.chords = Instrument::Pluck;
    s.strum = true;
    s.strumSteps = "x--x--x---x--x--";
    s.arpeggio = Instrument::ElectricPiano;
    s.bass = Instrument::PickBass;
    s.leadLow = 67;
    s.leadHigh = 86;
    s.chordLow = 55;
    s.bassOctave = 36;
    s.arpeggioEvery = 4;
    s.rhythms = {"x---x-x-x---x---", "x-x-x---x-x-x---", "x--x--x-x-------", "x---x---x-x-x-x-"};
    s.cadence = "x-x-x-----------";
    s.bassLow = "R-------F-------";
    s.bassMid = "R-----F-O-----F-";
    s.bassHigh = "R---F---O---F-T-";
    s.drumsLow = {{SoftKick, "x.......x.......", 0.0}, {Shaker, "o.o.o.o.o.o.o.o.", 0.3}};
    s.drumsMid = {{SoftKick, "x.......x.......", 0.0}, {Rim, "....x.......x...", -0.15},
                  {Shaker, "o.o.o.o.o.o.o.o.", 0.3}};
    s.drumsHigh = {{Kick, "x.....x.x.......", 0.0}, {Clap, "....x.......x...", -0.1},
                   {Shaker, "xoooxoooxoooxooo", 0.3}};
    s.leadGain = 0.6;
    s.counterGain = 0.25;
    s.chordGain = 0.7;
    s.arpGain = 0.25;
    s.bassGain = 0.4;
    s.drumGain = 0.6;
    s.leadEcho = 0.5;
    s.reverbRoom = 0.5;

    const std::vector<Chord> verse = {{55, K::Major}, {50, K::Major}, {52, K::Minor}, {48, K::Major}};
    const std::vector<Chord> chorus = {{48, K::Major}, {50, K::Major}, {55, K::Major}, {52, K::Minor}};
    const std::vector<Chord> bridge = {{57, K::Minor}, {52, K::Minor}, {48, K::Major}, {50, K::Sus4}};
    const std::vector<Chord> ending = {{55, K::Major}, {50, K::Major}, {48, K::Major}, {55, K::Major}};
    p.sections = {
        {4, verse, E::Sparse, ' ', false, true, false},
        {8, verse, E::Mid, 'A'},
        {8, verse, E::Mid, 'A', true},
        {8, chorus, E::High, 'B'},
        {8, verse, E::Mid, 'A'},
        {8, bridge, E::Low, 'C', false, false},
        {8, chorus, E::High, 'B', true},
        {4, ending, E::Low, ' ', false, true, false},
    };
    return p;
}

// Quillo: quick and playful, F major, a swung chip tune with a skipping bass.
SongPlan paperKites() {
    SongPlan p;
    p.artist = "Quillo";
    p.title = "Paper Kites";
    p.seed = 4127;
    Style& s = p.style;
    s.tonic = 53;
    s.scale = kMajor;
    s.bpm = 148.0;
    s.swing = 0.33;
    s.lead = Instrument::SquareLead;
    s.counter = Instrument::Bell;
    s.chords = Instrument::ElectricPiano;
    s.strum = true;
    s.strumSteps = "..x-..x-..x-..x-";
    s.arpeggio = Instrument::Marimba;
    s.bass = Instrument::SynthBass;
    s.leadLow = 65;
    s.leadHigh = 86;
    s.chordLow = 57;
    s.bassOctave = 29;
    s.arpeggioEvery = 2;
    s.rhythms = {"x-x.x-x.x-x-x---", "x.x.x-x-x.x.x---", "x-xx-xx-x---x-x-", "xx-x-x-xx-------"};
    s.cadence = "x-x-x---x-------";
    s.bassLow = "R---O---R---O---";
    s.bassMid = "R.O.R.O.R.O.F.O.";
    s.bassHigh = "R.ORR.O.R.ORF.O.";
    s.drumsLow = {{Kick, "x.......x.......", 0.0}, {ClosedHat, "..o...o...o...o.", 0.3}};
    s.drumsMid = {{Kick, "x.....x...x.....", 0.0}, {Snare, "....x.......x...", 0.0},
                  {ClosedHat, "o.o.o.o.o.o.o.o.", 0.3}};
    s.drumsHigh = {{Kick, "x.....x.x.x.....", 0.0}, {Snare, "....x.......x.o.", 0.0},
                   {ClosedHat, "xoxoxoxoxoxoxoxo", 0.3}};
    s.leadGain = 0.45;
    s.counterGain = 0.3;
    s.chordGain = 0.35;
    s.arpGain = 0.25;
    s.bassGain = 0.5;
    s.drumGain = 0.55;
    s.leadEcho = 0.75;
    s.reverbRoom = 0.45;

    const std::vector<Chord> verse = {{53, K::Major}, {50, K::Minor}, {58, K::Major}, {48, K::Major}};
    const std::vector<Chord> chorus = {{58, K::Major}, {48, K::Major}, {57, K::Minor}, {50, K::Minor}};
    const std::vector<Chord> bridge = {{50, K::Minor}, {58, K::Major}, {53, K::Major}, {48, K::Sus4}};
    p.sections = {
        {4, verse, E::Sparse, ' ', false, true, false},
        {8, verse, E::Mid, 'A'},
        {8, verse, E::Mid, 'A', true},
        {8, chorus, E::High, 'B'},
        {8, verse, E::Mid, 'A'},
        {8, bridge, E::Low, 'C', false, true},
        {8, chorus, E::High, 'B', true},
        {8, chorus, E::High, 'B'},
        {8, verse, E::Mid, 'A', true},
        {4, verse, E::Low, ' ', false, true, false},
    };
    return p;
}

// Brackwater: slow and calm, D minor, bell tune over a wide pad and soft brushes.
SongPlan slowRiverLights() {
    SongPlan p;
    p.artist = "Brackwater";
    p.title = "Slow River Lights";
    p.seed = 6343;
    Style& s = p.style;
    s.tonic = 50;
    s.scale = kMinor;
    s.bpm = 80.0;
    s.lead = Instrument::Bell;
    s.counter = Instrument::ElectricPiano;
    s.chords = Instrument::Pad;
    s.arpeggio = Instrument::Pluck;
    s.bass = Instrument::SineBass;
    s.leadLow = 62;
    s.leadHigh = 81;
    s.chordLow = 53;
    s.bassOctave = 38;
    s.arpeggioEvery = 2;
    s.rhythms = {"x-------x---x---", "x---x---x-------", "x-----x-x-x-----", "..x-x---x-------"};
    s.cadence = "x---------------";
    s.bassLow = "R---------------";
    s.bassMid = "R-------F-------";
    s.bassHigh = "R-----F-O-------";
    s.drumsLow = {{Shaker, "o...o...o...o...", 0.3}};
    s.drumsMid = {{SoftKick, "x.........x.....", 0.0}, {Brush, "....o.......o...", -0.1},
                  {Shaker, "o.o.o.o.o.o.o.o.", 0.3}};
    s.drumsHigh = {{SoftKick, "x.....x...x.....", 0.0}, {Rim, "....x.......x...", -0.1},
                   {Shaker, "xoooxoooxoooxooo", 0.3}};
    s.leadGain = 0.6;
    s.counterGain = 0.3;
    s.chordGain = 0.4;
    s.arpGain = 0.6;
    s.bassGain = 0.3;
    s.drumGain = 0.5;
    s.leadEcho = 1.0;
    s.reverbRoom = 0.8;

    const std::vector<Chord> verse = {{50, K::Minor7}, {58, K::Major7}, {53, K::Major}, {48, K::Major}};
    const std::vector<Chord> chorus = {{55, K::Minor7}, {50, K::Minor7}, {58, K::Major7}, {57, K::Minor7}};
    const std::vector<Chord> bridge = {{58, K::Major7}, {48, K::Major}, {50, K::Minor7}, {50, K::Minor7}};
    const std::vector<Chord> ending = {{50, K::Minor7}, {58, K::Major7}, {55, K::Minor7}, {50, K::Minor7}};
    p.sections = {
        {4, verse, E::Sparse, ' ', false, true, false},
        {8, verse, E::Low, 'A'},
        {8, chorus, E::Mid, 'B'},
        {8, verse, E::Mid, 'A', true},
        {8, bridge, E::High, 'C'},
        {8, chorus, E::Mid, 'B', true},
        {4, ending, E::Sparse, ' ', false, true, false},
    };
    return p;
}

} // namespace

std::string playlistEntry(const SongPlan& plan) { return plan.artist + " - " + plan.title; }

const std::vector<SongPlan>& builtInTracks() {
    static const std::vector<SongPlan> tracks = {ironLanterns(), orchardAtNoon(), paperKites(), slowRiverLights()};
    return tracks;
}

} // namespace pomlets::forge
