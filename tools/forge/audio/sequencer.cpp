#include "sequencer.h"

#include "mix_budget.h"

#include <algorithm>
#include <cmath>

namespace pomlets::forge {

namespace {

// A little room after the last beat lets the reverb ring out.
constexpr double kTailSeconds = 1.5;

Stereo renderPart(const Part& part, double secondsPerBeat, int rate, std::size_t frames, Random& rng) {
    Stereo bus(rate, frames);
    for (const NoteEvent& n : part.notes) {
        const Mono voice = renderNote(part.instrument, n.pitch, n.beats * secondsPerBeat, n.velocity, rate, rng);
        const std::size_t at = static_cast<std::size_t>(std::llround(n.beat * secondsPerBeat * rate));
        if (at >= frames) continue;
        bus.add(voice, at, 1.0, part.pan + n.pan);
    }
    bus.resize(frames);
    if (part.echoBeats > 0.0 && part.echoWet > 0.0)
        applyEcho(bus, part.echoBeats * secondsPerBeat, part.echoFeedback, part.echoWet);
    return bus;
}

} // namespace

Stereo renderArrangement(const Arrangement& arrangement, int sampleRate, uint64_t seed) {
    const double spb = arrangement.secondsPerBeat();
    const std::size_t frames = static_cast<std::size_t>((arrangement.seconds() + kTailSeconds) * sampleRate);
    Stereo mix(sampleRate, frames);
    Stereo send(sampleRate, frames);
    Random rng(seed);
    for (const Part& part : arrangement.parts) {
        const Stereo bus = renderPart(part, spb, sampleRate, frames, rng);
        mix.add(bus, 0, part.gain);
        if (part.reverbSend > 0.0) send.add(bus, 0, part.gain * part.reverbSend);
    }
    Reverb reverb(sampleRate, arrangement.reverbRoom, arrangement.reverbDamping);
    reverb.apply(send, 1.0, false);
    mix.add(send, 0, 1.0);

    // Master: bring the peaks up to a fixed level, round them off with a soft
    // saturation, then down to the music's share of the game's mix.
    mix.normalize(1.15);
    for (std::size_t i = 0; i < frames; ++i) {
        mix.left[i] = static_cast<float>(softClip(mix.left[i]));
        mix.right[i] = static_cast<float>(softClip(mix.right[i]));
    }
    mix.normalize(kMusicPeak);
    // Fade the last bars of the track out through the reverb tail.
    const std::size_t fade =
        std::min(frames, static_cast<std::size_t>((arrangement.fadeOutSeconds + kTailSeconds) * sampleRate));
    for (std::size_t k = 0; k < fade; ++k) {
        const std::size_t i = frames - fade + k;
        const double g = 1.0 - static_cast<double>(k) / static_cast<double>(fade);
        mix.left[i] = static_cast<float>(mix.left[i] * g * g);
        mix.right[i] = static_cast<float>(mix.right[i] * g * g);
    }
    mix.fadeEdges(0.02, 0.0);
    return mix;
}

} // namespace pomlets::forge
