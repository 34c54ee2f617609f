// audio_effects.cpp -- the sound effects the player hears: shot ticks, volleys, the boss's
// gathering and declarations, the bomb, pickups, grazes, the player's death, the boss's defeat
// and the menu sounds. Each is synthesised from its own seeded noise stream.
#include "audio_effects.h"

#include <algorithm>
#include <cmath>

namespace audio {

void Finish(Mono& s, double in, double out, float peak) {
    RemoveDc(s);
    FadeEnds(s, in, out);
    NormalizePeak(s, peak);
}

void Finish(Stereo& s, double in, double out, float peak) {
    RemoveDc(s.left);
    RemoveDc(s.right);
    FadeEnds(s, in, out);
    NormalizePeak(s, peak);
}

namespace {

// Fired up to 15 times a second by the third spell card: a soft, high, very short pluck whose
// tone sits below the harsh top of the spectrum so that the stream does not tire the ear.
Mono ShotTick() {
    Noise noise(0x7A400001);
    Phase body, ring;
    Svf air;
    OnePole soften;
    Mono s = Render(0.05, [&](double t) {
        double hz = Glide(t, 3000.0, 2100.0, 0.02);
        float tone = ExpDecay(t, 0.008) * SineAt(body.Step(hz));
        float overtone = 0.25f * ExpDecay(t, 0.004) * SineAt(ring.Step(hz * 2.01));
        float tick = 0.35f * ExpDecay(t, 0.0015) * air.Bandpass(noise.White(), 5500.0, 1.5);
        return soften.Lowpass(tone + overtone + tick, 7000.0);
    });
    Finish(s, 0.0004, 0.01, 0.7f);
    return s;
}

// Every boss volley: an airy rising "fwip" of band-passed noise, topped by a small chime.
Mono Volley() {
    Noise noise(0x7A400002);
    Svf band;
    Phase c1, c2;
    Mono s = Render(0.18, [&](double t) {
        double cutoff = Glide(t, 600.0, 6000.0, 0.09);
        float whoosh = AttackDecay(t, 0.012, 0.03) * band.Bandpass(noise.White(), cutoff, 3.0);
        double ct = t - 0.012;
        float chime = ct < 0.0 ? 0.0f
                               : ExpDecay(ct, 0.045) * (SineAt(c1.Step(2637.0)) + 0.5f * SineAt(c2.Step(3951.1)));
        return 0.9f * whoosh + 0.22f * chime;
    });
    Finish(s, 0.001, 0.02, 0.8f);
    return s;
}

// The boss's defeat: a two-channel noise burst that darkens as it dies, a deep boom that falls
// in pitch, crackle in the first half second and a long metallic shimmer, all in a large room.
Stereo Defeat() {
    Noise nl(0x7A400003), nr(0x7A400013), crackle(0x7A400023);
    const double seconds = 1.9;
    Stereo s(Samples(seconds));
    Svf fl, fr;
    Phase boom;
    OnePole crackleTone;
    for (size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double cutoff = Glide(t, 9000.0, 220.0, 1.0);
        float burstEnv = AttackDecay(t, 0.003, 0.28);
        float l = burstEnv * fl.Lowpass(nl.White(), cutoff, 0.8);
        float r = burstEnv * fr.Lowpass(nr.White(), cutoff, 0.8);
        float b = AttackDecay(t, 0.004, 0.45) * SineAt(boom.Step(Glide(t, 95.0, 30.0, 0.6)));
        b = std::tanh(1.6f * b);
        // Sparse pops, more of them early on.
        float pop = 0.0f;
        if (t < 0.7 && (crackle.Next() & 1023) < static_cast<uint32_t>(24.0 * (1.0 - t / 0.7)))
            pop = crackle.White();
        float c = crackleTone.Highpass(pop, 1500.0);
        s.left[i] = 0.8f * l + 0.9f * b + 0.5f * c;
        s.right[i] = 0.8f * r + 0.9f * b + 0.5f * c;
    }
    // The shimmer: inharmonic partials, spread across the field, ringing well after the blast.
    Noise pick(0x7A400033);
    for (int k = 0; k < 10; ++k) {
        double hz = pick.Uniform(1800.0f, 6200.0f);
        double tau = pick.Uniform(0.35f, 0.7f);
        float pan = pick.Uniform(-0.8f, 0.8f);
        Mono p = Ping(hz, seconds - 0.03, tau);
        MixInto(s, p, Samples(0.03), 0.045f, pan);
    }
    AddReverb(s, 0.85, 0.5, 0.35);
    Finish(s, 0.001, 0.25, 0.89f);
    return s;
}

// A score item: a tiny two-step coin blip, rising.
Mono ItemBlip() {
    Phase phase;
    Mono s = Render(0.042, [&](double t) {
        double hz = t < 0.014 ? 1975.5 : 2637.0;
        return SquareAt(phase.Step(hz), hz, 5) * (t < 0.014 ? 1.0f : ExpDecay(t - 0.014, 0.02));
    });
    Finish(s, 0.0005, 0.008, 0.6f);
    return s;
}

// A graze: a soft, short tick of band-passed noise.
Mono Graze() {
    Noise noise(0x7A400005);
    Svf band;
    Mono s = Render(0.04, [&](double t) {
        return AttackDecay(t, 0.0008, 0.007) * band.Bandpass(noise.White(), 4200.0, 1.4);
    });
    Finish(s, 0.0003, 0.01, 0.6f);
    return s;
}

// The player is hit: a glassy FM zap falling two octaves and more, breaking into a shower of
// bright shards that scatter across the field.
Stereo PlayerDeath() {
    const double seconds = 0.6;
    Phase carrier, modulator;
    Noise crack(0x7A400006);
    Svf crackBand;
    Mono zap = Render(seconds, [&](double t) {
        double hz = Glide(t, 2400.0, 140.0, 0.45);
        double index = 3.0 * ExpDecay(t, 0.15) + 0.4;
        double m = index * SineAt(modulator.Step(hz * 1.5));
        float tone = AttackDecay(t, 0.002, 0.16) * SineAt(carrier.Step(hz) + m / kTwoPi);
        float snap = 0.6f * ExpDecay(t, 0.02) * crackBand.Highpass(crack.White(), 3000.0, 0.7);
        return tone + snap;
    });
    Stereo s = Pan(zap, 0.0f);
    Noise shards(0x7A400016);
    for (int k = 0; k < 26; ++k) {
        double onset = 0.02 + 0.3 * std::pow(shards.Uniform(0.0f, 1.0f), 1.6);
        double hz = shards.Uniform(2500.0f, 8500.0f);
        double tau = shards.Uniform(0.025f, 0.09f);
        float gain = shards.Uniform(0.08f, 0.22f);
        float pan = shards.Uniform(-0.9f, 0.9f);
        MixInto(s, Ping(hz, 5.0 * tau, tau), Samples(onset), gain, pan);
    }
    s.left.resize(Samples(seconds));
    s.right.resize(Samples(seconds));
    AddReverb(s, 0.45, 0.4, 0.25);
    Finish(s, 0.0005, 0.08, 0.85f);
    return s;
}

// The boss gathering energy: a shimmering swell rising two octaves, trembling faster as it
// grows, that snaps shut on a soft click.
Stereo Gather() {
    const double swell = 0.9, seconds = 1.05;
    Noise noise(0x7A400007);
    Svf air;
    Phase p[4], tremolo, click;
    const double ratios[4] = {1.0, 1.5, 2.0, 3.01};
    const float gains[4] = {0.5f, 0.3f, 0.25f, 0.12f};
    Mono body = Render(seconds, [&](double t) {
        double hz = Glide(t, 220.0, 880.0, swell);
        float tone = 0.0f;
        for (int k = 0; k < 4; ++k) tone += gains[k] * SineAt(p[k].Step(hz * ratios[k]));
        float shimmer = 0.75f + 0.25f * SineAt(tremolo.Step(8.0 + 16.0 * t));
        double u = std::min(t / swell, 1.0);
        float rise = static_cast<float>(u * u);
        float hiss = 0.3f * static_cast<float>(u * u * u) * air.Bandpass(noise.White(), Glide(t, 1200.0, 8000.0, swell), 2.0);
        // The swell closes over 15 ms, and the click lands as it does.
        float close = t < swell ? 1.0f : std::max(0.0f, 1.0f - static_cast<float>((t - swell) / 0.015));
        float tick = t < swell ? 0.0f : 0.45f * ExpDecay(t - swell, 0.006) * SineAt(click.Step(2600.0));
        return (tone * shimmer * rise + hiss) * close + tick;
    });
    Stereo s = Pan(body, 0.0f);
    AddReverb(s, 0.5, 0.5, 0.2);
    Finish(s, 0.002, 0.04, 0.85f);
    return s;
}

// A spell-card declaration (and the boss's arrival): a reversed whoosh sucking in, then a bright
// D-major chord struck over a low boom, left ringing in a hall.
Stereo Declaration() {
    const double hit = 0.45, seconds = 1.25;
    Noise nl(0x7A400008), nr(0x7A400018);
    Svf fl, fr;
    Stereo s(Samples(seconds));
    for (size_t i = 0; i < s.size() && i < static_cast<size_t>(Samples(hit)); ++i) {
        double t = static_cast<double>(i) / kRate;
        double u = t / hit;
        float env = static_cast<float>(u * u * u);
        double cutoff = Glide(t, 300.0, 6500.0, hit);
        s.left[i] = 0.7f * env * fl.Bandpass(nl.White(), cutoff, 1.2);
        s.right[i] = 0.7f * env * fr.Bandpass(nr.White(), cutoff * 1.05, 1.2);
    }
    const double chord[4] = {74.0, 81.0, 86.0, 90.0};  // D5 A5 D6 F#6
    const float pans[4] = {-0.5f, 0.4f, -0.2f, 0.5f};
    for (int k = 0; k < 4; ++k) {
        double hz = NoteHz(chord[k]);
        Phase ph;
        Mono stab = Render(seconds - hit, [&](double t) {
            return SawAt(ph.Step(hz), hz, 6) * AttackDecay(t, 0.004, 0.18);
        });
        Mono bell = FmBell(hz * 2.0, seconds - hit, 0.35, 3.5, 1.2);
        MixInto(s, stab, Samples(hit), 0.22f, pans[k]);
        MixInto(s, bell, Samples(hit), 0.12f, -pans[k]);
    }
    Phase boom;
    Mono low = Render(seconds - hit, [&](double t) {
        return AttackDecay(t, 0.003, 0.25) * SineAt(boom.Step(Glide(t, 80.0, 45.0, 0.3)));
    });
    MixInto(s, low, Samples(hit), 0.7f, 0.0f);
    AddReverb(s, 0.85, 0.45, 0.4);
    Finish(s, 0.01, 0.2, 0.89f);
    return s;
}

// The bomb's blast: a bright laser "zwing" diving in pitch, into a soft, dark burst.
Stereo BombBlast() {
    const double seconds = 0.5;
    Noise noise(0x7A400009);
    Phase saw, vibrato;
    Svf beam;
    OnePole dark;
    Mono body = Render(seconds, [&](double t) {
        double hz = Glide(t, 3600.0, 650.0, 0.18) * (1.0 + 0.02 * SineAt(vibrato.Step(30.0)));
        float zwing = AttackDecay(t, 0.002, 0.09) * beam.Bandpass(SawAt(saw.Step(hz), hz, 12), hz * 2.0, 3.0);
        float burst = 0.6f * AttackDecay(t - 0.07, 0.02, 0.13) * dark.Lowpass(noise.White(), 2200.0);
        return zwing + burst;
    });
    Stereo s = Pan(body, 0.0f);
    AddReverb(s, 0.55, 0.5, 0.25);
    Finish(s, 0.0005, 0.06, 0.85f);
    return s;
}

// A replay saved: a cheerful C-major arpeggio of chiming bells climbing an octave.
Stereo Extend() {
    const double seconds = 0.85;
    const double notes[4] = {84.0, 88.0, 91.0, 96.0};  // C6 E6 G6 C7
    const float pans[4] = {-0.3f, -0.1f, 0.1f, 0.3f};
    Stereo s(Samples(seconds));
    for (int k = 0; k < 4; ++k) {
        double start = 0.07 * k;
        double tau = k == 3 ? 0.3 : 0.18;
        MixInto(s, FmBell(NoteHz(notes[k]), seconds - start, tau, 2.0, 1.2), Samples(start), 0.3f, pans[k]);
    }
    AddReverb(s, 0.6, 0.4, 0.3);
    Finish(s, 0.0005, 0.12, 0.85f);
    return s;
}

// A refused menu item: two short, low, beating buzzes.
Mono Invalid() {
    Phase a, b;
    OnePole tone;
    bool restarted = false;
    Mono s = Render(0.27, [&](double t) {
        // Each buzz restarts its oscillators so it opens on a zero crossing.
        if (t >= 0.14 && !restarted) {
            a = b = Phase();
            restarted = true;
        }
        float gate = Gate(t, 0.1, 0.006) + Gate(t - 0.14, 0.1, 0.006);
        float buzz = 0.5f * (SquareAt(a.Step(98.0), 98.0, 15) + SquareAt(b.Step(104.0), 104.0, 15));
        return gate * tone.Lowpass(buzz, 1400.0);
    });
    Finish(s, 0.001, 0.01, 0.8f);
    return s;
}

// A menu chime of two notes, the second taking over from the first; `brightness` adds overtones.
Mono TwoTone(double firstHz, double secondHz, double brightness) {
    const double second = 0.06;
    Phase p1, p2;
    return Render(0.16, [&](double t) {
        auto voice = [&](Phase& p, double hz, double u) {
            if (u < 0.0) return 0.0f;
            double ph = p.Step(hz);
            float v = SineAt(ph) + static_cast<float>(brightness) * (0.35f * SineAt(2.0 * ph) + 0.12f * SineAt(3.0 * ph));
            return AttackDecay(u, 0.002, 0.045) * v;
        };
        return 0.6f * voice(p1, firstHz, t) + voice(p2, secondHz, t - second);
    });
}

// The pause menu opening: a soft bell with a short tail.
Stereo PauseBell() {
    Mono bell = FmBell(NoteHz(79.0), 0.35, 0.09, 3.5, 0.9);   // G5, slightly inharmonic strike
    Mono octave = FmBell(NoteHz(91.0), 0.35, 0.06, 1.0, 0.3);  // a pure octave above
    MixInto(bell, octave, 0, 0.25f);
    Stereo s = Pan(bell, 0.0f);
    AddReverb(s, 0.5, 0.5, 0.2);
    Finish(s, 0.0005, 0.06, 0.8f);
    return s;
}

}  // namespace

void BakeHeardEffects(std::vector<BakedFile>& out) {
    out.push_back({"SE/se_tan00.wav", EncodeWav(ShotTick())});
    out.push_back({"SE/se_tan01.wav", EncodeWav(Volley())});
    out.push_back({"SE/se_enep01.wav", EncodeWav(Defeat())});
    out.push_back({"SE/se_item00.wav", EncodeWav(ItemBlip())});
    out.push_back({"SE/se_graze.wav", EncodeWav(Graze())});
    out.push_back({"SE/se_pldead00.wav", EncodeWav(PlayerDeath())});
    out.push_back({"SE/se_ch00.wav", EncodeWav(Gather())});
    out.push_back({"SE/se_cat00.wav", EncodeWav(Declaration())});
    out.push_back({"SE/se_lazer02.wav", EncodeWav(BombBlast())});
    out.push_back({"SE/se_extend.wav", EncodeWav(Extend())});
    out.push_back({"SE/se_invalid.wav", EncodeWav(Invalid())});
    Mono ok = TwoTone(987.8, 1318.5, 1.0);      // B5 up to E6
    Finish(ok, 0.0005, 0.02, 0.75f);
    out.push_back({"SE/se_ok00.wav", EncodeWav(ok)});
    Phase blip;
    OnePole soft;
    Mono select = Render(0.05, [&](double t) {
        double hz = Glide(t, 1320.0, 1240.0, 0.03);
        double ph = blip.Step(hz);
        return soft.Lowpass(AttackDecay(t, 0.001, 0.014) * (SineAt(ph) + 0.15f * SineAt(3.0 * ph)), 5000.0);
    });
    Finish(select, 0.0005, 0.01, 0.7f);
    out.push_back({"SE/se_select00.wav", EncodeWav(select)});
    Mono cancel = TwoTone(1318.5, 880.0, 0.6);  // E6 down to A5
    Finish(cancel, 0.0005, 0.02, 0.75f);
    out.push_back({"SE/se_cancel00.wav", EncodeWav(cancel)});
    out.push_back({"SE/se_pause.wav", EncodeWav(PauseBell())});
}

}  // namespace audio

void BakeSoundEffects(std::vector<BakedFile>& out) {
    audio::BakeHeardEffects(out);
    audio::BakeSilentEffects(out);
}
