#include "composer.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace pomlets::forge {

namespace {

std::vector<int> chordIntervals(ChordKind kind) {
    switch (kind) {
    case ChordKind::Major: return {0, 4, 7};
    case ChordKind::Minor: return {0, 3, 7};
    case ChordKind::Major7: return {0, 4, 7, 11};
    case ChordKind::Minor7: return {0, 3, 7, 10};
    case ChordKind::Dominant7: return {0, 4, 7, 10};
    case ChordKind::Sus4: return {0, 5, 7};
    case ChordKind::Sus2: return {0, 2, 7};
    }
    return {0, 4, 7};
}

int pitchClass(int note) { return ((note % 12) + 12) % 12; }

bool inChord(int note, const Chord& chord) {
    for (int i : chordIntervals(chord.kind))
        if (pitchClass(note) == pitchClass(chord.root + i)) return true;
    return false;
}

// Notes of the key's scale, as a ladder the melody climbs by steps.
class ScaleLadder {
public:
    ScaleLadder(int tonic, const std::vector<int>& scale, int low, int high) {
        for (int octave = -2; octave <= 3; ++octave)
            for (int s : scale) {
                const int n = tonic + 12 * octave + s;
                if (n >= low && n <= high) notes_.push_back(n);
            }
        std::sort(notes_.begin(), notes_.end());
    }
    int size() const { return static_cast<int>(notes_.size()); }
    int note(int index) const { return notes_[static_cast<std::size_t>(std::clamp(index, 0, size() - 1))]; }
    int clamp(int index) const { return std::clamp(index, 0, size() - 1); }
    // The rung nearest `index` whose note belongs to the chord.
    int nearestChordTone(int index, const Chord& chord, int preferDirection) const {
        for (int d = 0; d < size(); ++d) {
            const int a = clamp(index + (preferDirection >= 0 ? d : -d));
            const int b = clamp(index - (preferDirection >= 0 ? d : -d));
            if (inChord(note(a), chord)) return a;
            if (inChord(note(b), chord)) return b;
        }
        return clamp(index);
    }

private:
    std::vector<int> notes_;
};

double stepBeat(int bar, int step, double swing) {
    double b = bar * 4.0 + step * 0.25;
    if (step % 2 == 1) b += swing * 0.25;
    return b;
}

// Lengths of the notes of a rhythm string, in sixteenths, by onset step.
std::vector<std::pair<int, int>> onsets(const std::string& rhythm) {
    std::vector<std::pair<int, int>> out;
    for (int s = 0; s < 16; ++s) {
        if (rhythm[static_cast<std::size_t>(s)] != 'x') continue;
        int len = 1;
        while (s + len < 16 && rhythm[static_cast<std::size_t>(s + len)] == '-') ++len;
        out.push_back({s, len});
    }
    return out;
}

struct MelodyNote {
    int bar;     // within the section
    int step;
    int length;  // sixteenths
    int pitch;
    double velocity;
};

// One tune for a section: four-bar phrases of a motif, its answer and a
// cadence; the second phrase of eight bars repeats the first with a firmer end.
std::vector<MelodyNote> makeTune(const Style& style, const Section& section, uint64_t seed) {
    Random rng(seed);
    const ScaleLadder ladder(style.tonic, style.scale, style.leadLow, style.leadHigh);
    const int rhythmCount = static_cast<int>(style.rhythms.size());
    const std::string& motifRhythm = style.rhythms[static_cast<std::size_t>(rng.below(rhythmCount))];
    const std::string& answerRhythm = style.rhythms[static_cast<std::size_t>(rng.below(rhythmCount))];

    std::vector<MelodyNote> tune;
    int rung = ladder.size() / 2;
    std::vector<int> motifSteps;  // rung movements of the motif, reused by its echo
    int direction = rng.chance(0.5) ? 1 : -1;

    auto chordOf = [&](int bar) { return section.chords[static_cast<std::size_t>(bar) % section.chords.size()]; };

    for (int bar = 0; bar < section.bars; ++bar) {
        const int inPhrase = bar % 4;
        const bool lastPhraseBar = inPhrase == 3 || bar == section.bars - 1;
        const bool sectionEnd = bar == section.bars - 1;
        const std::string& rhythm = lastPhraseBar ? style.cadence : (inPhrase == 1 ? answerRhythm : motifRhythm);
        const Chord chord = chordOf(bar);
        const auto notes = onsets(rhythm);
        for (std::size_t k = 0; k < notes.size(); ++k) {
            const auto [step, length] = notes[k];
            const bool strong = step % 8 == 0;
            if (inPhrase == 2 && k < motifSteps.size()) {
                // Echo of the motif: the same movements, fitted to the new chord.
                // Mirrored where it would run out of the tune's range.
                int target = rung + motifSteps[k];
                if (target < 0 || target >= ladder.size()) target = rung - motifSteps[k];
                rung = ladder.clamp(target);
                if (strong) rung = ladder.nearestChordTone(rung, chord, direction);
            } else {
                const int before = rung;
                if (k == notes.size() - 1 && lastPhraseBar) {
                    // Phrase ends: the root at a section's end, any chord tone otherwise.
                    rung = ladder.nearestChordTone(rung, chord, -1);
                    if (sectionEnd) {
                        for (int d = 0; d < ladder.size(); ++d) {
                            const int a = ladder.clamp(rung - d), b = ladder.clamp(rung + d);
                            if (pitchClass(ladder.note(a)) == pitchClass(chord.root)) { rung = a; break; }
                            if (pitchClass(ladder.note(b)) == pitchClass(chord.root)) { rung = b; break; }
                        }
                    }
                } else {
                    static const int moves[] = {1, 1, 1, 2, -1, 0, 1, 2, 3, -2};
                    int move = moves[rng.below(10)];
                    if (rng.chance(0.3)) direction = -direction;
                    rung = ladder.clamp(rung + direction * move);
                    if (strong || rng.chance(0.35)) rung = ladder.nearestChordTone(rung, chord, direction);
                    // A note struck again at once sounds stuck: move on instead,
                    // unless the tune is about to leave its range.
                    if (rung == before && rng.chance(0.75)) rung = ladder.clamp(rung + direction);
                    // After a leap, step back the other way.
                    if (std::abs(rung - before) >= 3) direction = rung > before ? -1 : 1;
                }
                // Turn back before leaving the range.
                if (rung <= 1) direction = 1;
                if (rung >= ladder.size() - 2) direction = -1;
                if (inPhrase == 0) motifSteps.push_back(rung - before);
            }
            const double accent = step == 0 ? 1.0 : (step % 4 == 0 ? 0.88 : 0.76);
            tune.push_back({bar, step, length, ladder.note(rung), accent * rng.range(0.9, 1.0)});
        }
        if (inPhrase == 3) motifSteps.clear();
    }
    return tune;
}

// Chord notes voiced close together above `low`, keeping near the last voicing.
std::vector<int> voice(const Chord& chord, int low) {
    std::vector<int> out;
    for (int i : chordIntervals(chord.kind)) {
        int n = chord.root + i;
        while (n < low) n += 12;
        while (n >= low + 12) n -= 12;
        out.push_back(n);
    }
    std::sort(out.begin(), out.end());
    return out;
}

int bassRoot(const Chord& chord, int octave) {
    int n = chord.root;
    while (n < octave) n += 12;
    while (n >= octave + 12) n -= 12;
    return n;
}

const std::string& bassPattern(const Style& s, Energy e) {
    if (e == Energy::High) return s.bassHigh;
    if (e == Energy::Mid) return s.bassMid;
    return s.bassLow;
}

const std::vector<DrumLine>& drumPattern(const Style& s, Energy e) {
    if (e == Energy::High) return s.drumsHigh;
    if (e == Energy::Mid) return s.drumsMid;
    return s.drumsLow;
}

} // namespace

Arrangement compose(const SongPlan& plan) {
    const Style& st = plan.style;
    Arrangement a;
    a.bpm = st.bpm;
    a.reverbRoom = st.reverbRoom;

    Part lead{"lead", st.lead, st.leadGain, 0.0, 0.3, st.leadEcho, 0.3, 0.25, {}};
    Part counter{"counter", st.counter, st.counterGain, 0.35, 0.35, 0.0, 0.3, 0.0, {}};
    Part chords{"chords", st.chords, st.chordGain, -0.15, 0.4, 0.0, 0.3, 0.0, {}};
    Part arp{"arpeggio", st.arpeggio, st.arpGain, 0.3, 0.35, 0.5, 0.35, 0.2, {}};
    Part bass{"bass", st.bass, st.bassGain, 0.0, 0.05, 0.0, 0.3, 0.0, {}};
    Part drums{"drums", Instrument::Drums, st.drumGain, 0.0, 0.12, 0.0, 0.3, 0.0, {}};

    Random rng(plan.seed);
    std::map<char, uint64_t> tuneSeeds;
    int barAt = 0;
    for (std::size_t si = 0; si < plan.sections.size(); ++si) {
        const Section& sec = plan.sections[si];
        auto chordOf = [&](int bar) { return sec.chords[static_cast<std::size_t>(bar) % sec.chords.size()]; };
        const double energyLevel = sec.energy == Energy::High ? 1.0 : sec.energy == Energy::Mid ? 0.85
                                   : sec.energy == Energy::Low ? 0.7 : 0.55;

        // Melody (and, where asked, a counter-melody a sixth below, sparser).
        if (sec.melody != ' ') {
            if (!tuneSeeds.count(sec.melody)) tuneSeeds[sec.melody] = plan.seed * 131 + static_cast<uint64_t>(sec.melody);
            const auto tune = makeTune(st, sec, tuneSeeds[sec.melody]);
            const ScaleLadder ladder(st.tonic, st.scale, st.leadLow - 12, st.leadHigh);
            for (const MelodyNote& m : tune) {
                const double beat = stepBeat(barAt + m.bar, m.step, st.swing);
                lead.notes.push_back({beat, m.length * 0.25 * 0.92, m.pitch, m.velocity * energyLevel});
                if (sec.counter && m.step % 4 == 0) {
                    int low = m.pitch - 8;
                    const Chord c = chordOf(m.bar);
                    while (!inChord(low, c) && low > m.pitch - 12) --low;
                    counter.notes.push_back({beat, std::max(m.length, 4) * 0.25, low, 0.55 * m.velocity});
                }
            }
        }

        for (int bar = 0; bar < sec.bars; ++bar) {
            const int absBar = barAt + bar;
            const Chord chord = chordOf(bar);
            const std::vector<int> voicing = voice(chord, st.chordLow);

            // Chords: held pad or a strummed rhythm.
            if (st.strum) {
                for (const auto& [step, length] : onsets(st.strumSteps)) {
                    for (std::size_t k = 0; k < voicing.size(); ++k) {
                        const double beat = stepBeat(absBar, step, st.swing) + 0.02 * static_cast<double>(k);
                        chords.notes.push_back({beat, length * 0.25, voicing[k], 0.5 * energyLevel * rng.range(0.85, 1.0),
                                                -0.2 + 0.2 * static_cast<double>(k)});
                    }
                }
            } else {
                for (std::size_t k = 0; k < voicing.size(); ++k)
                    chords.notes.push_back({absBar * 4.0, 4.0, voicing[k], 0.45 * energyLevel,
                                            -0.3 + 0.3 * static_cast<double>(k)});
            }

            // Arpeggio over the chord, climbing and falling through two octaves.
            if (sec.arpeggio) {
                std::vector<int> climb;
                for (int n : voicing) climb.push_back(n + 12);
                for (int n : voicing) climb.push_back(n + 24);
                std::vector<int> cycle = climb;
                for (int k = static_cast<int>(climb.size()) - 2; k > 0; --k) cycle.push_back(climb[static_cast<std::size_t>(k)]);
                int idx = 0;
                for (int step = 0; step < 16; step += st.arpeggioEvery) {
                    const double vel = (step % 4 == 0 ? 0.6 : 0.45) * energyLevel;
                    arp.notes.push_back({stepBeat(absBar, step, st.swing), st.arpeggioEvery * 0.25 * 0.8,
                                         cycle[static_cast<std::size_t>(idx) % cycle.size()], vel});
                    ++idx;
                }
            }

            // Bass from the section's pattern.
            const std::string& bp = bassPattern(st, sec.energy);
            const int root = bassRoot(chord, st.bassOctave);
            const auto iv = chordIntervals(chord.kind);
            for (int step = 0; step < 16; ++step) {
                const char c = bp[static_cast<std::size_t>(step)];
                if (c == '-' || c == '.') continue;
                int len = 1;
                while (step + len < 16 && bp[static_cast<std::size_t>(step + len)] == '-') ++len;
                int pitch = root;
                if (c == 'F') pitch = root + 7;
                if (c == 'O') pitch = root + 12;
                if (c == 'T') pitch = root + iv[1];
                if (c == 'L') pitch = root - 5;
                const double vel = (step % 4 == 0 ? 0.9 : 0.75) * rng.range(0.92, 1.0);
                bass.notes.push_back({stepBeat(absBar, step, st.swing), len * 0.25 * 0.9, pitch, vel});
            }

            // Drums; the last bar of a section can end in a fill.
            if (sec.energy != Energy::Sparse) {
                const bool fillBar = sec.fill && bar == sec.bars - 1 && si + 1 < plan.sections.size();
                for (const DrumLine& line : drumPattern(st, sec.energy)) {
                    for (int step = 0; step < 16; ++step) {
                        if (fillBar && step >= 12 && line.drum != Kick && line.drum != SoftKick) continue;
                        const char c = line.steps[static_cast<std::size_t>(step)];
                        if (c == '.') continue;
                        const double vel = (c == 'x' ? 0.9 : 0.5) * rng.range(0.88, 1.0);
                        drums.notes.push_back({stepBeat(absBar, step, st.swing), 0.25, line.drum, vel, line.pan});
                    }
                }
                if (fillBar) {
                    const bool loud = sec.energy == Energy::High;
                    for (int step = 12; step < 16; ++step) {
                        const int d = loud ? (step < 14 ? Snare : Tom) : Rim;
                        drums.notes.push_back({stepBeat(absBar, step, st.swing), 0.25, d, 0.5 + 0.1 * (step - 12),
                                               -0.2 + 0.15 * (step - 12)});
                    }
                }
                // Mark the start of a full section with an open hat.
                if (bar == 0 && sec.energy == Energy::High)
                    drums.notes.push_back({absBar * 4.0, 1.0, OpenHat, 0.8, 0.2});
            }
        }
        barAt += sec.bars;
    }
    // A closing bar: the opening chord held over the root, the tune on its tonic.
    const Chord home = plan.sections.front().chords.front();
    for (int n : voice(home, st.chordLow)) chords.notes.push_back({barAt * 4.0, 3.5, n, 0.45});
    bass.notes.push_back({barAt * 4.0, 3.0, bassRoot(home, st.bassOctave), 0.85});
    {
        int tonic = st.tonic;
        while (tonic < st.leadLow) tonic += 12;
        lead.notes.push_back({barAt * 4.0, 3.0, tonic, 0.7});
    }
    drums.notes.push_back({barAt * 4.0, 1.0, st.drumsMid.front().drum, 0.8});
    a.lengthBeats = (barAt + 1) * 4.0;
    a.fadeOutSeconds = 1.0;
    a.parts = {drums, bass, chords, arp, counter, lead};
    return a;
}

} // namespace pomlets::forge
