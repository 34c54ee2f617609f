// music_boss.cpp -- "music1.mp3": the driving boss theme in E minor at 160 BPM. Ninety-six bars:
// an arpeggio intro, the lead theme over a four-on-the-floor beat, a lift a whole step up for
// the spell cards, a breakdown that builds again, the theme with bells, the lift once more,
// and a turnaround whose last bar (B major) drives back into the first.
#include "music.h"

namespace audio {

namespace {

struct Section {
    int firstBar, bars;
    const char* chords[8];  // repeated over the section
    int transpose;          // semitones above E minor
};

const Section kSections[] = {
    {0, 8, {"Em", "Em", "C", "D", "Em", "Em", "C", "B"}, 0},        // intro
    {8, 16, {"Em", "C", "D", "Bm", "Em", "C", "Am", "B"}, 0},      // theme
    {24, 16, {"C", "D", "Em", "Em", "C", "D", "B", "B"}, 2},        // lift
    {40, 8, {"Am", "Em", "C", "B", "Am", "Em", "C", "B"}, 0},       // breakdown
    {48, 16, {"Em", "C", "D", "Bm", "Em", "C", "Am", "B"}, 0},     // theme with bells
    {64, 16, {"C", "D", "Em", "Em", "C", "D", "B", "B"}, 2},        // lift again
    {80, 16, {"Em", "C", "D", "Bm", "Em", "C", "Am", "B"}, 0},     // turnaround
};
enum { kIntro, kTheme, kLift, kBreakdown, kThemeBells, kLiftAgain, kTurnaround };

const char* const kTheme1 =
    "E5:3 G5:3 B5:2 E6:4 D6:2 B5:2   C6:6 B5:2 G5:4 E5:4   F#5:3 A5:3 D6:2 F#6:4 E6:2 D6:2 "
    "B5:8 F#5:4 A5:4   G5:3 B5:3 E6:2 G6:4 F#6:2 E6:2   E6:4 D6:2 C6:2 B5:4 G5:4 "
    "A5:3 C6:3 E6:2 A6:4 G6:2 E6:2   F#6:8 D#6:4 B5:4";
const char* const kTheme2 =
    "E5:3 G5:3 B5:2 E6:4 D6:2 B5:2   C6:6 B5:2 G5:4 E5:4   F#5:3 A5:3 D6:2 F#6:4 E6:2 D6:2 "
    "B5:8 F#5:4 A5:4   G5:3 B5:3 E6:2 G6:4 F#6:2 E6:2   E6:4 D6:2 C6:2 B5:4 G5:4 "
    "C6:3 E6:3 A6:2 G6:2 F#6:2 E6:2 C6:2   D#6:4 F#6:4 B6:8";
const char* const kLift1 =
    "G5:4 C6:4 E6:4 G6:4   F#6:6 E6:2 D6:4 A5:4   B5:4 E6:4 G6:4 B6:4   A6:6 G6:2 F#6:4 E6:4 "
    "E6:4 G6:4 C7:6 B6:2   A6:4 F#6:4 D6:4 A6:4   B6:8 A6:4 F#6:4   D#6:8 F#6:4 A6:4";
const char* const kLift2 =
    "G5:4 C6:4 E6:4 G6:4   F#6:6 E6:2 D6:4 A5:4   B5:4 E6:4 G6:4 B6:4   A6:6 G6:2 F#6:4 E6:4 "
    "E6:4 G6:4 C7:6 B6:2   A6:4 F#6:4 D6:4 A6:4   B6:6 A6:2 G6:4 F#6:4   F#6:16";
// The turnaround's call: short stabs that leave room for the arpeggio.
const char* const kCall =
    "E6:2 r:2 E6:2 G6:2 r:4 F#6:4   r:16   D6:2 r:2 D6:2 F#6:2 r:4 E6:4   r:16 "
    "E6:2 r:2 E6:2 G6:2 r:4 B6:4   r:16   C7:2 r:2 B6:2 A6:2 r:4 F#6:4   D#6:4 F#6:4 A6:4 B6:4";

int Bar(int bar) { return bar * 16; }

// Sixteenth-note arpeggio over the chord: up, down and up again across two octaves.
void ArpBar(Part& arp, int bar, const char* chord, int transpose, float velocity) {
    std::vector<double> t = ChordTones(chord, 60 + transpose);
    const double voicing[5] = {t[0], t[1], t[2], t[0] + 12, t[1] + 12};
    const int order[16] = {0, 1, 2, 3, 4, 3, 2, 1, 0, 2, 3, 4, 3, 2, 3, 1};
    for (int i = 0; i < 16; ++i) {
        float accent = i % 4 == 0 ? 1.0f : (i % 2 == 0 ? 0.75f : 0.6f);
        arp.notes.push_back({Bar(bar) + i, 1, voicing[order[i]] - 12, velocity * accent});
    }
}

// Driving octave eighths on the root, with a push into the next bar.
void BassBar(Part& bass, int bar, const char* chord, int transpose, float velocity) {
    double root = ChordTones(chord, 36 + transpose)[0];
    for (int i = 0; i < 8; ++i) {
        double m = i % 2 ? root + 12 : root;
        if (i == 7) m = root + 7;
        bass.notes.push_back({Bar(bar) + 2 * i, 2, m, velocity * (i % 2 ? 0.8f : 1.0f)});
    }
}

void PadBar(Part& pad, int bar, const char* chord, int transpose, float velocity) {
    for (double m : ChordTones(chord, 60 + transpose)) pad.notes.push_back({Bar(bar), 16, m, velocity});
}

}  // namespace

void ComposeBoss(Song& song) {
    song.stepSamples = 4134;  // a sixteenth of 160.01 BPM
    song.bars = 96;
    song.reverbSize = 0.7;
    song.reverbDamp = 0.5;
    song.echoSteps = 3;       // a dotted eighth
    song.echoFeedback = 0.3f;

    Part& arp = song.Add(Voice::SawArp, 0.3f, 0.3f, 0.15f, 0.2f);
    Part& harp = song.Add(Voice::Harp, 0.6f, -0.4f, 0.2f, 0.15f);
    Part& bass = song.Add(Voice::SawBass, 0.4f, 0.0f, 0.03f);
    Part& pad = song.Add(Voice::Strings, 0.35f, -0.2f, 0.4f);
    Part& lead = song.Add(Voice::Lead, 0.45f, 0.05f, 0.25f, 0.25f);
    Part& bell = song.Add(Voice::Bell, 0.35f, 0.35f, 0.35f, 0.2f);
    Part& kick = song.Add(Voice::Kick, 0.55f, 0.0f, 0.05f);
    Part& snare = song.Add(Voice::Snare, 0.75f, 0.05f, 0.25f);
    Part& hat = song.Add(Voice::ClosedHat, 0.35f, 0.35f, 0.1f);
    Part& open = song.Add(Voice::OpenHat, 0.3f, -0.3f, 0.15f);
    Part& crash = song.Add(Voice::Crash, 0.4f, -0.25f, 0.3f);
    Part& tom = song.Add(Voice::Tom, 0.5f, 0.0f, 0.2f);

    for (int s = 0; s < 7; ++s) {
        const Section& sec = kSections[s];
        for (int i = 0; i < sec.bars; ++i) {
            int bar = sec.firstBar + i;
            const char* chord = sec.chords[i % 8];
            int tr = sec.transpose;
            bool lift = s == kLift || s == kLiftAgain;
            bool lastOfSection = i == sec.bars - 1;
            ArpBar(arp, bar, chord, tr, s == kIntro ? 0.5f + 0.05f * i : (s == kBreakdown ? 0.7f : 0.85f));
            if (s != kIntro || i >= 4) BassBar(bass, bar, chord, tr, s == kBreakdown ? 0.6f : 0.9f);
            if (lift || s == kBreakdown || s == kThemeBells) PadBar(pad, bar, chord, tr, lift ? 0.5f : 0.4f);
            if (lift && i % 2 == 0) {
                // Harp sweeps up the chord at the start of every other lift bar.
                std::vector<double> t = ChordTones(chord, 72 + tr);
                for (int k = 0; k < 6; ++k) harp.notes.push_back({Bar(bar) + k, 4, t[k % 3] + 12 * (k / 3), 0.6f});
            }

            // The beat.
            if (s == kBreakdown) {
                Drums(kick, Bar(bar), i < 6 ? "x.......x......." : "x...x...x...x...");
                if (i >= 6) Drums(snare, Bar(bar), i == 6 ? "....x.......x.o." : "x.x.x.x.xxxxxxxx");
                Drums(hat, Bar(bar), "..o...o...o...o.");
                continue;
            }
            Drums(kick, Bar(bar), s == kIntro && i < 4 ? "x.......x......." : "x...x...x...x...");
            if (s == kIntro && i < 4) continue;
            if (lastOfSection) {
                // A fill into the next section: snare, then the toms falling.
                Drums(snare, Bar(bar), "....x.......");
                Drums(snare, Bar(bar) + 12, "gogo");
                if (s != kIntro) {
                    tom.notes.push_back({Bar(bar) + 8, 1, 57.0, 0.9f});
                    tom.notes.push_back({Bar(bar) + 10, 1, 52.0, 0.9f});
                }
            } else {
                Drums(snare, Bar(bar), s == kIntro ? "............x..." : "....x.......x...");
            }
            Drums(hat, Bar(bar), lift ? "xgogxgogxgogxgog" : "o.x.o.x.o.x.o.x.");
            if (s != kIntro && !lastOfSection) Drums(open, Bar(bar), "..............o.");
        }
        if (s != kIntro) Drums(crash, Bar(sec.firstBar), "x");
    }
    Drums(crash, Bar(56), "o");
    Drums(crash, Bar(72), "o");
    Drums(crash, Bar(88), "o");

    Melody(lead, Bar(8), std::string(kTheme1) + " " + kTheme2, 0, 0.85f);
    Melody(lead, Bar(24), std::string(kLift1) + " " + kLift2, 2, 0.9f);
    Melody(lead, Bar(48), std::string(kTheme1) + " " + kTheme2, 0, 0.85f);
    Melody(bell, Bar(48), std::string(kTheme1) + " " + kTheme2, 12, 0.45f);
    Melody(lead, Bar(64), std::string(kLift1) + " " + kLift2, 2, 0.95f);
    Melody(bell, Bar(64), std::string(kLift1) + " " + kLift2, 2, 0.4f);
    Melody(lead, Bar(80), std::string(kCall) + " " + kCall, 0, 0.8f);
    // In the breakdown the bells alone recall the theme's opening, slowly.
    Melody(bell, Bar(40), "E6:8 C6:8 B5:8 G5:8 G5:8 E6:8 D#6:16 E6:8 C6:8 B5:8 E6:8 E6:8 G6:8 F#6:8 D#6:8", 0, 0.6f);
}

}  // namespace audio
