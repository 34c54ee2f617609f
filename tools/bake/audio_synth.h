// audio_synth.h -- the synthesis toolkit behind every sound effect and both music tracks:
// a seeded noise generator, oscillators, envelopes, filters, a stereo reverb, the finishing
// steps (fades, peak normalising) and the three encoders (16-bit WAV, Ogg Vorbis, MP3).
//
// Everything runs at 44100 Hz on float samples in [-1, 1]. Nothing here reads a clock or an
// unseeded source, so the same calls give the same bytes on every run.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace audio {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kInvRate = 1.0 / kRate;
constexpr double kInvTwoPi = 1.0 / kTwoPi;

using Mono = std::vector<float>;
struct Stereo {
    Mono left, right;
    explicit Stereo(size_t n = 0) : left(n, 0.0f), right(n, 0.0f) {}
    size_t size() const { return left.size(); }
};

// Seconds to a whole number of samples (rounded to nearest).
int Samples(double seconds);

// Fills `seconds` of sound by calling `sample(t)` for each sample time t in seconds, in order.
template <typename F>
std::vector<float> Render(double seconds, F&& sample) {
    std::vector<float> out(Samples(seconds));
    for (size_t i = 0; i < out.size(); ++i) out[i] = sample(static_cast<double>(i) / kRate);
    return out;
}
// Frequency of a MIDI note number (69 = A4 = 440 Hz).
double NoteHz(double midi);

// The noise source: xorshift32, seeded by the caller, so every effect has its own stream.
struct Noise {
    uint32_t state;
    explicit Noise(uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}
    uint32_t Next();
    float White();                      // uniform in [-1, 1)
    float Uniform(float lo, float hi);  // uniform in [lo, hi)
};

// Phase accumulator in turns; the waveforms read it without stepping it.
struct Phase {
    double turns = 0.0;
    double Step(double hz) {            // returns the phase before the step, then advances
        double p = turns;
        turns += hz * kInvRate;
        if (turns >= 1.0) turns -= static_cast<double>(static_cast<long long>(turns));
        return p;
    }
};
// Sine of a phase in turns, from a table of one cycle in 4096 steps read with linear
// interpolation: the error stays below −120 dB at a fraction of the cost of std::sin.
constexpr int kSineSize = 4096;
extern const float* const kSine;  // kSineSize + 1 entries, the last repeating the first
inline float SineAt(double turns) {
    long long whole = static_cast<long long>(turns);
    if (turns < static_cast<double>(whole)) --whole;
    double x = (turns - static_cast<double>(whole)) * kSineSize;
    int i = static_cast<int>(x);
    if (i >= kSineSize) i = kSineSize - 1;
    float f = static_cast<float>(x - i);
    return kSine[i] + f * (kSine[i + 1] - kSine[i]);
}
// Band-limited-ish waveforms: a sum of the first harmonics below the Nyquist limit, so bright
// tones stay free of aliasing whistles.
float SawAt(double turns, double hz, int maxHarmonics = 24);
float SquareAt(double turns, double hz, int maxHarmonics = 24);
float TriangleAt(double turns);
// Cheap anti-aliased saw and square (PolyBLEP): one correction per edge instead of a sum of
// harmonics, for the music's long, many-voiced notes.
struct BlepOsc {
    double turns = 0.0;
    float Saw(double hz);
    float Square(double hz);
};

// Envelopes, t in seconds from the start of the sound.
float ExpDecay(double t, double tau);                         // e^(−t/τ), 1 at t = 0
float AttackDecay(double t, double attack, double tau);      // smooth rise, exponential fall
// 1 while 0 < t < length, with raised-cosine edges of `edge` seconds at both ends; 0 outside.
float Gate(double t, double length, double edge);
// Running envelopes, one step per sample, for the music's many long notes.
struct DecayEnv {                       // e^(−t/τ), from `start`
    double level, factor;
    DecayEnv(double tau, double start = 1.0);
    float Next() { float v = static_cast<float>(level); level *= factor; return v; }
};
struct AttackDecayEnv {                 // as AttackDecay(), sample by sample
    AttackDecayEnv(double attack, double tau) : attackN(std::max(1, Samples(attack))), decay(tau) {}
    float Next();
private:
    long long i = 0, attackN;
    DecayEnv decay;
};
// Attack-decay-sustain-release: a linear rise, an exponential fall to `sustain` while the key is
// held (`gate` seconds), then a release that eases to zero in `release` seconds.
struct AdsrEnv {
    AdsrEnv(double attack, double decay, double sustain, double gate, double release);
    float Next();
private:
    long long i = 0, attackN, gateN, releaseN;
    double level = 0.0, sustain, factor, releaseFrom = 0.0;
};
// Exponential glide from `from` to `to` over `time` seconds, then holds `to`.
double Glide(double t, double from, double to, double time);

// One-pole low-pass / high-pass with a settable cutoff.
struct OnePole {
    float z = 0.0f, a = 0.0f;
    double hzSet = -1.0;
    float Lowpass(float x, double hz);
    float Highpass(float x, double hz) { return x - Lowpass(x, hz); }
};

// State-variable filter (trapezoidal, stable under fast cutoff sweeps).
struct Svf {
    float ic1 = 0.0f, ic2 = 0.0f;
    float low = 0.0f, band = 0.0f, high = 0.0f;
    double hzSet = -1.0, qSet = -1.0;
    float a1 = 0.0f, a2 = 0.0f, a3 = 0.0f, kq = 1.0f;
    void Run(float x, double hz, double q);
    float Lowpass(float x, double hz, double q) { Run(x, hz, q); return low; }
    float Bandpass(float x, double hz, double q) { Run(x, hz, q); return band; }
    float Highpass(float x, double hz, double q) { Run(x, hz, q); return high; }
};

// Plucked string (Karplus–Strong): a noise burst circulating in a delay line of one period,
// softened a little on every pass. `brightness` 0..1 sets how much of the burst's top survives.
struct Pluck {
    std::vector<float> line;
    size_t pos = 0;
    float last = 0.0f, damping = 0.996f;
    void Start(double hz, double brightness, double decaySeconds, Noise& noise);
    float Next();
};

// Stereo reverb: eight damped combs and four all-passes per side (the classic Schroeder /
// Moorer layout), tuned for 44.1 kHz. `size` 0..1 is the tail length, `damp` 0..1 the darkening.
struct Reverb {
    Reverb(double size, double damp);
    // Reads n samples from inL/inR and writes the wet signal to outL/outR (which may be the
    // same buffers as the input). Works line by line over blocks: the same sums, far faster.
    void Process(const float* inL, const float* inR, float* outL, float* outR, size_t n);
private:
    struct Line { std::vector<float> buf; size_t pos = 0; float store = 0.0f; };
    void Comb(Line& c, const float* in, float* out, size_t n);
    static void Allpass(Line& a, float* io, size_t n);
    Line combL[8], combR[8], allL[4], allR[4];
    float feedback, damp1, damp2;
};
// Adds the sound's own reverb to it, at level `mix`.
void AddReverb(Stereo& sound, double size, double damp, double mix);

// Finishing.
void FadeIn(Mono& s, double seconds);
void FadeOut(Mono& s, double seconds);
void FadeEnds(Mono& s, double inSeconds, double outSeconds);
void FadeEnds(Stereo& s, double inSeconds, double outSeconds);
float Peak(const Mono& s);
float Peak(const Stereo& s);
void NormalizePeak(Mono& s, float peak);
void NormalizePeak(Stereo& s, float peak);
// Removes a constant offset so the sound starts and ends on the zero line.
void RemoveDc(Mono& s);
// Mixes `src` into `dst` at `offset` samples with gain `gain` (growing `dst` if needed).
void MixInto(Mono& dst, const Mono& src, size_t offset, float gain);
Stereo Pan(const Mono& s, float pan);   // −1 left … +1 right, constant power
// Mixes a mono sound into a stereo one at `offset`, placed at `pan` (growing `dst` if needed).
void MixInto(Stereo& dst, const Mono& src, size_t offset, float gain, float pan);
void MixInto(Stereo& dst, const Stereo& src, size_t offset, float gain);
// Soft saturation: rounds off peaks instead of clipping them (a cheap tanh; ±1 beyond ±3).
float SoftClip(float x);
void Saturate(Mono& s, float drive);

// Small voices shared by the effects and the music.
// FM bell: a sine carrier at `hz` whose modulator runs at `ratio` × hz; the modulation index
// starts at `index` and fades with the tone, so the strike is bright and the tail pure.
Mono FmBell(double hz, double seconds, double tau, double ratio, double index);
// A sine ping with a 0.8 ms attack (quick, yet no click) and exponential decay (glitter, shatter).
Mono Ping(double hz, double seconds, double tau);

// Hot per-sample pieces, inline so the instruments' loops stay tight.
inline uint32_t Noise::Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

inline float Noise::White() { return static_cast<float>(Next() >> 8) * (2.0f / 16777216.0f) - 1.0f; }

// The PolyBLEP residual: smooths the jump of a naive wave edge over one sample on each side.
inline double PolyBlep(double t, double dt) {
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

inline float BlepOsc::Saw(double hz) {
    double dt = hz * kInvRate;
    double v = 2.0 * turns - 1.0 - PolyBlep(turns, dt);
    turns += dt;
    if (turns >= 1.0) turns -= 1.0;
    return static_cast<float>(v);
}

inline float BlepOsc::Square(double hz) {
    double dt = hz * kInvRate;
    double v = (turns < 0.5 ? 1.0 : -1.0) + PolyBlep(turns, dt);
    double half = turns + 0.5;
    if (half >= 1.0) half -= 1.0;
    v -= PolyBlep(half, dt);
    turns += dt;
    if (turns >= 1.0) turns -= 1.0;
    return static_cast<float>(v);
}

inline float AdsrEnv::Next() {
    if (i < gateN) {
        if (i < attackN) level = static_cast<double>(i) / attackN;
        else level = sustain + (level - sustain) * factor;
    } else {
        if (i == gateN) releaseFrom = level;
        double r = static_cast<double>(i - gateN) / releaseN;
        // A quadratic fall: exponential-looking, yet it reaches zero exactly when the release ends.
        level = r >= 1.0 ? 0.0 : releaseFrom * (1.0 - r) * (1.0 - r);
    }
    ++i;
    return static_cast<float>(level);
}

inline float OnePole::Lowpass(float x, double hz) {
    if (hz != hzSet) {
        hzSet = hz;
        a = static_cast<float>(1.0 - std::exp(-kTwoPi * hz / kRate));
    }
    z += a * (x - z);
    return z;
}


// Encoders. Samples are clamped to [-1, 1] and rounded to 16 bits.
std::vector<unsigned char> EncodeWav(const Mono& s);
std::vector<unsigned char> EncodeWav(const Stereo& s);
// Ogg Vorbis, quality −0.1..1; the stream serial number is fixed so the bytes never vary.
std::vector<unsigned char> EncodeOgg(const Mono& s, float quality, int serial);
// MP3 at a constant bit rate, with a LAME/Info tag whose delay and padding fields tell a
// gapless decoder exactly which samples are the sound. When `loop` is set, the encoder is fed
// the end of the sound before its start and the start after its end, and the tag marks those
// extra samples as padding too: the frames at either end are then coded with the music that
// surrounds them in the loop, so the seam carries no encoder transient.
std::vector<unsigned char> EncodeMp3(const Stereo& s, int kbps, bool loop);
// LAME fills a few shared tables the first time an encoder starts; call this once before
// encoding on several threads so they never fill them at the same moment.
void PrepareMp3Encoder();

}  // namespace audio
