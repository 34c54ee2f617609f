// music_instruments.cpp -- the music's instruments: how one note of each voice sounds, from its
// pitch, length and velocity. Pitched voices are FM, plucked strings and PolyBLEP saws through
// state-variable filters; the drums are pitched sines and shaped noise.
#include "music.h"

#include <algorithm>
#include <cmath>

namespace audio {

namespace {

// The six detuned square waves of a classic analogue hi-hat: a metallic, inharmonic clang.
// Plain squares: their aliasing vanishes into the hat's own noise and high-pass.
struct Metal {
    double turns[6] = {0.0, 0.13, 0.29, 0.41, 0.57, 0.83};
    float Next() {
        static const double step[6] = {410.6 / kRate, 608.8 / kRate, 739.2 / kRate,
                                       1045.4 / kRate, 1080.0 / kRate, 1600.0 / kRate};
        float sum = 0.0f;
        for (int k = 0; k < 6; ++k) {
            turns[k] += step[k];
            if (turns[k] >= 1.0) turns[k] -= 1.0;
            sum += turns[k] < 0.5 ? 1.0f : -1.0f;
        }
        return sum / 6.0f;
    }
};

Mono Bell(double hz, float v) {
    // Higher bells ring shorter, as small bars do. A pure FM body (1:1) carries the tone and an
    // inharmonic strike (1:3.5) dies three times as fast, so each note starts with a glint.
    double tau = std::clamp(0.9 * std::pow(440.0 / hz, 0.5), 0.25, 1.2);
    Mono out(Samples(std::min(3.0, 4.0 * tau)));  // about −35 dB at the end, then eased out
    Phase body, bodyMod, strike, strikeMod;
    const double fall = std::exp(-1.0 / (tau * kRate)), fastFall = std::exp(-1.0 / (0.3 * tau * kRate));
    const size_t rise = static_cast<size_t>(Samples(0.0015));
    double slow = v, fast = v;
    for (size_t i = 0; i < out.size(); ++i) {
        float onset = i < rise ? static_cast<float>(i) / rise : 1.0f;
        float e1 = onset * static_cast<float>(slow), e2 = onset * static_cast<float>(fast);
        slow *= fall;
        fast *= fastFall;
        double m1 = 1.4 * e1 * SineAt(bodyMod.Step(hz));
        out[i] = 0.75f * e1 * SineAt(body.Step(hz) + m1 * kInvTwoPi);
        // The strike is inaudible once it has fallen 80 dB; skip it from there on.
        if (fast > 1e-4) {
            double m2 = e2 * SineAt(strikeMod.Step(hz * 3.5));
            out[i] += 0.25f * e2 * SineAt(strike.Step(hz) + m2 * kInvTwoPi);
        }
    }
    return out;
}

Mono Plucked(double hz, float v, double gate, double brightness, double decay, bool damped, uint32_t seed) {
    Noise noise(seed);
    Pluck string;
    string.Start(hz, brightness * (0.6 + 0.4 * v), decay, noise);
    double release = damped ? 0.12 : decay;
    double seconds = std::min(decay, gate + release);
    Phase body;
    OnePole soften;
    DecayEnv bodyEnv(decay * 0.4);
    return Render(seconds, [&](double t) {
        float s = string.Next() + (damped ? 0.35f * bodyEnv.Next() * SineAt(body.Step(hz)) : 0.0f);
        float damper = (damped && t > gate) ? static_cast<float>(std::max(0.0, 1.0 - (t - gate) / release)) : 1.0f;
        return v * damper * soften.Lowpass(s, 2500.0 + 6000.0 * brightness);
    });
}

Mono Strings(double hz, float v, double gate) {
    BlepOsc saw[3];
    const double detune[3] = {0.9960, 1.0, 1.0041};
    saw[1].turns = 0.33;
    saw[2].turns = 0.71;
    Phase vibrato;
    // Two gentle one-pole stages: a soft 12 dB slope suits a bowed pad and costs little.
    OnePole stage1, stage2;
    double cutoff = std::clamp(hz * 3.0, 600.0, 2500.0);
    AdsrEnv env(0.28, 0.6, 0.8, gate, 0.7);
    return Render(gate + 0.7, [&](double) {
        double wobble = 1.0 + 0.003 * SineAt(vibrato.Step(5.0));
        float s = 0.0f;
        for (int k = 0; k < 3; ++k) s += saw[k].Saw(hz * detune[k] * wobble);
        return v * 0.4f * env.Next() * stage2.Lowpass(stage1.Lowpass(s, cutoff), cutoff);
    });
}

Mono SoftBass(double hz, float v, double gate) {
    Phase p;
    AdsrEnv env(0.008, 0.35, 0.7, gate, 0.1);
    return Render(gate + 0.1, [&](double) {
        double ph = p.Step(hz);
        float s = SineAt(ph) + 0.3f * SineAt(2.0 * ph) + 0.1f * SineAt(3.0 * ph);
        return v * env.Next() * SoftClip(1.2f * s);
    });
}

Mono SawBass(double hz, float v, double gate) {
    BlepOsc saw, sub;
    Svf filter;
    AdsrEnv env(0.003, 0.2, 0.65, gate, 0.05);
    DecayEnv sweep(0.07, 2200.0 * v);
    return Render(gate + 0.06, [&](double) {
        float s = saw.Saw(hz) + 0.6f * sub.Square(hz * 0.5);
        double cutoff = 180.0 + sweep.Next();
        return v * 0.7f * env.Next() * filter.Lowpass(s, cutoff, 1.3);
    });
}

Mono Lead(double hz, float v, double gate) {
    BlepOsc a, b, c;
    b.turns = 0.5;
    Phase vibrato;
    Svf filter;
    AdsrEnv env(0.008, 0.3, 0.75, gate, 0.15);
    DecayEnv sweep(0.25, 4200.0);
    return Render(gate + 0.15, [&](double t) {
        // Vibrato grows in after the note has spoken, as a player would bow or blow it.
        double depth = 0.006 * std::clamp((t - 0.15) / 0.25, 0.0, 1.0);
        double f = hz * (1.0 + depth * SineAt(vibrato.Step(5.5)));
        float s = a.Saw(f * 0.996) + b.Saw(f * 1.004) + 0.4f * c.Square(f * 0.5);
        double cutoff = 1400.0 + sweep.Next();
        return v * 0.4f * env.Next() * filter.Lowpass(s, cutoff, 1.1);
    });
}

Mono SawArp(double hz, float v, double gate) {
    BlepOsc saw, saw2;
    Svf filter;
    AdsrEnv env(0.002, 0.08, 0.3, gate, 0.05);
    DecayEnv sweep(0.05, 5500.0 * v);
    return Render(gate + 0.05, [&](double) {
        float s = saw.Saw(hz) + 0.5f * saw2.Saw(hz * 2.003);
        double cutoff = 500.0 + sweep.Next();
        return v * 0.5f * env.Next() * filter.Lowpass(s, cutoff, 2.0);
    });
}

Mono Kick(float v) {
    Phase p;
    Noise click(0x4B1C4B1Cu);
    DecayEnv drop(0.03, 120.0), tick(0.002, 0.25);
    AttackDecayEnv env(0.001, 0.16);
    Mono s = Render(0.35, [&](double) {
        float body = env.Next() * SineAt(p.Step(46.0 + drop.Next()));
        return body + tick.Next() * click.White();
    });
    Saturate(s, 1.5f);
    for (float& x : s) x *= v;
    return s;
}

Mono Snare(float v, uint32_t seed) {
    Noise noise(seed);
    Phase a, b;
    Svf band;
    DecayEnv toneEnv(0.05);
    AttackDecayEnv rattleEnv(0.001, 0.11);
    return Render(0.3, [&](double) {
        float tone = toneEnv.Next() * (SineAt(a.Step(185.0)) + 0.5f * SineAt(b.Step(330.0)));
        float rattle = rattleEnv.Next() * band.Bandpass(noise.White(), 3800.0, 0.6);
        return v * (0.55f * tone + 0.9f * rattle);
    });
}

Mono Hat(float v, double tau, double seconds, uint32_t seed) {
    Noise noise(seed);
    Metal metal;
    Svf high;
    AttackDecayEnv env(0.0007, tau);
    return Render(seconds, [&](double) {
        float s = 0.6f * noise.White() + 0.5f * metal.Next();
        return v * env.Next() * high.Highpass(s, 7500.0, 0.8);
    });
}

Mono Crash(float v, uint32_t seed) {
    Noise noise(seed);
    Metal metal;
    Svf high;
    OnePole shade;
    DecayEnv darken(0.5, 9000.0);
    AttackDecayEnv env(0.003, 0.8);
    return Render(2.6, [&](double) {
        float s = noise.White() + 0.4f * metal.Next();
        // The wash darkens as it fades.
        float washed = shade.Lowpass(high.Highpass(s, 4500.0, 0.7), 6000.0 + darken.Next());
        return v * 0.7f * env.Next() * washed;
    });
}

Mono Shaker(float v, uint32_t seed) {
    Noise noise(seed);
    Svf band;
    return Render(0.1, [&](double t) {
        return v * AttackDecay(t, 0.01, 0.025) * band.Bandpass(noise.White(), 6500.0, 1.2);
    });
}

Mono Rim(float v, uint32_t seed) {
    Noise noise(seed);
    Phase p;
    Svf band;
    return Render(0.07, [&](double t) {
        float knock = ExpDecay(t, 0.012) * SineAt(p.Step(1650.0));
        float tick = ExpDecay(t, 0.004) * band.Bandpass(noise.White(), 2600.0, 2.0);
        return v * (0.6f * knock + 0.6f * tick);
    });
}

Mono Tom(double hz, float v, uint32_t seed) {
    Noise noise(seed);
    Phase p;
    OnePole dull;
    return Render(0.5, [&](double t) {
        float head = AttackDecay(t, 0.001, 0.18) * SineAt(p.Step(Glide(t, hz * 1.6, hz, 0.06)));
        return v * (head + 0.2f * ExpDecay(t, 0.01) * dull.Lowpass(noise.White(), 1500.0));
    });
}

}  // namespace

namespace {
Mono RenderVoice(Voice voice, const Note& note, int stepSamples, uint32_t seed) {
    double hz = NoteHz(note.midi);
    double gate = static_cast<double>(note.length) * stepSamples / kRate;
    float v = note.velocity;
    switch (voice) {
    case Voice::Bell: return Bell(hz, v);
    case Voice::Piano: return Plucked(hz, v, gate, 0.45, std::clamp(3.0 * 220.0 / hz, 0.8, 4.0), true, seed);
    case Voice::Harp: return Plucked(hz, v, gate, 0.8, std::clamp(1.6 * 440.0 / hz, 0.5, 2.0), false, seed);
    case Voice::Strings: return Strings(hz, v, gate);
    case Voice::SoftBass: return SoftBass(hz, v, gate);
    case Voice::SawBass: return SawBass(hz, v, gate);
    case Voice::Lead: return Lead(hz, v, gate);
    case Voice::SawArp: return SawArp(hz, v, gate);
    case Voice::Kick: return Kick(v);
    case Voice::Snare: return Snare(v, seed);
    case Voice::ClosedHat: return Hat(v, 0.025, 0.1, seed);
    case Voice::OpenHat: return Hat(v, 0.16, 0.5, seed);
    case Voice::Crash: return Crash(v, seed);
    case Voice::Shaker: return Shaker(v, seed);
    case Voice::Rim: return Rim(v, seed);
    case Voice::Tom: return Tom(hz, v, seed);
    }
    return Mono();
}
}  // namespace

Mono RenderNote(Voice voice, const Note& note, int stepSamples, uint32_t seed) {
    Mono m = RenderVoice(voice, note, stepSamples, seed);
    // Whatever is left of a tail when its buffer ends is eased out, never cut.
    FadeOut(m, 0.02);
    return m;
}

}  // namespace audio
