// audio_effects_silent.cpp -- the sound effects the game loads but never plays: each must be a
// valid file, so each is a short sound that fits its name (pops, glitter, bursts, lasers,
// power-ups, a blade, a boom and a drum), plus the Ogg and MP3 files among them.
#include "audio_effects.h"

#include <algorithm>
#include <cmath>

namespace audio {

namespace {

// A pitched drop: a sine gliding from `fromHz` to `toHz` with a quick decay (pops and thuds).
Mono Drop(double seconds, double fromHz, double toHz, double glide, double tau) {
    Phase phase;
    return Render(seconds, [&](double t) {
        return AttackDecay(t, 0.001, tau) * SineAt(phase.Step(Glide(t, fromHz, toHz, glide)));
    });
}

// Noise through a low-pass whose cutoff glides, with an attack-decay envelope.
Mono NoiseBurst(uint32_t seed, double seconds, double fromHz, double toHz, double glide, double tau) {
    Noise noise(seed);
    Svf filter;
    return Render(seconds, [&](double t) {
        return AttackDecay(t, 0.002, tau) * filter.Lowpass(noise.White(), Glide(t, fromHz, toHz, glide), 0.8);
    });
}

// Glitter: `count` bright pings between `lowHz` and `highHz`, scattered over `spread` seconds.
Stereo Glitter(uint32_t seed, double seconds, int count, double lowHz, double highHz, double spread) {
    Noise pick(seed);
    Stereo s(Samples(seconds));
    for (int k = 0; k < count; ++k) {
        double onset = spread * pick.Uniform(0.0f, 1.0f);
        double hz = pick.Uniform(static_cast<float>(lowHz), static_cast<float>(highHz));
        double tau = pick.Uniform(0.03f, 0.1f);
        float gain = pick.Uniform(0.15f, 0.35f);
        float pan = pick.Uniform(-0.8f, 0.8f);
        MixInto(s, Ping(hz, std::min(5.0 * tau, seconds - onset), tau), Samples(onset), gain, pan);
    }
    s.left.resize(Samples(seconds));
    s.right.resize(Samples(seconds));
    return s;
}

// Square-wave notes in a quick upward run (power-ups).
Mono Arpeggio(const double* midi, int count, double spacing, double tau, double seconds) {
    Mono s(Samples(seconds), 0.0f);
    for (int k = 0; k < count; ++k) {
        double hz = NoteHz(midi[k]);
        Phase phase;
        Mono note = Render(seconds - spacing * k, [&](double t) {
            return AttackDecay(t, 0.002, tau) * SquareAt(phase.Step(hz), hz, 7);
        });
        MixInto(s, note, Samples(spacing * k), 0.5f);
    }
    s.resize(Samples(seconds));
    return s;
}

// A rising or falling square sweep (power blips).
Mono Sweep(double fromHz, double toHz, double seconds) {
    Phase phase;
    return Render(seconds, [&](double t) {
        double hz = Glide(t, fromHz, toHz, seconds * 0.9);
        return 0.8f * SquareAt(phase.Step(hz), hz, 5);
    });
}

Mono Explosion(uint32_t seed, double seconds) {
    Noise noise(seed);
    Svf filter;
    Phase boom;
    float held = 0.0f;
    Mono s = Render(seconds, [&](double t) {
        // Sample-and-hold noise, coarser as the blast dies: a crunchy, broken texture.
        int hold = 1 + static_cast<int>(t * 12.0);
        if (noise.Next() % static_cast<uint32_t>(hold) == 0) held = noise.White();
        float crunch = AttackDecay(t, 0.002, 0.22) * filter.Lowpass(held, Glide(t, 6000.0, 200.0, 0.9), 0.9);
        float low = AttackDecay(t, 0.003, 0.35) * SineAt(boom.Step(Glide(t, 75.0, 35.0, 0.5)));
        return 0.8f * crunch + 0.9f * low;
    });
    Saturate(s, 1.5f);
    return s;
}

}  // namespace

void BakeSilentEffects(std::vector<BakedFile>& out) {
    auto wav = [&](const char* name, Mono s, double fadeOut, float peak) {
        Finish(s, 0.0005, fadeOut, peak);
        out.push_back({name, EncodeWav(s)});
    };
    auto wavStereo = [&](const char* name, Stereo s, double fadeOut, float peak) {
        Finish(s, 0.0005, fadeOut, peak);
        out.push_back({name, EncodeWav(s)});
    };

    // A lower, rounder shot pop.
    {
        Mono s = Drop(0.09, 420.0, 180.0, 0.06, 0.025);
        MixInto(s, NoiseBurst(0x7A410001, 0.02, 2500.0, 800.0, 0.02, 0.004), 0, 0.3f);
        wav("SE/se_tan02.wav", s, 0.01, 0.75f);
    }
    {
        Stereo s = Glitter(0x7A410002, 0.65, 30, 3000.0, 9000.0, 0.35);
        AddReverb(s, 0.6, 0.4, 0.3);
        wavStereo("SE/se_kira00.wav", s, 0.1, 0.8f);
    }
    wavStereo("SE/se_kira01.wav", Glitter(0x7A410003, 0.16, 8, 3000.0, 7000.0, 0.06), 0.03, 0.75f);
    wavStereo("SE/se_kira02.wav", Glitter(0x7A410004, 0.16, 8, 5000.0, 10000.0, 0.06), 0.03, 0.75f);
    // A small enemy pop.
    {
        Mono s = NoiseBurst(0x7A410005, 0.18, 3000.0, 800.0, 0.1, 0.03);
        MixInto(s, Drop(0.18, 600.0, 150.0, 0.1, 0.04), 0, 0.8f);
        wav("SE/se_enep00.wav", s, 0.03, 0.8f);
    }
    // A medium burst.
    {
        Mono s = NoiseBurst(0x7A410006, 0.6, 6000.0, 400.0, 0.4, 0.12);
        MixInto(s, Drop(0.6, 120.0, 50.0, 0.3, 0.15), 0, 0.9f);
        Stereo st = Pan(s, 0.0f);
        AddReverb(st, 0.5, 0.5, 0.2);
        wavStereo("SE/se_enep02.wav", st, 0.1, 0.85f);
    }
    // A dull hit.
    {
        Mono s = Drop(0.2, 140.0, 55.0, 0.1, 0.05);
        MixInto(s, NoiseBurst(0x7A410007, 0.05, 400.0, 300.0, 0.05, 0.02), 0, 0.5f);
        wav("SE/se_damage00.wav", s, 0.03, 0.85f);
    }
    // An alternate pickup: two triangle notes, A6 then D7.
    {
        Phase phase;
        Mono s = Render(0.06, [&](double t) {
            double hz = t < 0.025 ? 1760.0 : 2349.3;
            return TriangleAt(phase.Step(hz)) * (t < 0.025 ? 0.8f : ExpDecay(t - 0.025, 0.02));
        });
        wav("SE/se_item01.wav", s, 0.01, 0.6f);
    }
    // A shield humming up and fading: a low saw chord opening its filter, each side detuned.
    {
        const double seconds = 1.3;
        Stereo s(Samples(seconds));
        for (int side = 0; side < 2; ++side) {
            Phase a, b, c, trem;
            Svf filter;
            double detune = side == 0 ? 0.997 : 1.004;
            Mono& ch = side == 0 ? s.left : s.right;
            for (size_t i = 0; i < ch.size(); ++i) {
                double t = static_cast<double>(i) / kRate;
                float swell = static_cast<float>(std::sin(kPi * t / seconds));
                double cutoff = 200.0 + 2300.0 * swell * swell;
                float saw = SawAt(a.Step(110.0 * detune), 110.0) + SawAt(b.Step(110.7), 110.7) +
                            0.7f * SawAt(c.Step(165.0 * detune), 165.0);
                float tremolo = 0.85f + 0.15f * SineAt(trem.Step(6.0));
                ch[i] = swell * tremolo * filter.Lowpass(saw, cutoff, 1.5);
            }
        }
        wavStereo("SE/se_border.wav", s, 0.05, 0.8f);
    }
    // A small gun shot: a bright crack, a click and a thump.
    {
        Noise noise(0x7A41000A);
        Svf band;
        Phase click, thump;
        Mono s = Render(0.14, [&](double t) {
            float crack = AttackDecay(t, 0.0005, 0.02) * band.Bandpass(noise.White(), 2500.0, 0.9);
            float tick = ExpDecay(t, 0.01) * SineAt(click.Step(Glide(t, 1800.0, 400.0, 0.02)));
            float body = ExpDecay(t, 0.03) * SineAt(thump.Step(Glide(t, 180.0, 80.0, 0.05)));
            return crack + 0.5f * tick + 0.6f * body;
        });
        wav("SE/se_gun00.wav", s, 0.02, 0.85f);
    }
    // A warning: a clock tick, then a square beep at 1 kHz.
    {
        Noise noise(0x7A41000B);
        Svf band;
        Phase beep;
        Mono s = Render(0.3, [&](double t) {
            float tick = ExpDecay(t, 0.003) * band.Bandpass(noise.White(), 3500.0, 3.0);
            float gate = Gate(t - 0.05, 0.16, 0.004);
            return tick + 0.5f * gate * SquareAt(beep.Step(1000.0), 1000.0, 5);
        });
        wav("SE/se_timeout.wav", s, 0.02, 0.8f);
    }
    // An explosion, as Ogg Vorbis.
    {
        Mono s = Explosion(0x7A41000C, 1.2);
        Finish(s, 0.0005, 0.2, 0.85f);
        out.push_back({"SE/se_ex.ogg", EncodeOgg(s, 0.4f, 0x4D465831)});
    }
    // A soft magical chime, as MP3: an E-major run of bells over a faint high shimmer.
    {
        const double seconds = 1.3;
        const double notes[5] = {76.0, 80.0, 83.0, 88.0, 92.0};  // E5 G#5 B5 E6 G#6
        Stereo s(Samples(seconds));
        for (int k = 0; k < 5; ++k) {
            double start = 0.06 * k;
            MixInto(s, FmBell(NoteHz(notes[k]), seconds - start, 0.35, 1.0, 0.8), Samples(start), 0.25f,
                    -0.6f + 0.3f * k);
        }
        Stereo shimmer = Glitter(0x7A41000D, seconds, 14, 5000.0, 9000.0, 0.5);
        MixInto(s, shimmer, 0, 0.25f);
        AddReverb(s, 0.7, 0.5, 0.35);
        Finish(s, 0.005, 0.25, 0.8f);
        out.push_back({"SE/se_green.mp3", EncodeMp3(s, 128, false)});
    }
    // A laser beam holding: a thick, buzzing saw chord with a wobbling filter and a high whine.
    {
        Phase a, b, c, whine, wobble, vib;
        Svf filter;
        Mono s = Render(1.0, [&](double) {
            float saw = SawAt(a.Step(220.0), 220.0) + SawAt(b.Step(221.5), 221.5) + 0.5f * SawAt(c.Step(440.8), 440.8);
            double cutoff = 2200.0 + 1200.0 * SineAt(wobble.Step(7.0));
            float high = 0.2f * SineAt(whine.Step(1760.0 * (1.0 + 0.01 * SineAt(vib.Step(6.0)))));
            return 0.4f * filter.Lowpass(saw, cutoff, 2.0) + high;
        });
        FadeIn(s, 0.03);
        wav("SE/se_lazer00.wav", s, 0.1, 0.75f);
    }
    // A laser charging: a tone climbing three octaves, trembling faster and growing.
    {
        Phase tone, trem;
        Mono s = Render(0.7, [&](double t) {
            double hz = Glide(t, 200.0, 1600.0, 0.65);
            float grow = static_cast<float>(std::min(1.0, t / 0.6));
            float tremolo = 0.7f + 0.3f * SineAt(trem.Step(6.0 + 30.0 * t));
            double ph = tone.Step(hz);
            return grow * tremolo * (SineAt(ph) + 0.3f * SawAt(ph, hz, 8));
        });
        wav("SE/se_lazer01.wav", s, 0.04, 0.8f);
    }
    wav("SE/se_power0.wav", Sweep(600.0, 1200.0, 0.09), 0.015, 0.6f);
    wav("SE/se_power1.wav", Sweep(900.0, 1800.0, 0.09), 0.015, 0.6f);
    {
        OnePole soft;
        Mono s = Drop(0.07, 900.0, 300.0, 0.03, 0.015);
        for (float& v : s) v = soft.Lowpass(v, 3000.0);
        wav("SE/se_nep00.wav", s, 0.01, 0.7f);
    }
    {
        const double run[7] = {72.0, 76.0, 79.0, 84.0, 88.0, 91.0, 96.0};  // C5 up to C7
        wav("SE/se_powerup.wav", Arpeggio(run, 7, 0.045, 0.05, 0.55), 0.05, 0.7f);
    }
    // A blade swish: noise whose band falls fast, with a faint metallic ring.
    {
        Noise noise(0x7A410010);
        Svf band;
        Phase r1, r2;
        Mono s = Render(0.3, [&](double t) {
            float swish = AttackDecay(t, 0.03, 0.05) * band.Bandpass(noise.White(), Glide(t, 7000.0, 1200.0, 0.18), 3.0);
            double u = t - 0.04;
            float ring = u < 0.0 ? 0.0f : ExpDecay(u, 0.07) * (SineAt(r1.Step(3120.0)) + SineAt(r2.Step(4410.0)));
            return swish + 0.08f * ring;
        });
        wav("SE/se_slash.wav", s, 0.03, 0.8f);
    }
    // A deep boom in a large space.
    {
        Mono s = Drop(1.6, 60.0, 28.0, 0.8, 0.5);
        Saturate(s, 1.8f);
        MixInto(s, NoiseBurst(0x7A410011, 1.6, 300.0, 150.0, 0.5, 0.2), 0, 0.4f);
        Stereo st = Pan(s, 0.0f);
        AddReverb(st, 0.8, 0.6, 0.25);
        wavStereo("SE/se_boon00.wav", st, 0.3, 0.89f);
    }
    // A taiko-like hit: a drum head's inharmonic modes under the slap of the stick.
    {
        const double ratios[4] = {1.0, 1.59, 2.14, 2.30};
        const double taus[4] = {0.35, 0.15, 0.1, 0.08};
        const float gains[4] = {1.0f, 0.5f, 0.3f, 0.2f};
        Phase modes[4];
        Noise noise(0x7A410012);
        OnePole stick;
        Mono s = Render(0.7, [&](double t) {
            double hz = Glide(t, 95.0, 82.0, 0.04);
            float head = 0.0f;
            for (int k = 0; k < 4; ++k) head += gains[k] * ExpDecay(t, taus[k]) * SineAt(modes[k].Step(hz * ratios[k]));
            return head + 0.5f * ExpDecay(t, 0.015) * stick.Lowpass(noise.White(), 800.0);
        });
        Stereo st = Pan(s, 0.0f);
        AddReverb(st, 0.6, 0.5, 0.2);
        wavStereo("SE/se_don00.wav", st, 0.1, 0.89f);
    }
}

}  // namespace audio
