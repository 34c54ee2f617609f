// music.h -- the little sequencer that composes and renders the two music tracks: a song is a
// set of parts (one instrument each, with level, pan and effect sends) holding notes placed on
// a grid of sixteenth notes. Notes are written as short texts, chords and drum patterns as
// strings, so each piece reads like a score.
//
// Rendering treats the song as a loop: whatever rings past the last bar (release tails, reverb,
// echoes) is folded back onto the first bars, so the end flows into the start with no seam.
// The MP3 then keeps the loop exact: its LAME tag gives the encoder's delay and padding, so a
// gapless decoder (SDL2_mixer's mpg123) returns exactly bars × 16 × stepSamples samples with
// nothing added at either end; and the encoder is fed one frame of the loop's end before its
// start and of its start after its end (marked as delay and padding too), so the frames at the
// seam are coded with the music that really surrounds them when the track repeats.
#pragma once

#include "audio_synth.h"

#include <deque>
#include <string>
#include <vector>

namespace audio {

enum class Voice {
    Bell,      // FM bell, bright strike and pure tail (celesta, glockenspiel)
    Piano,     // plucked string with a felt-soft body
    Harp,      // bright plucked string for arpeggios
    Strings,   // detuned saws, slow bow, soft low-pass: the pad
    SoftBass,  // rounded sine bass
    SawBass,   // filtered saw bass with a plucky envelope
    Lead,      // detuned saw lead with delayed vibrato
    SawArp,    // short, bright filtered saw stabs
    Kick, Snare, ClosedHat, OpenHat, Crash, Shaker, Rim, Tom,
};

struct Note {
    int step;       // start, in sixteenth notes from the start of the song
    int length;     // in sixteenth notes
    double midi;    // pitch (ignored by most drums)
    float velocity; // 0..1
};

struct Part {
    Voice voice;
    float gain = 1.0f;
    float pan = 0.0f;        // −1 left … +1 right
    float reverb = 0.2f;     // send to the hall
    float echo = 0.0f;       // send to the ping-pong delay
    std::vector<Note> notes;
};

struct Song {
    int stepSamples;         // samples per sixteenth note: sets the tempo exactly
    int bars;                // length of the loop, in 4/4 bars
    double reverbSize = 0.8, reverbDamp = 0.5;
    int echoSteps = 3;       // ping-pong delay time, in sixteenths
    float echoFeedback = 0.35f;
    std::deque<Part> parts;  // a deque, so a Part& from Add stays valid as more are added

    Part& Add(Voice voice, float gain, float pan, float reverb, float echo = 0.0f);
};

// Appends a melody written as space-separated tokens "NAME:LEN", where NAME is a pitch such
// as C4, F#5 or Bb3 (or "r" for a rest) and LEN its length in sixteenths; a token may carry
// a velocity after a second colon ("E5:4:0.6"). Returns the step after the last token.
int Melody(Part& part, int startStep, const std::string& text, int transpose = 0, float velocity = 0.8f);

// Chord tones, lowest first, of a chord symbol such as "Am", "F", "G7", "Dm7", "Fmaj7",
// "Esus4", "B", "Cadd9", placed with its root in the octave starting at `rootOctaveMidi`.
std::vector<double> ChordTones(const std::string& symbol, int rootOctaveMidi);

// Appends one hit per 'x' (full), 'o' (soft) or 'g' (ghost) in `pattern`, one character per
// sixteenth, starting at `startStep`; '.' is a rest. The pattern repeats `times` times.
void Drums(Part& part, int startStep, const std::string& pattern, int times = 1, double midi = 60.0);

// Renders the loop and encodes it as a seamless MP3.
std::vector<unsigned char> RenderSongMp3(const Song& song);
// Renders the loop (exactly bars × 16 × stepSamples samples), tails already folded in.
Stereo RenderSong(const Song& song);
// Renders one note of `voice` into a mono buffer, release tail included.
Mono RenderNote(Voice voice, const Note& note, int stepSamples, uint32_t seed);

// The two pieces.
void ComposeTitle(Song& song);
void ComposeBoss(Song& song);

}  // namespace audio
