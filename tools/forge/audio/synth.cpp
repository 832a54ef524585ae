#include "synth.h"

#include <algorithm>
#include <cmath>

namespace pomlets::forge {

double noteFrequency(double midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0);
}

Random::Random(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {
    if (state_ == 0) state_ = 0x1234567ull;
    for (int i = 0; i < 4; ++i) nextBits();
}

uint64_t Random::nextBits() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
}

double Random::uniform() { return static_cast<double>(nextBits() >> 11) * (1.0 / 9007199254740992.0); }
double Random::bipolar() { return uniform() * 2.0 - 1.0; }
double Random::range(double low, double high) { return low + (high - low) * uniform(); }
int Random::below(int n) { return n <= 1 ? 0 : static_cast<int>(uniform() * n); }
bool Random::chance(double p) { return uniform() < p; }

Stereo::Stereo(int rate, std::size_t frames) : sampleRate(rate), left(frames, 0.0f), right(frames, 0.0f) {}

void Stereo::resize(std::size_t frames) {
    left.resize(frames, 0.0f);
    right.resize(frames, 0.0f);
}

void Stereo::add(const Mono& signal, std::size_t start, double gain, double pan) {
    if (start + signal.size() > frames()) resize(start + signal.size());
    const double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * kPi / 4.0;
    const float gl = static_cast<float>(gain * std::cos(angle) * std::sqrt(2.0));
    const float gr = static_cast<float>(gain * std::sin(angle) * std::sqrt(2.0));
    for (std::size_t i = 0; i < signal.size(); ++i) {
        left[start + i] += signal[i] * gl;
        right[start + i] += signal[i] * gr;
    }
}

void Stereo::add(const Stereo& other, std::size_t start, double gain) {
    if (start + other.frames() > frames()) resize(start + other.frames());
    const float g = static_cast<float>(gain);
    for (std::size_t i = 0; i < other.frames(); ++i) {
        left[start + i] += other.left[i] * g;
        right[start + i] += other.right[i] * g;
    }
}

double Stereo::peak() const {
    float p = 0.0f;
    for (std::size_t i = 0; i < frames(); ++i) p = std::max({p, std::fabs(left[i]), std::fabs(right[i])});
    return p;
}

void Stereo::scale(double gain) {
    const float g = static_cast<float>(gain);
    for (std::size_t i = 0; i < frames(); ++i) {
        left[i] *= g;
        right[i] *= g;
    }
}

void Stereo::normalize(double targetPeak) {
    const double p = peak();
    if (p > 0.0) scale(targetPeak / p);
}

void Stereo::fadeEdges(double fadeInSeconds, double fadeOutSeconds) {
    const std::size_t n = frames();
    const std::size_t in = std::min(n, static_cast<std::size_t>(fadeInSeconds * sampleRate));
    const std::size_t out = std::min(n, static_cast<std::size_t>(fadeOutSeconds * sampleRate));
    for (std::size_t i = 0; i < in; ++i) {
        const float g = static_cast<float>(i) / static_cast<float>(in);
        left[i] *= g;
        right[i] *= g;
    }
    for (std::size_t i = 0; i < out; ++i) {
        const float g = static_cast<float>(i) / static_cast<float>(out);
        left[n - 1 - i] *= g;
        right[n - 1 - i] *= g;
    }
}

double sineWave(double phase) { return std::sin(kTwoPi * phase); }

double triangleWave(double phase) {
    const double p = phase - std::floor(phase);
    return p < 0.5 ? 4.0 * p - 1.0 : 3.0 - 4.0 * p;
}

namespace {
// Correction that rounds off the step of a discontinuity within one sample.
double polyBlep(double t, double dt) {
    if (dt <= 0.0) return 0.0;
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}
} // namespace

double sawWave(double phase, double dt) {
    const double p = phase - std::floor(phase);
    return 2.0 * p - 1.0 - polyBlep(p, dt);
}

double pulseWave(double phase, double dt, double duty) {
    const double p = phase - std::floor(phase);
    double v = p < duty ? 1.0 : -1.0;
    v += polyBlep(p, dt);
    double q = p + (1.0 - duty);
    q -= std::floor(q);
    v -= polyBlep(q, dt);
    // Remove the offset of an uneven duty cycle, so the wave centres on zero.
    return v - (2.0 * duty - 1.0);
}

Oscillator::Oscillator(Shape shape, int sampleRate, double duty, double startPhase)
    : shape_(shape), rate_(sampleRate), duty_(duty), phase_(startPhase) {}

double Oscillator::next(double frequency) {
    const double dt = frequency / rate_;
    double v = 0.0;
    switch (shape_) {
    case Shape::Sine: v = sineWave(phase_); break;
    case Shape::Triangle: v = triangleWave(phase_); break;
    case Shape::Saw: v = sawWave(phase_, dt); break;
    case Shape::Pulse: v = pulseWave(phase_, dt, duty_); break;
    }
    phase_ += dt;
    phase_ -= std::floor(phase_);
    return v;
}

double Adsr::at(double t, double hold) const {
    if (t < 0.0) return 0.0;
    auto held = [&](double u) {
        if (u < attack) return attack > 0.0 ? u / attack : 1.0;
        u -= attack;
        if (u < decay) return 1.0 - (1.0 - sustain) * (u / decay);
        return sustain;
    };
    if (t < hold) return held(t);
    const double level = held(hold);
    const double r = t - hold;
    if (r >= release) return 0.0;
    return level * (1.0 - r / release);
}

double percussive(double t, double attack, double tau) {
    if (t < 0.0) return 0.0;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / tau);
}

SineResonator::SineResonator(double frequency, int sampleRate) {
    const double w = kTwoPi * frequency / sampleRate;
    coefficient_ = 2.0 * std::cos(w);
    previous_ = std::sin(-w);
    beforePrevious_ = std::sin(-2.0 * w);
}

double SineResonator::next() {
    const double v = coefficient_ * previous_ - beforePrevious_;
    beforePrevious_ = previous_;
    previous_ = v;
    return v;
}

Decay::Decay(int sampleRate, double attack, double tau)
    : attackStep_(attack > 0.0 ? 1.0 / (attack * sampleRate) : 1.0),
      factor_(std::exp(-1.0 / (tau * sampleRate))),
      attacking_(true) {}

double Decay::next() {
    const double v = value_;
    if (attacking_) {
        value_ += attackStep_;
        if (value_ >= 1.0) {
            value_ = 1.0;
            attacking_ = false;
        }
    } else {
        value_ *= factor_;
    }
    return v;
}

StateVariableFilter::StateVariableFilter(int sampleRate) : rate_(sampleRate) {}

StateVariableFilter::Outputs StateVariableFilter::process(double input, double cutoff, double resonance) {
    cutoff = std::clamp(cutoff, 10.0, rate_ * 0.45);
    // Pade approximation of tan: close enough for a musical filter, and much
    // cheaper than the library call on every sample.
    const double x = kPi * cutoff / rate_;
    const double x2 = x * x;
    const double g = x * (15.0 - x2) / (15.0 - 6.0 * x2);
    const double k = 1.0 / std::max(resonance, 0.05);
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double a2 = g * a1;
    const double a3 = g * a2;
    const double v3 = input - ic2_;
    const double v1 = a1 * ic1_ + a2 * v3;
    const double v2 = ic2_ + a2 * ic1_ + a3 * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    return {v2, v1, input - k * v1 - v2};
}

OnePole::OnePole(int sampleRate, double cutoff) : a_(1.0 - std::exp(-kTwoPi * cutoff / sampleRate)) {}

double OnePole::lowpass(double input) {
    z_ += a_ * (input - z_);
    return z_;
}

Reverb::Reverb(int sampleRate, double roomSize, double damping)
    : feedback_(static_cast<float>(0.70 + 0.28 * roomSize)), damp_(static_cast<float>(damping)) {
    const double scale = sampleRate / 44100.0;
    static const int combLengths[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const int allPassLengths[] = {556, 441, 341, 225};
    for (int ch = 0; ch < 2; ++ch) {
        const int spread = ch == 0 ? 0 : 23;
        for (int len : combLengths) {
            Comb c;
            c.line.assign(static_cast<std::size_t>((len + spread) * scale), 0.0f);
            combs_[ch].push_back(std::move(c));
        }
        for (int len : allPassLengths) {
            AllPass a;
            a.line.assign(static_cast<std::size_t>((len + spread) * scale), 0.0f);
            allPasses_[ch].push_back(std::move(a));
        }
    }
}

float Reverb::comb(Comb& c, float input) {
    const float out = c.line[c.pos];
    c.store = out * (1.0f - damp_) + c.store * damp_;
    c.line[c.pos] = input + c.store * feedback_;
    if (++c.pos >= c.line.size()) c.pos = 0;
    return out;
}

float Reverb::allPass(AllPass& a, float input) {
    const float buffered = a.line[a.pos];
    const float out = buffered - input;
    a.line[a.pos] = input + buffered * 0.5f;
    if (++a.pos >= a.line.size()) a.pos = 0;
    return out;
}

void Reverb::apply(Stereo& buffer, double wet, bool keepDry) {
    const float w = static_cast<float>(wet / 8.0);
    for (std::size_t i = 0; i < buffer.frames(); ++i) {
        const float in = (buffer.left[i] + buffer.right[i]) * 0.5f;
        float out[2];
        for (int ch = 0; ch < 2; ++ch) {
            float acc = 0.0f;
            for (Comb& c : combs_[ch]) acc += comb(c, in);
            for (AllPass& a : allPasses_[ch]) acc = allPass(a, acc);
            out[ch] = acc;
        }
        const float dry = keepDry ? 1.0f : 0.0f;
        buffer.left[i] = buffer.left[i] * dry + out[0] * w;
        buffer.right[i] = buffer.right[i] * dry + out[1] * w;
    }
}

void applyEcho(Stereo& buffer, double delaySeconds, double feedback, double wet) {
    const std::size_t d = static_cast<std::size_t>(delaySeconds * buffer.sampleRate);
    if (d == 0) return;
    std::vector<float> lineL(d, 0.0f), lineR(d, 0.0f);
    std::size_t pos = 0;
    const float fb = static_cast<float>(feedback);
    const float w = static_cast<float>(wet);
    for (std::size_t i = 0; i < buffer.frames(); ++i) {
        const float dl = lineL[pos];
        const float dr = lineR[pos];
        // Ping-pong: each side feeds the other.
        lineL[pos] = buffer.right[i] * 0.5f + dr * fb;
        lineR[pos] = buffer.left[i] * 0.5f + dl * fb;
        buffer.left[i] += dl * w;
        buffer.right[i] += dr * w;
        if (++pos >= d) pos = 0;
    }
}

} // namespace pomlets::forge
