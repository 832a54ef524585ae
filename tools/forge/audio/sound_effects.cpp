#include "sound_effects.h"

#include "mix_budget.h"

#include <algorithm>
#include <cmath>

namespace pomlets::forge {

namespace {

constexpr double kRate = kEffectRate;

std::size_t framesFor(double seconds) { return static_cast<std::size_t>(seconds * kRate); }
std::size_t frameAt(double seconds) { return static_cast<std::size_t>(seconds * kRate); }

// Renders f(t) for the given duration into a mono signal.
template <typename F>
Mono render(double seconds, F f) {
    Mono out(framesFor(seconds));
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<float>(f(static_cast<double>(i) / kRate));
    return out;
}

// Exponential glide from a to b with time constant tau.
double glide(double t, double a, double b, double tau) { return b + (a - b) * std::exp(-t / tau); }

// A sine whose frequency follows freq(t), integrated sample by sample.
template <typename F>
Mono sweptSine(double seconds, F freq, double tau, double attack = 0.002) {
    double phase = 0.0;
    return render(seconds, [&](double t) {
        const double v = std::sin(kTwoPi * phase) * percussive(t, attack, tau);
        phase += freq(t) / kRate;
        return v;
    });
}

// Noise through a band-pass whose centre follows centre(t), shaped by env(t).
template <typename C, typename E>
Mono filteredNoise(double seconds, uint64_t seed, C centre, double resonance, E env) {
    Random rng(seed);
    StateVariableFilter f(kEffectRate);
    return render(seconds, [&](double t) { return f.bandpass(rng.bipolar(), centre(t), resonance) * env(t); });
}

Stereo finish(Stereo s, double peak, double fadeOut = 0.01) {
    // Block any DC offset, then fade the ends so that nothing clicks.
    OnePole dcLeft(kEffectRate, 15.0), dcRight(kEffectRate, 15.0);
    for (std::size_t i = 0; i < s.frames(); ++i) {
        s.left[i] = static_cast<float>(dcLeft.highpass(s.left[i]));
        s.right[i] = static_cast<float>(dcRight.highpass(s.right[i]));
    }
    s.fadeEdges(0.001, fadeOut);
    s.normalize(peak);
    return s;
}

Stereo centred(const Mono& m) {
    Stereo s(kEffectRate, m.size());
    s.add(m, 0, 1.0, 0.0);
    return s;
}

// A struck bar or bell: partials at the given ratios, each decaying on its own.
Mono struck(double seconds, double freq, const std::vector<std::pair<double, double>>& partials, double tau) {
    return render(seconds, [&](double t) {
        double v = 0.0;
        double k = 1.0;
        for (const auto& [ratio, level] : partials) {
            v += level * std::sin(kTwoPi * freq * ratio * t) * percussive(t, 0.001, tau / k);
            k += 0.8;
        }
        return v;
    });
}

// --- the recipes ---------------------------------------------------------

// A rubbery bounce: a soft thud and a short tone that bends up and wobbles.
Stereo bounce(double base, double pan, uint64_t seed) {
    const double len = 0.26;
    Mono thud = sweptSine(len, [](double t) { return glide(t, 190.0, 70.0, 0.03); }, 0.05);
    double phase = 0.0;
    Mono tone = render(len, [&](double t) {
        const double wobble = 1.0 + 0.03 * std::sin(kTwoPi * 26.0 * t) * std::exp(-t / 0.08);
        const double f = base * (1.0 + 0.18 * (1.0 - std::exp(-t / 0.05))) * wobble;
        phase += f / kRate;
        return (0.8 * triangleWave(phase) + 0.2 * std::sin(kTwoPi * 2.0 * phase)) * percussive(t, 0.003, 0.065);
    });
    Mono tap = filteredNoise(0.03, seed, [](double) { return 1800.0; }, 1.2,
                             [](double t) { return percussive(t, 0.0005, 0.006); });
    Stereo s(kEffectRate, framesFor(len));
    s.add(thud, 0, 0.9, 0.0);
    s.add(tone, 0, 0.55, pan);
    s.add(tap, 0, 0.35, 0.0);
    return finish(s, 0.7, 0.04);
}

Stereo connect01() { return bounce(330.0, -0.15, 11); }
Stereo connect02() { return bounce(392.0, 0.0, 12); }
Stereo connect03() { return bounce(277.0, 0.15, 13); }

// A cork-like pop with a small puff of air after it.
Stereo pop01() {
    const double len = 0.32;
    Mono body = sweptSine(len, [](double t) { return glide(t, 1300.0, 260.0, 0.018); }, 0.035, 0.001);
    Mono click = filteredNoise(0.05, 21, [](double) { return 2600.0; }, 1.0,
                               [](double t) { return percussive(t, 0.0003, 0.008); });
    Mono puff = filteredNoise(len, 22, [](double t) { return glide(t, 3000.0, 500.0, 0.08); }, 0.8,
                              [](double t) { return percussive(t, 0.004, 0.06); });
    Stereo s(kEffectRate, framesFor(len));
    s.add(body, 0, 1.0, 0.0);
    s.add(click, 0, 0.6, 0.0);
    s.add(puff, 0, 0.35, 0.1);
    return finish(s, 0.75, 0.05);
}

// The Slammer's strike: a low slam, a crack and an electric buzz that dies away.
Stereo slam01() {
    const double len = 0.65;
    Mono boom = sweptSine(len, [](double t) { return glide(t, 110.0, 42.0, 0.06); }, 0.16);
    Mono crack = filteredNoise(0.12, 31, [](double) { return 3500.0; }, 0.6,
                               [](double t) { return percussive(t, 0.0005, 0.018); });
    Random rng(32);
    StateVariableFilter bp(kEffectRate);
    double phase = 0.0;
    Mono buzz = render(len, [&](double t) {
        const double f = 95.0 + 30.0 * std::sin(kTwoPi * 47.0 * t) + 6.0 * rng.bipolar();
        phase += f / kRate;
        const double raw = sawWave(phase, f / kRate);
        return bp.bandpass(raw, glide(t, 3200.0, 600.0, 0.12), 2.5) * percussive(t, 0.002, 0.14);
    });
    Stereo s(kEffectRate, framesFor(len));
    s.add(boom, 0, 1.0, 0.0);
    s.add(crack, 0, 0.7, 0.0);
    s.add(buzz, 0, 0.6, -0.2);
    s.add(buzz, frameAt(0.012), 0.45, 0.3);
    return finish(s, 0.85, 0.08);
}

// A whole row slides sideways: a whoosh that travels across with a zip under it.
Stereo changeRow() {
    const double len = 0.42;
    const auto bell = [len](double t) { return std::pow(std::sin(kPi * std::min(t / len, 1.0)), 1.5); };
    Mono whoosh = filteredNoise(len, 41, [len](double t) { return 500.0 + 2600.0 * std::sin(kPi * t / len); }, 1.4, bell);
    double phase = 0.0;
    Mono zip = render(len, [&](double t) {
        const double f = 260.0 + 420.0 * (t / len);
        phase += f / kRate;
        return triangleWave(phase) * bell(t) * 0.5;
    });
    Stereo s(kEffectRate, framesFor(len));
    // Pan the whoosh from one side to the other in small slices.
    const std::size_t slice = 256;
    for (std::size_t start = 0; start < whoosh.size(); start += slice) {
        const std::size_t end = std::min(whoosh.size(), start + slice);
        Mono part(whoosh.begin() + static_cast<long>(start), whoosh.begin() + static_cast<long>(end));
        const double pan = -0.7 + 1.4 * static_cast<double>(start) / static_cast<double>(whoosh.size());
        s.add(part, start, 1.0, pan);
    }
    s.add(zip, 0, 0.35, 0.0);
    return finish(s, 0.7, 0.03);
}

// A short soft tick as the row pointer steps.
Stereo moveRow() {
    Mono tick = render(0.07, [](double t) {
        return (std::sin(kTwoPi * 1250.0 * t) + 0.35 * std::sin(kTwoPi * 2500.0 * t)) * percussive(t, 0.001, 0.014);
    });
    return finish(centred(tick), 0.45, 0.02);
}

// Three falling notes and a long, sinking last one: the game is over.
Stereo gameOver() {
    struct Step {
        double start, length, note;
    };
    const std::vector<Step> steps = {{0.0, 0.32, 67}, {0.34, 0.32, 66}, {0.68, 0.32, 65}, {1.02, 1.25, 64}};
    Stereo s(kEffectRate, framesFor(2.6));
    for (std::size_t n = 0; n < steps.size(); ++n) {
        const Step& st = steps[n];
        const bool last = n + 1 == steps.size();
        const double f0 = noteFrequency(st.note - 12);
        double phase = 0.0;
        StateVariableFilter lp(kEffectRate);
        const Adsr env{0.03, 0.1, 0.8, 0.12};
        Mono voice = render(st.length + 0.15, [&](double t) {
            double f = f0;
            if (last) f *= (1.0 + 0.012 * std::sin(kTwoPi * 5.5 * t) * std::min(t / 0.3, 1.0)) * (1.0 - 0.03 * t);
            phase += f / kRate;
            const double e = env.at(t, st.length);
            const double wah = 300.0 + 1700.0 * e * (last ? (0.6 + 0.4 * std::cos(kTwoPi * 1.2 * t)) : 1.0);
            return lp.lowpass(sawWave(phase, f / kRate), wah, 1.6) * e;
        });
        s.add(voice, frameAt(st.start), 0.8, 0.0);
    }
    Reverb rv(kEffectRate, 0.5, 0.4);
    rv.apply(s, 0.5);
    return finish(s, 0.8, 0.3);
}

// The Gorgon arrives: a low, dark chord swells under a snake's hiss.
Stereo gorgonArrive() {
    const double len = 1.25;
    const std::vector<double> notes = {45, 46, 52};
    Stereo s(kEffectRate, framesFor(len));
    int k = 0;
    for (double note : notes) {
        double phase = 0.0;
        StateVariableFilter lp(kEffectRate);
        const double f = noteFrequency(note);
        Mono v = render(len, [&](double t) {
            const double swell = std::min(t / 0.45, 1.0) * (t > len - 0.35 ? (len - t) / 0.35 : 1.0);
            const double trem = 1.0 - 0.35 * (0.5 + 0.5 * std::sin(kTwoPi * 7.0 * t));
            phase += f * (1.0 + 0.004 * k) / kRate;
            return lp.lowpass(sawWave(phase, f / kRate), 200.0 + 1300.0 * std::min(t / 0.6, 1.0), 1.3) * swell * trem;
        });
        s.add(v, 0, 0.5, -0.4 + 0.4 * k);
        ++k;
    }
    Random rng(51);
    OnePole hp(kEffectRate, 3500.0);
    Mono hiss = render(len, [&](double t) {
        const double e = t < 0.25 ? 0.0 : std::sin(kPi * std::min((t - 0.25) / 0.9, 1.0));
        return hp.highpass(rng.bipolar()) * e;
    });
    s.add(hiss, 0, 0.25, 0.5);
    Reverb rv(kEffectRate, 0.6, 0.5);
    rv.apply(s, 0.35);
    return finish(s, 0.8, 0.1);
}

// The Gorgon leaves: its chord sinks away and a breath of air goes with it.
Stereo gorgonLeave() {
    const double len = 1.0;
    Stereo s(kEffectRate, framesFor(len));
    const std::vector<double> notes = {57, 58, 64};
    int k = 0;
    for (double note : notes) {
        double phase = 0.0;
        StateVariableFilter lp(kEffectRate);
        const double f0 = noteFrequency(note);
        Mono v = render(len, [&](double t) {
            const double f = f0 * std::pow(0.5, t / len);
            phase += f / kRate;
            const double e = percussive(t, 0.03, 0.35);
            return lp.lowpass(sawWave(phase, f / kRate), 300.0 + 2200.0 * e, 1.0) * e;
        });
        s.add(v, 0, 0.45, 0.4 - 0.4 * k);
        ++k;
    }
    Mono air = filteredNoise(len, 61, [len](double t) { return 2500.0 * (1.0 - 0.7 * t / len); }, 0.9,
                             [](double t) { return percussive(t, 0.05, 0.3); });
    s.add(air, 0, 0.4, -0.3);
    Reverb rv(kEffectRate, 0.6, 0.5);
    rv.apply(s, 0.35);
    return finish(s, 0.75, 0.15);
}

// Two bright square-wave notes, the coin a player pockets.
Stereo coin01() {
    const double len = 0.5;
    double phase = 0.0;
    StateVariableFilter lp(kEffectRate);
    Mono v = render(len, [&](double t) {
        const double f = t < 0.075 ? 988.0 : 1319.0;
        phase += f / kRate;
        const double e = t < 0.075 ? 1.0 : percussive(t - 0.075, 0.001, 0.13);
        return lp.lowpass(pulseWave(phase, f / kRate, 0.5), 5000.0, 0.7) * e;
    });
    Mono shine = struck(len, 2637.0, {{1.0, 1.0}, {2.0, 0.3}}, 0.08);
    Stereo s = centred(v);
    s.add(shine, frameAt(0.075), 0.15, 0.25);
    applyEcho(s, 0.09, 0.25, 0.25);
    return finish(s, 0.6, 0.05);
}

// A calculator's beeps: a key click and a run of pulse tones.
Stereo beeps(const std::vector<std::pair<double, double>>& notes, double noteLength, double bendPerSecond,
             uint64_t seed) {
    const double len = static_cast<double>(notes.size()) * noteLength + 0.25;
    Stereo s(kEffectRate, framesFor(len));
    Mono click = filteredNoise(0.02, seed, [](double) { return 4000.0; }, 1.0,
                               [](double t) { return percussive(t, 0.0002, 0.003); });
    s.add(click, 0, 0.5, 0.0);
    for (std::size_t n = 0; n < notes.size(); ++n) {
        const double f0 = notes[n].first;
        const double hold = notes[n].second;
        double phase = 0.0;
        StateVariableFilter lp(kEffectRate);
        const Adsr env{0.004, 0.03, 0.7, 0.05};
        Mono v = render(hold + 0.06, [&](double t) {
            const double f = f0 * (1.0 + bendPerSecond * t);
            phase += f / kRate;
            return lp.lowpass(pulseWave(phase, f / kRate, 0.3), 3500.0, 0.8) * env.at(t, hold);
        });
        s.add(v, frameAt(0.005 + static_cast<double>(n) * noteLength), 0.6, 0.0);
    }
    return s;
}

Stereo calculateMinus() {
    Stereo s = beeps({{880.0, 0.09}, {587.0, 0.16}}, 0.12, -0.6, 71);
    return finish(s, 0.6, 0.05);
}

Stereo calculatePlus() {
    Stereo s = beeps({{1047.0, 0.06}, {1319.0, 0.06}, {1568.0, 0.06}, {2093.0, 0.12}}, 0.075, 0.0, 72);
    applyEcho(s, 0.07, 0.2, 0.2);
    return finish(s, 0.6, 0.05);
}

// A ball rolls in and crashes into the pins.
Stereo bowling01() {
    const double len = 1.5;
    const double hit = 0.55;
    Stereo s(kEffectRate, framesFor(len));
    Random rng(81);
    StateVariableFilter lp(kEffectRate);
    Mono roll = render(hit + 0.1, [&](double t) {
        const double grow = std::min(t / hit, 1.0);
        const double wobble = 0.75 + 0.25 * std::sin(kTwoPi * (9.0 + 6.0 * t) * t);
        const double end = t > hit ? std::max(0.0, 1.0 - (t - hit) / 0.1) : 1.0;
        return lp.lowpass(rng.bipolar(), 180.0 + 120.0 * grow, 1.2) * (0.3 + 0.7 * grow) * wobble * end;
    });
    s.add(roll, 0, 4.0, -0.3);
    Mono thud = sweptSine(0.4, [](double t) { return glide(t, 150.0, 60.0, 0.04); }, 0.09);
    s.add(thud, frameAt(hit), 0.8, 0.0);
    // Wooden knocks of the pins, scattered over a quarter of a second.
    for (int k = 0; k < 10; ++k) {
        const double at = hit + rng.range(0.0, 0.05) + (k > 4 ? rng.range(0.05, 0.3) : 0.0);
        const double f = rng.range(650.0, 1400.0);
        Mono knock = struck(0.25, f, {{1.0, 1.0}, {2.32, 0.5}, {4.25, 0.25}}, rng.range(0.025, 0.05));
        Mono rattle = filteredNoise(0.06, 90 + static_cast<uint64_t>(k), [f](double) { return f * 1.5; }, 1.5,
                                    [](double t) { return percussive(t, 0.0005, 0.01); });
        const double pan = rng.range(-0.6, 0.6);
        const double level = rng.range(0.25, 0.5) * (k > 4 ? 0.7 : 1.0);
        s.add(knock, frameAt(at), level, pan);
        s.add(rattle, frameAt(at), level * 0.8, pan);
    }
    Reverb rv(kEffectRate, 0.55, 0.3);
    rv.apply(s, 0.3);
    return finish(s, 0.85, 0.2);
}

// A frog's croak: trains of short resonant pulses, one train per syllable.
struct Syllable {
    double start, length, pulseRate, carrier, carrierBend;
};

Stereo croak(const std::vector<Syllable>& syllables, double pan, uint64_t seed) {
    double len = 0.0;
    for (const Syllable& sy : syllables) len = std::max(len, sy.start + sy.length + 0.06);
    Mono out(framesFor(len), 0.0f);
    Random rng(seed);
    for (const Syllable& sy : syllables) {
        double t = 0.0;
        while (t < sy.length) {
            const double shape = std::sin(kPi * t / sy.length);
            const double fc = sy.carrier * (1.0 + sy.carrierBend * t / sy.length) * rng.range(0.97, 1.03);
            const std::size_t at = frameAt(sy.start + t);
            for (std::size_t i = 0; i < framesFor(0.03) && at + i < out.size(); ++i) {
                const double u = static_cast<double>(i) / kRate;
                const double v = (std::sin(kTwoPi * fc * u) + 0.4 * std::sin(kTwoPi * fc * 2.1 * u)) *
                                 std::exp(-u / 0.0045) * std::min(u / 0.0006, 1.0);
                out[at + i] += static_cast<float>(v * shape);
            }
            t += 1.0 / (sy.pulseRate * rng.range(0.93, 1.07));
        }
    }
    StateVariableFilter lp(kEffectRate);
    for (float& x : out) x = static_cast<float>(lp.lowpass(x, 2600.0, 0.8));
    Stereo s(kEffectRate, out.size());
    s.add(out, 0, 1.0, pan);
    return finish(s, 0.7, 0.03);
}

// "Rib-bit": two syllables, the second higher.
Stereo frog01() { return croak({{0.0, 0.13, 95.0, 520.0, 0.15}, {0.17, 0.10, 115.0, 640.0, 0.2}}, -0.3, 101); }
// One deep, slow croak.
Stereo frog02() { return croak({{0.0, 0.32, 60.0, 330.0, -0.1}}, 0.1, 102); }
// Three quick chirps of a small frog.
Stereo frog03() {
    return croak({{0.0, 0.06, 150.0, 900.0, 0.3}, {0.09, 0.06, 150.0, 950.0, 0.3}, {0.18, 0.08, 140.0, 1000.0, 0.2}},
                 0.35, 103);
}

// The Detonator: a plunger's click, then a deep, rolling explosion.
Stereo detonate() {
    const double len = 1.9;
    const double at = 0.06;
    Stereo s(kEffectRate, framesFor(len));
    Mono click = filteredNoise(0.03, 111, [](double) { return 3000.0; }, 2.0,
                               [](double t) { return percussive(t, 0.0003, 0.004); });
    s.add(click, 0, 0.5, 0.0);
    Mono boom = sweptSine(len - at, [](double t) { return glide(t, 80.0, 32.0, 0.15); }, 0.35, 0.004);
    s.add(boom, frameAt(at), 1.0, 0.0);
    for (int ch = 0; ch < 2; ++ch) {
        Random rng(112 + static_cast<uint64_t>(ch));
        StateVariableFilter lp(kEffectRate);
        double crackle = 0.0;
        Mono blast = render(len - at, [&](double t) {
            const double cutoff = glide(t, 7000.0, 180.0, 0.25);
            if (rng.chance(0.002 * std::exp(-t / 0.5))) crackle = rng.bipolar() * 1.5;
            crackle *= 0.995;
            return lp.lowpass(rng.bipolar() + crackle, cutoff, 0.9) * percussive(t, 0.003, 0.45);
        });
        s.add(blast, frameAt(at), 0.9, ch == 0 ? -0.5 : 0.5);
    }
    Reverb rv(kEffectRate, 0.7, 0.4);
    rv.apply(s, 0.4);
    for (std::size_t i = 0; i < s.frames(); ++i) {
        s.left[i] = static_cast<float>(softClip(s.left[i] * 0.9));
        s.right[i] = static_cast<float>(softClip(s.right[i] * 0.9));
    }
    return finish(s, 0.9, 0.4);
}

// A cheerful rising arpeggio on a marimba-like bar: a music note collected.
Stereo music01() {
    const std::vector<double> notes = {72, 76, 79, 84, 88};
    Stereo s(kEffectRate, framesFor(0.9));
    for (std::size_t n = 0; n < notes.size(); ++n) {
        Mono bar = struck(0.5, noteFrequency(notes[n]), {{1.0, 1.0}, {3.93, 0.35}, {10.0, 0.08}}, 0.18);
        s.add(bar, frameAt(0.065 * static_cast<double>(n)), n + 1 == notes.size() ? 0.7 : 0.5,
              -0.4 + 0.2 * static_cast<double>(n));
    }
    applyEcho(s, 0.12, 0.3, 0.3);
    return finish(s, 0.7, 0.1);
}

// A glassy bauble pops before its time: a pop and a ringing glass tone.
Stereo bauble01() {
    const double len = 0.6;
    Stereo s(kEffectRate, framesFor(len));
    Mono pop = sweptSine(0.1, [](double t) { return glide(t, 2200.0, 700.0, 0.012); }, 0.02, 0.0005);
    s.add(pop, 0, 0.8, 0.0);
    Mono ring = struck(len, 2093.0, {{1.0, 1.0}, {2.76, 0.5}, {5.4, 0.2}}, 0.16);
    s.add(ring, frameAt(0.01), 0.45, 0.2);
    Mono ring2 = struck(len, 3136.0, {{1.0, 1.0}, {2.76, 0.4}}, 0.1);
    s.add(ring2, frameAt(0.03), 0.25, -0.2);
    applyEcho(s, 0.08, 0.2, 0.2);
    return finish(s, 0.7, 0.05);
}

// A bauble bursts on its own: a bigger pop and a cascade of falling glass tinkles.
Stereo bauble02() {
    const double len = 1.0;
    Stereo s(kEffectRate, framesFor(len));
    Mono pop = sweptSine(0.15, [](double t) { return glide(t, 1600.0, 350.0, 0.02); }, 0.035, 0.0005);
    s.add(pop, 0, 0.9, 0.0);
    Mono puff = filteredNoise(0.2, 131, [](double t) { return glide(t, 5000.0, 1200.0, 0.05); }, 0.8,
                              [](double t) { return percussive(t, 0.001, 0.04); });
    s.add(puff, 0, 0.4, 0.0);
    Random rng(132);
    const std::vector<double> notes = {96, 93, 91, 88, 86, 84, 81, 79};
    for (std::size_t n = 0; n < notes.size(); ++n) {
        Mono tink = struck(0.3, noteFrequency(notes[n]), {{1.0, 1.0}, {2.76, 0.3}}, 0.07);
        s.add(tink, frameAt(0.06 + 0.07 * static_cast<double>(n) + rng.range(0.0, 0.015)), 0.35,
              rng.range(-0.7, 0.7));
    }
    Reverb rv(kEffectRate, 0.5, 0.3);
    rv.apply(s, 0.3);
    return finish(s, 0.75, 0.15);
}

// Applause: many clappers, each a stream of short band-passed noise bursts.
struct Crowd {
    int clappers;
    double seconds;
    double rateLow, rateHigh;      // claps per second
    double brightLow, brightHigh;  // band centre in Hz
    int whistles;
    uint64_t seed;
};

Stereo applause(const Crowd& c) {
    Stereo s(kEffectRate, framesFor(c.seconds));
    Random rng(c.seed);
    auto swell = [&](double t) {
        const double in = std::min(t / 0.15, 1.0);
        const double fadeStart = c.seconds * 0.45;
        const double out = t < fadeStart ? 1.0 : std::max(0.0, 1.0 - (t - fadeStart) / (c.seconds - fadeStart));
        return in * out * out;
    };
    for (int k = 0; k < c.clappers; ++k) {
        const double pan = rng.range(-0.8, 0.8);
        const double level = rng.range(0.5, 1.0);
        const double centre = rng.range(c.brightLow, c.brightHigh);
        const double period = 1.0 / rng.range(c.rateLow, c.rateHigh);
        const double stopAt = c.seconds * rng.range(0.55, 1.0);
        double t = rng.range(0.0, 0.12);
        while (t < stopAt) {
            Random burstRng(rng.nextBits());
            StateVariableFilter bp(kEffectRate);
            const double tau = rng.range(0.006, 0.012);
            Mono clap = render(0.06, [&](double u) {
                // A clap is a few reflections packed into the first ten milliseconds.
                double e = percussive(u, 0.0005, tau);
                if (u > 0.004) e += 0.5 * percussive(u - 0.004, 0.0005, tau);
                return bp.bandpass(burstRng.bipolar(), centre, 1.3) * e;
            });
            s.add(clap, frameAt(t), level * swell(t), pan);
            t += period * rng.range(0.85, 1.15);
        }
    }
    for (int w = 0; w < c.whistles; ++w) {
        const double at = rng.range(0.2, 0.9);
        const double f0 = rng.range(1900.0, 2400.0);
        double phase = 0.0;
        Random breath(rng.nextBits());
        Mono whistle = render(0.9, [&](double t) {
            const double f = f0 * (1.0 + 0.25 * std::min(t / 0.25, 1.0) - 0.3 * std::max(0.0, t - 0.6));
            phase += f / kRate;
            const double e = std::min(t / 0.05, 1.0) * std::max(0.0, 1.0 - t / 0.9);
            return (std::sin(kTwoPi * phase) + 0.05 * breath.bipolar()) * e;
        });
        s.add(whistle, frameAt(at), 0.25, rng.range(-0.5, 0.5));
    }
    Reverb rv(kEffectRate, 0.55, 0.4);
    rv.apply(s, 0.4);
    // Applause clips may sound together, so each stays at half scale.
    return finish(s, 0.5, 0.2);
}

// A small group, polite and unhurried.
Stereo clapping01() { return applause({7, 2.4, 2.8, 3.6, 900.0, 1600.0, 0, 141}); }
// A full room.
Stereo clapping02() { return applause({22, 3.0, 3.5, 4.8, 1000.0, 2400.0, 0, 142}); }
// A crowd on its feet, fast clapping and whistles.
Stereo clapping03() { return applause({32, 3.4, 4.8, 6.5, 1200.0, 2800.0, 2, 143}); }

} // namespace

const std::vector<SoundEffect>& soundEffects() {
    static const std::vector<SoundEffect> table = {
        {"_changerow.wav", changeRow},   {"_moverow.wav", moveRow},
        {"_gameover.wav", gameOver},     {"_connect01.wav", connect01},
        {"_connect02.wav", connect02},   {"_connect03.wav", connect03},
        {"_pop01.wav", pop01},           {"_slam01.wav", slam01},
        {"_gorgon01.wav", gorgonArrive}, {"_coin01.wav", coin01},
        {"_gorgon02.wav", gorgonLeave},  {"_calculate01.wav", calculateMinus},
        {"_calculate02.wav", calculatePlus}, {"_bowling01.wav", bowling01},
        {"_frog01.wav", frog01},         {"_frog02.wav", frog02},
        {"_frog03.wav", frog03},         {"_detonate.wav", detonate},
        {"_music01.wav", music01},       {"_bauble01.wav", bauble01},
        {"_bauble02.wav", bauble02},     {"_clapping01.wav", clapping01},
        {"_clapping02.wav", clapping02}, {"_clapping03.wav", clapping03},
    };
    return table;
}

std::vector<Stereo> effectsForTheMix() {
    std::vector<Stereo> effects;
    double together = 0.0;
    for (const SoundEffect& effect : soundEffects()) {
        effects.push_back(effect.make());
        together += effects.back().peak();
    }
    for (Stereo& effect : effects) effect.scale(kEffectPeaksTogether / together);
    return effects;
}

} // namespace pomlets::forge
