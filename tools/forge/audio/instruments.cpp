#include "instruments.h"

#include <algorithm>
#include <cmath>

namespace pomlets::forge {

namespace {

std::size_t count(double seconds, int rate) { return static_cast<std::size_t>(std::max(0.0, seconds) * rate); }

Mono sawLead(double f, double hold, double vel, int rate) {
    const Adsr env{0.01, 0.15, 0.75, 0.12};
    Mono out(count(env.length(hold), rate));
    double p1 = 0.0, p2 = 0.3;
    StateVariableFilter lp(rate);
    SineResonator lfo(5.2, rate);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double vib = 1.0 + 0.005 * lfo.next() * std::clamp((t - 0.2) / 0.3, 0.0, 1.0);
        const double fa = f * vib, fb = f * vib * 1.006;
        const double v = 0.5 * sawWave(p1, fa / rate) + 0.5 * sawWave(p2, fb / rate);
        p1 += fa / rate;
        p2 += fb / rate;
        p1 -= std::floor(p1);
        p2 -= std::floor(p2);
        const double e = env.at(t, hold);
        const double cutoff = 900.0 + 2600.0 * vel * (0.4 + 0.6 * e);
        out[i] = static_cast<float>(lp.lowpass(v, cutoff, 1.1) * e * vel);
    }
    return out;
}

Mono squareLead(double f, double hold, double vel, int rate) {
    const Adsr env{0.005, 0.08, 0.6, 0.06};
    Mono out(count(env.length(hold), rate));
    double p = 0.0;
    OnePole lp(rate, 6000.0);
    SineResonator lfo(6.0, rate), sweep(0.7, rate);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double vib = 1.0 + 0.008 * lfo.next() * std::clamp((t - 0.15) / 0.2, 0.0, 1.0);
        const double fr = f * vib;
        const double duty = 0.25 + 0.1 * sweep.next();
        const double v = pulseWave(p, fr / rate, duty);
        p += fr / rate;
        p -= std::floor(p);
        out[i] = static_cast<float>(lp.lowpass(v) * env.at(t, hold) * vel * 0.7);
    }
    return out;
}

Mono pluck(double f, double hold, double vel, int rate, Random& rng) {
    const double ring = std::min(hold + 0.6, 2.5);
    Mono out(count(ring, rate));
    const std::size_t period = std::max<std::size_t>(2, static_cast<std::size_t>(rate / f));
    std::vector<float> line(period);
    for (float& x : line) x = static_cast<float>(rng.bipolar());
    // Soften the initial burst so the string sounds warm rather than scratchy.
    for (int pass = 0; pass < 2; ++pass)
        for (std::size_t i = 1; i < period; ++i) line[i] = 0.5f * (line[i] + line[i - 1]);
    std::size_t pos = 0;
    const float decay = 0.996f;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const std::size_t next = (pos + 1) % period;
        const float v = line[pos];
        line[pos] = decay * 0.5f * (line[pos] + line[next]);
        pos = next;
        const double damp = t > hold ? std::exp(-(t - hold) / 0.08) : 1.0;
        out[i] = static_cast<float>(v * vel * damp * std::min(t / 0.002, 1.0));
    }
    return out;
}

Mono marimba(double f, double hold, double vel, int rate) {
    const double len = std::min(hold, 0.5) + 0.7;
    Mono out(count(len, rate));
    SineResonator p1(f, rate), p2(f * 3.93, rate), p3(f * 10.0, rate);
    Decay e1(rate, 0.002, 0.28), e2(rate, 0.001, 0.05), e3(rate, 0.0005, 0.012);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double v = p1.next() * e1.next() + 0.3 * p2.next() * e2.next() + 0.06 * p3.next() * e3.next();
        out[i] = static_cast<float>(v * vel * std::min(1.0, (len - t) / 0.05));
    }
    return out;
}

Mono bell(double f, double hold, double vel, int rate) {
    const double len = hold + 1.4;
    Mono out(count(len, rate));
    SineResonator modulator(f * 3.5, rate);
    Decay indexEnv(rate, 0.001, 0.5), amp(rate, 0.002, 0.9);
    double phase = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double mod = modulator.next() * 2.2 * indexEnv.next();
        const double v = std::sin(kTwoPi * phase + mod) * amp.next();
        phase += f / rate;
        phase -= std::floor(phase);
        out[i] = static_cast<float>(v * vel * std::min(1.0, (len - t) / 0.1) * 0.6);
    }
    return out;
}

Mono electricPiano(double f, double hold, double vel, int rate) {
    const double len = hold + 0.5;
    Mono out(count(len, rate));
    SineResonator modulator(f, rate), tremolo(4.5, rate);
    Decay indexEnv(rate, 0.001, 0.25), amp(rate, 0.003, 1.6);
    const double releaseFactor = std::exp(-1.0 / (0.15 * rate));
    double release = 1.0;
    double phase = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double mod = modulator.next() * (0.3 + 1.2 * vel) * indexEnv.next();
        if (t > hold) release *= releaseFactor;
        const double trem = 1.0 + 0.1 * tremolo.next();
        const double v = std::sin(kTwoPi * phase + mod) * amp.next() * release * trem;
        phase += f / rate;
        phase -= std::floor(phase);
        out[i] = static_cast<float>(v * vel * 0.7);
    }
    return out;
}

Mono pad(double f, double hold, double vel, int rate) {
    const Adsr env{0.5, 0.6, 0.8, 0.9};
    Mono out(count(env.length(hold), rate));
    double p[3] = {0.0, 0.33, 0.66};
    const double detune[3] = {0.994, 1.0, 1.007};
    StateVariableFilter lp(rate);
    SineResonator drift(0.2, rate);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        double v = 0.0;
        for (int k = 0; k < 3; ++k) {
            const double fk = f * detune[k];
            v += sawWave(p[k], fk / rate);
            p[k] += fk / rate;
            p[k] -= std::floor(p[k]);
        }
        const double e = env.at(t, hold);
        const double cutoff = 600.0 + 900.0 * e + 200.0 * drift.next();
        out[i] = static_cast<float>(lp.lowpass(v / 3.0, cutoff, 0.8) * e * vel);
    }
    return out;
}

Mono synthBass(double f, double hold, double vel, int rate) {
    const Adsr env{0.004, 0.2, 0.7, 0.05};
    Mono out(count(env.length(hold), rate));
    double p = 0.0;
    StateVariableFilter lp(rate);
    SineResonator sub(f, rate);
    Decay filterEnv(rate, 0.002, 0.08);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double v = 0.6 * sawWave(p, f / rate) + 0.6 * sub.next();
        p += f / rate;
        p -= std::floor(p);
        const double e = env.at(t, hold);
        const double cutoff = 220.0 + 1400.0 * vel * filterEnv.next();
        out[i] = static_cast<float>(lp.lowpass(v, cutoff, 1.3) * e * vel);
    }
    return out;
}

Mono pickBass(double f, double hold, double vel, int rate) {
    const double len = hold + 0.08;
    Mono out(count(len, rate));
    double p = 0.0;
    OnePole lp(rate, 900.0);
    SineResonator second(2.0 * f, rate);
    Decay amp(rate, 0.003, 0.6);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double v = triangleWave(p + 0.25) + 0.3 * second.next();
        p += f / rate;
        p -= std::floor(p);
        const double release = t > hold ? std::max(0.0, 1.0 - (t - hold) / 0.08) : 1.0;
        out[i] = static_cast<float>(lp.lowpass(v) * amp.next() * release * vel);
    }
    return out;
}

Mono sineBass(double f, double hold, double vel, int rate) {
    const Adsr env{0.03, 0.3, 0.8, 0.25};
    Mono out(count(env.length(hold), rate));
    SineResonator fundamental(f, rate), octave(2.0 * f, rate);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double v = fundamental.next() + 0.15 * octave.next();
        out[i] = static_cast<float>(v * env.at(t, hold) * vel);
    }
    return out;
}

template <typename F>
Mono drumRender(double seconds, int rate, F f) {
    Mono out(count(seconds, rate));
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<float>(f(static_cast<double>(i) / rate));
    return out;
}

Mono drum(int which, double vel, int rate, Random& rng) {
    switch (which) {
    case Kick:
    case SoftKick: {
        const bool soft = which == SoftKick;
        double phase = 0.0;
        return drumRender(soft ? 0.35 : 0.4, rate, [&](double t) {
            const double f = 48.0 + (soft ? 60.0 : 110.0) * std::exp(-t / 0.03);
            phase += f / rate;
            const double click = soft ? 0.0 : 0.3 * rng.bipolar() * percussive(t, 0.0002, 0.002);
            return (std::sin(kTwoPi * phase) * percussive(t, 0.002, soft ? 0.12 : 0.16) + click) * vel;
        });
    }
    case Snare:
    case Clap: {
        StateVariableFilter bp(rate);
        const bool clap = which == Clap;
        return drumRender(0.3, rate, [&](double t) {
            double e = percussive(t, 0.001, clap ? 0.05 : 0.07);
            if (clap && t > 0.008) e += 0.6 * percussive(t - 0.008, 0.001, 0.04);
            const double noise = bp.bandpass(rng.bipolar(), clap ? 1400.0 : 3000.0, 0.9) * e;
            const double tone = clap ? 0.0 : 0.5 * std::sin(kTwoPi * 190.0 * t) * percussive(t, 0.001, 0.04);
            return (noise * 1.3 + tone) * vel;
        });
    }
    case Rim: {
        StateVariableFilter bp(rate);
        return drumRender(0.08, rate, [&](double t) {
            const double v = std::sin(kTwoPi * 1700.0 * t) * percussive(t, 0.0003, 0.012) +
                             bp.bandpass(rng.bipolar(), 2500.0, 3.0) * percussive(t, 0.0003, 0.006);
            return v * vel * 0.8;
        });
    }
    case ClosedHat:
    case OpenHat:
    case Shaker:
    case Brush: {
        OnePole hp1(rate, which == Shaker ? 5000.0 : which == Brush ? 2500.0 : 7000.0);
        OnePole hp2(rate, which == Shaker ? 5000.0 : which == Brush ? 2500.0 : 7000.0);
        const double tau = which == OpenHat ? 0.18 : which == Shaker ? 0.03 : which == Brush ? 0.06 : 0.025;
        const double attack = which == Shaker ? 0.012 : which == Brush ? 0.02 : 0.0005;
        return drumRender(tau * 5.0, rate, [&](double t) {
            const double n = hp2.highpass(hp1.highpass(rng.bipolar()));
            return n * percussive(t, attack, tau) * vel * 0.7;
        });
    }
    case Tom: {
        double phase = 0.0;
        return drumRender(0.45, rate, [&](double t) {
            const double f = 110.0 + 60.0 * std::exp(-t / 0.05);
            phase += f / rate;
            return std::sin(kTwoPi * phase) * percussive(t, 0.002, 0.15) * vel;
        });
    }
    default:
        return {};
    }
}

} // namespace

Mono renderNote(Instrument instrument, int pitch, double seconds, double velocity, int sampleRate, Random& rng) {
    const double f = noteFrequency(pitch);
    switch (instrument) {
    case Instrument::SawLead: return sawLead(f, seconds, velocity, sampleRate);
    case Instrument::SquareLead: return squareLead(f, seconds, velocity, sampleRate);
    case Instrument::Pluck: return pluck(f, seconds, velocity, sampleRate, rng);
    case Instrument::Marimba: return marimba(f, seconds, velocity, sampleRate);
    case Instrument::Bell: return bell(f, seconds, velocity, sampleRate);
    case Instrument::ElectricPiano: return electricPiano(f, seconds, velocity, sampleRate);
    case Instrument::Pad: return pad(f, seconds, velocity, sampleRate);
    case Instrument::SynthBass: return synthBass(f, seconds, velocity, sampleRate);
    case Instrument::PickBass: return pickBass(f, seconds, velocity, sampleRate);
    case Instrument::SineBass: return sineBass(f, seconds, velocity, sampleRate);
    case Instrument::Drums: return drum(pitch, velocity, sampleRate, rng);
    }
    return {};
}

} // namespace pomlets::forge
