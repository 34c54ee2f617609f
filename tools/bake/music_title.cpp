// music_title.cpp -- "title.mp3": the calm, haunting title theme in A minor at about 110 BPM.
// Forty-eight bars: a piano-and-bell prelude, the bell melody over strings, bass and soft
// percussion, a bridge where the strings sing, and the melody again in full, whose last bar
// (E major) turns back into the first (A minor).
#include "music.h"

namespace audio {

namespace {

// One bar per chord.
const char* const kChords[48] = {
    // Prelude
    "Am", "Fmaj7", "C", "G", "Am", "Fmaj7", "Dm7", "E",
    // Melody
    "Am", "F", "C", "G", "Am", "F", "E", "E",
    "Dm", "Am", "F", "C", "Dm", "Am", "Esus4", "E",
    // Bridge
    "Fmaj7", "G", "Em", "Am", "Fmaj7", "G", "Esus4", "E",
    // Melody again
    "Am", "F", "C", "G", "Am", "F", "E", "E",
    "Dm", "Am", "F", "C", "Dm", "Am", "Esus4", "E7",
};

const char* const kMelody =
    "E5:4 A5:4 B5:4 C6:4   C6:6 B5:2 A5:8   G5:4 E5:4 G5:4 C6:4   B5:8 A5:4 G5:4 "
    "A5:4 C6:4 E6:4 D6:4   C6:6 B5:2 A5:4 F5:4   G#5:8 B5:4 E6:4   D6:6 C6:2 B5:8 "
    "A5:4 D6:4 F6:6 E6:2   E6:8 C6:4 A5:4   F5:4 A5:4 C6:4 F6:4   E6:6 D6:2 C6:4 G5:4 "
    "F5:4 A5:4 D6:4 C6:4   C6:6 B5:2 A5:4 E5:4   A5:8 B5:8   G#5:8 r:8";

// The strings' own tune for the bridge: long, rising notes.
const char* const kBridge =
    "A5:8 C6:8   B5:8 D6:8   G5:8 B5:4 E6:4   C6:16   A5:8 E6:8   D6:8 B5:8   A5:16   G#5:12 B5:4";

// The bells' quiet call in the prelude, answered four bars later.
const char* const kCall = "r:16 r:16 E6:4 D6:4 C6:4 B5:4 A5:16";

int Bar(int bar) { return bar * 16; }

// The piano's rolling eighths: root, fifth, octave, tenth, twelfth and back.
void PianoBar(Part& piano, int bar, const char* chord, float velocity) {
    std::vector<double> t = ChordTones(chord, 48);
    const double voicing[5] = {t[0], t[2], t[0] + 12, t[1] + 12, t[2] + 12};
    const int order[8] = {0, 1, 2, 3, 4, 3, 2, 1};
    for (int i = 0; i < 8; ++i) {
        float accent = i == 0 ? 1.0f : (i == 4 ? 0.85f : 0.7f);
        piano.notes.push_back({Bar(bar) + 2 * i, 3, voicing[order[i]], velocity * accent});
    }
}

void StringsBar(Part& strings, int bar, const char* chord, float velocity) {
    for (double m : ChordTones(chord, 60)) strings.notes.push_back({Bar(bar), 16, m, velocity});
}

// Root held through the first half, the fifth (or the root an octave up) in the second.
void BassBar(Part& bass, int bar, const char* chord, float velocity) {
    std::vector<double> t = ChordTones(chord, 36);
    bass.notes.push_back({Bar(bar), 6, t[0], velocity});
    bass.notes.push_back({Bar(bar) + 6, 2, t[0], velocity * 0.6f});
    bass.notes.push_back({Bar(bar) + 8, 8, bar % 2 ? t[0] + 12 : t[2], velocity * 0.85f});
}

}  // namespace

void ComposeTitle(Song& song) {
    song.stepSamples = 6000;  // a sixteenth of 110.25 BPM, exactly
    song.bars = 48;
    song.reverbSize = 0.88;
    song.reverbDamp = 0.45;
    song.echoSteps = 6;       // a dotted eighth
    song.echoFeedback = 0.3f;

    Part& piano = song.Add(Voice::Piano, 0.55f, -0.25f, 0.35f);
    Part& strings = song.Add(Voice::Strings, 0.5f, 0.2f, 0.5f);
    Part& bell = song.Add(Voice::Bell, 0.5f, 0.1f, 0.45f, 0.25f);
    Part& lead = song.Add(Voice::Strings, 0.6f, -0.1f, 0.5f, 0.15f);
    Part& bass = song.Add(Voice::SoftBass, 0.42f, 0.0f, 0.1f);
    Part& kick = song.Add(Voice::Kick, 0.4f, 0.0f, 0.1f);
    Part& rim = song.Add(Voice::Rim, 0.4f, 0.3f, 0.35f);
    Part& shaker = song.Add(Voice::Shaker, 0.4f, -0.35f, 0.25f);
    Part& hat = song.Add(Voice::ClosedHat, 0.22f, 0.4f, 0.2f);
    Part& crash = song.Add(Voice::Crash, 0.3f, -0.2f, 0.4f);

    for (int bar = 0; bar < 48; ++bar) {
        const char* chord = kChords[bar];
        bool prelude = bar < 8, bridge = bar >= 24 && bar < 32, last = bar >= 32;
        PianoBar(piano, bar, chord, prelude ? 0.55f : (bridge ? 0.5f : 0.6f));
        if (bar >= 4) StringsBar(strings, bar, chord, prelude ? 0.35f : (bridge ? 0.35f : 0.45f));
        if (!prelude) BassBar(bass, bar, chord, bridge ? 0.6f : 0.75f);
        if (!prelude && !bridge) {
            Drums(kick, Bar(bar), "x.........o.....");
            Drums(rim, Bar(bar), "....x.......x...");
            Drums(shaker, Bar(bar), "g.o.g.o.g.o.g.o.");
            if (last) Drums(hat, Bar(bar), "..o...o...o...og");
        } else if (bridge) {
            // The bridge breathes: only a heartbeat and the shaker.
            Drums(kick, Bar(bar), "x.......o.......");
            Drums(shaker, Bar(bar), "....o.......o...");
        }
    }
    // The rim turns over into each new section.
    Drums(rim, Bar(23) + 12, "oooo");
    Drums(rim, Bar(31) + 12, "gooo");
    Drums(rim, Bar(47) + 12, "gogo");
    for (int bar : {8, 24, 32}) Drums(crash, Bar(bar), "o");

    Melody(bell, Bar(0), kCall, 0, 0.6f);
    Melody(bell, Bar(4), kCall, 0, 0.5f);
    Melody(bell, Bar(8), kMelody, 0, 0.8f);
    Melody(lead, Bar(24), kBridge, 0, 0.8f);
    // In the bridge the bells answer each bar on its third beat, an octave above.
    for (int bar = 24; bar < 32; ++bar) {
        std::vector<double> t = ChordTones(kChords[bar], 72);
        bell.notes.push_back({Bar(bar) + 8, 4, t[bar % 2 ? 1 : 2] + 12, 0.4f});
    }
    Melody(bell, Bar(32), kMelody, 0, 0.85f);
    // The last time round the strings sing along an octave below.
    Melody(lead, Bar(32), kMelody, -12, 0.45f);
}

}  // namespace audio
