// A small synthesiser for the forge: oscillators, envelopes, noise, filters,
// a reverb and the stereo buffer they all write into. Everything is plain
// arithmetic on floats with a fixed-seed generator, so a run always produces
// the same samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pomlets::forge {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// Frequency of a MIDI note number (69 = A4 = 440 Hz).
double noteFrequency(double midiNote);

// Deterministic noise and random choices (xorshift64*).
class Random {
public:
    explicit Random(uint64_t seed);
    uint64_t nextBits();
    double uniform();                 // [0, 1)
    double bipolar();                 // [-1, 1)
    double range(double low, double high);
    int below(int n);                 // 0 .. n - 1
    bool chance(double p);

private:
    uint64_t state_;
};

using Mono = std::vector<float>;

// Two channels of equal length at one sample rate.
struct Stereo {
    int sampleRate = 22050;
    std::vector<float> left;
    std::vector<float> right;

    Stereo() = default;
    Stereo(int rate, std::size_t frames);
    std::size_t frames() const { return left.size(); }
    void resize(std::size_t frames);
    // Adds a mono signal from the given frame on, with gain and pan (-1 left,
    // +1 right, equal power); grows the buffer when the signal runs past its end.
    void add(const Mono& signal, std::size_t start, double gain, double pan);
    void add(const Stereo& other, std::size_t start, double gain);
    double peak() const;
    // Scales so that the loudest sample reaches the given peak.
    void normalize(double targetPeak);
    void scale(double gain);
    // Short fades at both ends so that no sound starts or stops with a click.
    void fadeEdges(double fadeInSeconds, double fadeOutSeconds);
};

// Phase runs over one cycle in [0, 1).
double sineWave(double phase);
double triangleWave(double phase);
// Band-limited saw and pulse (polyBLEP); dt is the phase increment per sample.
double sawWave(double phase, double dt);
double pulseWave(double phase, double dt, double duty);

// A running oscillator whose frequency may change on every sample.
class Oscillator {
public:
    enum class Shape { Sine, Triangle, Saw, Pulse };
    Oscillator(Shape shape, int sampleRate, double duty = 0.5, double startPhase = 0.0);
    double next(double frequency);

private:
    Shape shape_;
    double rate_;
    double duty_;
    double phase_;
};

// Attack, decay, sustain, release; the note is held for `hold` seconds.
struct Adsr {
    double attack = 0.01;
    double decay = 0.1;
    double sustain = 0.7;
    double release = 0.1;
    double at(double t, double hold) const;
    double length(double hold) const { return hold + release; }
};

// exp(-t / tau) with a short linear attack to avoid clicks.
double percussive(double t, double attack, double tau);

// A sine of fixed frequency made by rotation, one multiply a sample instead of
// a library call; starts at phase 0.
class SineResonator {
public:
    SineResonator(double frequency, int sampleRate);
    double next();

private:
    double coefficient_;
    double previous_;
    double beforePrevious_;
};

// percussive() stepped sample by sample: a linear attack, then a decay by a
// constant factor per sample.
class Decay {
public:
    Decay(int sampleRate, double attack, double tau);
    double next();

private:
    double attackStep_;
    double factor_;
    double value_ = 0.0;
    bool attacking_;
};

// Topology-preserving state-variable filter; cutoff may change per sample.
class StateVariableFilter {
public:
    explicit StateVariableFilter(int sampleRate);
    struct Outputs {
        double low;
        double band;
        double high;
    };
    Outputs process(double input, double cutoff, double resonance);
    double lowpass(double input, double cutoff, double resonance = 0.7) {
        return process(input, cutoff, resonance).low;
    }
    double bandpass(double input, double cutoff, double resonance = 2.0) {
        return process(input, cutoff, resonance).band;
    }
    double highpass(double input, double cutoff, double resonance = 0.7) {
        return process(input, cutoff, resonance).high;
    }

private:
    double rate_;
    double ic1_ = 0.0;
    double ic2_ = 0.0;
};

// One-pole smoothing filter (lowpass); highpass is input minus it.
class OnePole {
public:
    OnePole(int sampleRate, double cutoff);
    double lowpass(double input);
    double highpass(double input) { return input - lowpass(input); }

private:
    double a_;
    double z_ = 0.0;
};

// A compact stereo reverb (parallel combs into series all-passes).
class Reverb {
public:
    Reverb(int sampleRate, double roomSize, double damping);
    // Processes the buffer in place: the wet signal at `wet` is added, and
    // the dry signal kept unless keepDry is false (a send bus).
    void apply(Stereo& buffer, double wet, bool keepDry = true);

private:
    struct Comb {
        std::vector<float> line;
        std::size_t pos = 0;
        float store = 0.0f;
    };
    struct AllPass {
        std::vector<float> line;
        std::size_t pos = 0;
    };
    float comb(Comb& c, float input);
    float allPass(AllPass& a, float input);

    float feedback_;
    float damp_;
    std::vector<Comb> combs_[2];
    std::vector<AllPass> allPasses_[2];
};

// A tempo-free stereo echo (ping-pong) with feedback.
void applyEcho(Stereo& buffer, double delaySeconds, double feedback, double wet);

// Soft saturation that never exceeds +-1.
inline double softClip(double x) {
    if (x > 1.5) return 1.0;
    if (x < -1.5) return -1.0;
    return x - (4.0 / 27.0) * x * x * x;
}

} // namespace pomlets::forge
