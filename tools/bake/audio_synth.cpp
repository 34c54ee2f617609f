// audio_synth.cpp -- the synthesis toolkit: noise, oscillators, envelopes, filters, plucked
// strings, the stereo reverb and the finishing steps. The encoders are in audio_encode.cpp.
#include "audio_synth.h"

#include <algorithm>
#include <cmath>

namespace audio {

int Samples(double seconds) { return static_cast<int>(std::lround(seconds * kRate)); }

double NoteHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

float Noise::Uniform(float lo, float hi) {
    return lo + (hi - lo) * static_cast<float>(Next() >> 8) * (1.0f / 16777216.0f);
}

namespace {
struct SineTable {
    float v[kSineSize + 1];
    SineTable() {
        for (int i = 0; i <= kSineSize; ++i) v[i] = static_cast<float>(std::sin(kTwoPi * i / kSineSize));
    }
};
const SineTable kSineTable;
}  // namespace

const float* const kSine = kSineTable.v;

float SawAt(double turns, double hz, int maxHarmonics) {
    double sum = 0.0;
    for (int k = 1; k <= maxHarmonics && k * hz < 0.45 * kRate; ++k)
        sum += SineAt(turns * k) / k;
    return static_cast<float>(sum * (2.0 / kPi));
}

float SquareAt(double turns, double hz, int maxHarmonics) {
    double sum = 0.0;
    for (int k = 1; k <= maxHarmonics && k * hz < 0.45 * kRate; k += 2)
        sum += SineAt(turns * k) / k;
    return static_cast<float>(sum * (4.0 / kPi));
}

float TriangleAt(double turns) {
    double p = turns - std::floor(turns);
    return static_cast<float>(p < 0.5 ? 4.0 * p - 1.0 : 3.0 - 4.0 * p);
}

float Gate(double t, double length, double edge) {
    if (t <= 0.0 || t >= length) return 0.0f;
    double u = std::min({1.0, t / edge, (length - t) / edge});
    return static_cast<float>(0.5 - 0.5 * std::cos(kPi * u));
}

float ExpDecay(double t, double tau) { return t < 0.0 ? 0.0f : std::exp(static_cast<float>(-t / tau)); }

float AttackDecay(double t, double attack, double tau) {
    if (t < 0.0) return 0.0f;
    // The rise is a half cosine: it leaves silence with no corner, so even a 1 ms attack
    // does not splash across the spectrum.
    if (t < attack) return static_cast<float>(0.5 - 0.5 * std::cos(kPi * t / attack));
    return std::exp(static_cast<float>(-(t - attack) / tau));
}

DecayEnv::DecayEnv(double tau, double start) : level(start), factor(std::exp(-1.0 / (tau * kRate))) {}

float AttackDecayEnv::Next() {
    if (i < attackN) return static_cast<float>(0.5 - 0.5 * std::cos(kPi * static_cast<double>(i++) / attackN));
    return decay.Next();
}

AdsrEnv::AdsrEnv(double attack, double decay, double sustain_, double gate, double release)
    : attackN(std::max(1, Samples(attack))), gateN(Samples(gate)), releaseN(std::max(1, Samples(release))),
      sustain(sustain_), factor(std::exp(-1.0 / (decay * kRate))) {}

double Glide(double t, double from, double to, double time) {
    if (t >= time) return to;
    if (t <= 0.0) return from;
    return from * std::pow(to / from, t / time);
}

void Svf::Run(float x, double hz, double q) {
    // The coefficients are worked out again only when the cutoff has moved by more than a
    // fraction of a percent: inaudible, and sweeps cost a fraction as much.
    if (std::fabs(hz - hzSet) > 0.002 * hzSet || q != qSet) {
        hzSet = hz;
        qSet = q;
        double limited = std::min(hz, 0.45 * kRate);
        float g = static_cast<float>(std::tan(kPi * limited / kRate));
        float k = static_cast<float>(1.0 / q);
        a1 = 1.0f / (1.0f + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
        kq = k;
    }
    float k = kq;
    float v3 = x - ic2;
    float v1 = a1 * ic1 + a2 * v3;
    float v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2.0f * v1 - ic1;
    ic2 = 2.0f * v2 - ic2;
    low = v2;
    band = v1;
    high = x - k * v1 - v2;
}

void Pluck::Start(double hz, double brightness, double decaySeconds, Noise& noise) {
    size_t period = std::max<size_t>(2, static_cast<size_t>(std::lround(kRate / hz)));
    line.assign(period, 0.0f);
    // The burst is white noise smoothed by how dark the string should sound.
    float smooth = 0.0f;
    float a = static_cast<float>(0.15 + 0.85 * brightness);
    for (float& v : line) {
        smooth += a * (noise.White() - smooth);
        v = smooth;
    }
    float mean = 0.0f;
    for (float v : line) mean += v;
    mean /= static_cast<float>(period);
    for (float& v : line) v -= mean;
    pos = 0;
    last = 0.0f;
    // Each pass loses this much so the tone falls 60 dB in decaySeconds.
    double passesPerSecond = hz;
    damping = static_cast<float>(std::pow(0.001, 1.0 / (passesPerSecond * decaySeconds)));
}

float Pluck::Next() {
    float out = line[pos];
    size_t next = pos + 1 == line.size() ? 0 : pos + 1;
    line[pos] = damping * 0.5f * (out + line[next]);
    pos = next;
    return out;
}

namespace {
// Freeverb's delay lengths at 44.1 kHz; the right side is spread by 23 samples.
const int kCombLengths[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
const int kAllpassLengths[4] = {556, 441, 341, 225};
const int kSpread = 23;
}  // namespace

Reverb::Reverb(double size, double damp) {
    feedback = static_cast<float>(0.7 + 0.28 * size);
    damp1 = static_cast<float>(0.4 * damp);
    damp2 = 1.0f - damp1;
    for (int i = 0; i < 8; ++i) {
        combL[i].buf.assign(kCombLengths[i], 0.0f);
        combR[i].buf.assign(kCombLengths[i] + kSpread, 0.0f);
    }
    for (int i = 0; i < 4; ++i) {
        allL[i].buf.assign(kAllpassLengths[i], 0.0f);
        allR[i].buf.assign(kAllpassLengths[i] + kSpread, 0.0f);
    }
}

void Reverb::Comb(Line& c, const float* in, float* out, size_t n) {
    float* buf = c.buf.data();
    size_t pos = c.pos, size = c.buf.size();
    float store = c.store;
    for (size_t i = 0; i < n; ++i) {
        float y = buf[pos];
        store = y * damp2 + store * damp1;
        buf[pos] = in[i] + store * feedback;
        if (++pos == size) pos = 0;
        out[i] += y;
    }
    c.pos = pos;
    c.store = store;
}

void Reverb::Allpass(Line& a, float* io, size_t n) {
    float* buf = a.buf.data();
    size_t pos = a.pos, size = a.buf.size();
    for (size_t i = 0; i < n; ++i) {
        float b = buf[pos];
        buf[pos] = io[i] + b * 0.5f;
        if (++pos == size) pos = 0;
        io[i] = b - io[i];
    }
    a.pos = pos;
}

void Reverb::Process(const float* inL, const float* inR, float* outL, float* outR, size_t n) {
    const size_t block = 2048;
    float input[block], l[block], r[block];
    for (size_t done = 0; done < n; done += block) {
        size_t m = std::min(block, n - done);
        for (size_t i = 0; i < m; ++i) {
            input[i] = (inL[done + i] + inR[done + i]) * 0.015f;
            l[i] = 0.0f;
            r[i] = 0.0f;
        }
        for (int k = 0; k < 8; ++k) {
            Comb(combL[k], input, l, m);
            Comb(combR[k], input, r, m);
        }
        for (int k = 0; k < 4; ++k) {
            Allpass(allL[k], l, m);
            Allpass(allR[k], r, m);
        }
        std::copy(l, l + m, outL + done);
        std::copy(r, r + m, outR + done);
    }
}

void AddReverb(Stereo& sound, double size, double damp, double mix) {
    Reverb reverb(size, damp);
    Stereo wet(sound.size());
    reverb.Process(sound.left.data(), sound.right.data(), wet.left.data(), wet.right.data(), sound.size());
    float m = static_cast<float>(mix);
    for (size_t i = 0; i < sound.size(); ++i) {
        sound.left[i] += m * wet.left[i];
        sound.right[i] += m * wet.right[i];
    }
}

void FadeIn(Mono& s, double seconds) {
    size_t n = std::min(s.size(), static_cast<size_t>(Samples(seconds)));
    for (size_t i = 0; i < n; ++i) s[i] *= static_cast<float>(i) / static_cast<float>(n);
}

void FadeOut(Mono& s, double seconds) {
    size_t n = std::min(s.size(), static_cast<size_t>(Samples(seconds)));
    for (size_t i = 0; i < n; ++i) s[s.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(n);
}

void FadeEnds(Mono& s, double inSeconds, double outSeconds) {
    FadeIn(s, inSeconds);
    FadeOut(s, outSeconds);
}

void FadeEnds(Stereo& s, double inSeconds, double outSeconds) {
    FadeEnds(s.left, inSeconds, outSeconds);
    FadeEnds(s.right, inSeconds, outSeconds);
}

float Peak(const Mono& s) {
    float p = 0.0f;
    for (float v : s) p = std::max(p, std::fabs(v));
    return p;
}

float Peak(const Stereo& s) { return std::max(Peak(s.left), Peak(s.right)); }

void NormalizePeak(Mono& s, float peak) {
    float p = Peak(s);
    if (p <= 0.0f) return;
    float g = peak / p;
    for (float& v : s) v *= g;
}

void NormalizePeak(Stereo& s, float peak) {
    float p = Peak(s);
    if (p <= 0.0f) return;
    float g = peak / p;
    for (float& v : s.left) v *= g;
    for (float& v : s.right) v *= g;
}

void RemoveDc(Mono& s) {
    // A gentle 20 Hz high-pass: removes offset without touching the body of the sound.
    OnePole hp;
    for (float& v : s) v = hp.Highpass(v, 20.0);
}

void MixInto(Mono& dst, const Mono& src, size_t offset, float gain) {
    if (dst.size() < offset + src.size()) dst.resize(offset + src.size(), 0.0f);
    for (size_t i = 0; i < src.size(); ++i) dst[offset + i] += gain * src[i];
}

Stereo Pan(const Mono& s, float pan) {
    Stereo out(s.size());
    double angle = (pan + 1.0) * kPi / 4.0;
    float gl = static_cast<float>(std::cos(angle)), gr = static_cast<float>(std::sin(angle));
    for (size_t i = 0; i < s.size(); ++i) {
        out.left[i] = gl * s[i];
        out.right[i] = gr * s[i];
    }
    return out;
}

void MixInto(Stereo& dst, const Mono& src, size_t offset, float gain, float pan) {
    if (dst.size() < offset + src.size()) {
        dst.left.resize(offset + src.size(), 0.0f);
        dst.right.resize(offset + src.size(), 0.0f);
    }
    double angle = (pan + 1.0) * kPi / 4.0;
    float gl = gain * static_cast<float>(std::cos(angle)), gr = gain * static_cast<float>(std::sin(angle));
    for (size_t i = 0; i < src.size(); ++i) {
        dst.left[offset + i] += gl * src[i];
        dst.right[offset + i] += gr * src[i];
    }
}

void MixInto(Stereo& dst, const Stereo& src, size_t offset, float gain) {
    MixInto(dst.left, src.left, offset, gain);
    MixInto(dst.right, src.right, offset, gain);
}

float SoftClip(float x) {
    if (x > 3.0f) return 1.0f;
    if (x < -3.0f) return -1.0f;
    float x2 = x * x;
    return x * (27.0f + x2) / (27.0f + 9.0f * x2);
}

void Saturate(Mono& s, float drive) {
    float norm = 1.0f / SoftClip(drive);
    for (float& v : s) v = norm * SoftClip(drive * v);
}

Mono FmBell(double hz, double seconds, double tau, double ratio, double index) {
    Mono out(Samples(seconds));
    Phase carrier, modulator;
    // The decay runs as a per-sample factor; a 1.5 ms rise keeps the strike free of a click.
    const double fall = std::exp(-1.0 / (tau * kRate));
    const size_t rise = static_cast<size_t>(Samples(0.0015));
    double decay = 1.0;
    for (size_t i = 0; i < out.size(); ++i) {
        float env = static_cast<float>(decay) * (i < rise ? static_cast<float>(i) / rise : 1.0f);
        decay *= fall;
        double m = index * env * SineAt(modulator.Step(hz * ratio));
        out[i] = env * SineAt(carrier.Step(hz) + m * kInvTwoPi);
    }
    return out;
}

Mono Ping(double hz, double seconds, double tau) {
    Mono out(Samples(seconds));
    Phase phase;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        out[i] = AttackDecay(t, 0.0008, tau) * SineAt(phase.Step(hz));
    }
    return out;
}

}  // namespace audio
