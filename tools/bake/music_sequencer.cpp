// music_sequencer.cpp -- the sequencer: parses melodies, chords and drum patterns into notes,
// renders every part through its instrument, runs the echo and hall, folds the tails round the
// loop, masters the result and encodes both tracks as seamless MP3 loops.
#include "music.h"

#include "bake.h"

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace audio {

Part& Song::Add(Voice voice, float gain, float pan, float reverb, float echo) {
    Part p;
    p.voice = voice;
    p.gain = gain;
    p.pan = pan;
    p.reverb = reverb;
    p.echo = echo;
    parts.push_back(p);
    return parts.back();
}

namespace {

// Semitone of a note letter with its accidental, read from `text` at `pos` (advanced past it).
int ReadPitchClass(const std::string& text, size_t& pos) {
    static const int letters[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (pos >= text.size() || text[pos] < 'A' || text[pos] > 'G')
        throw std::invalid_argument("not a note name: " + text);
    int semitone = letters[text[pos] - 'A'];
    ++pos;
    if (pos < text.size() && text[pos] == '#') {
        ++semitone;
        ++pos;
    } else if (pos < text.size() && text[pos] == 'b') {
        --semitone;
        ++pos;
    }
    return semitone;
}

double ParsePitch(const std::string& name) {
    size_t pos = 0;
    int semitone = ReadPitchClass(name, pos);
    if (pos >= name.size()) throw std::invalid_argument("note without octave: " + name);
    int octave = std::atoi(name.c_str() + pos);
    return 12.0 * (octave + 1) + semitone;
}

}  // namespace

int Melody(Part& part, int startStep, const std::string& text, int transpose, float velocity) {
    std::istringstream in(text);
    std::string token;
    int step = startStep;
    while (in >> token) {
        size_t colon = token.find(':');
        if (colon == std::string::npos) throw std::invalid_argument("token without length: " + token);
        std::string pitches = token.substr(0, colon);
        std::string rest = token.substr(colon + 1);
        size_t second = rest.find(':');
        int length = std::atoi(rest.substr(0, second).c_str());
        float v = second == std::string::npos ? velocity : velocity * std::strtof(rest.c_str() + second + 1, nullptr);
        if (pitches != "r") {
            // "C5+E5" strikes several pitches together.
            size_t from = 0;
            while (from <= pitches.size()) {
                size_t plus = pitches.find('+', from);
                std::string one = pitches.substr(from, plus == std::string::npos ? std::string::npos : plus - from);
                part.notes.push_back({step, length, ParsePitch(one) + transpose, v});
                if (plus == std::string::npos) break;
                from = plus + 1;
            }
        }
        step += length;
    }
    return step;
}

std::vector<double> ChordTones(const std::string& symbol, int rootOctaveMidi) {
    size_t pos = 0;
    int root = ReadPitchClass(symbol, pos);
    std::string quality = symbol.substr(pos);
    size_t slash = quality.find('/');
    if (slash != std::string::npos) quality = quality.substr(0, slash);
    struct Shape { const char* name; std::vector<int> steps; };
    static const Shape shapes[] = {
        {"", {0, 4, 7}},           {"m", {0, 3, 7}},         {"7", {0, 4, 7, 10}},
        {"m7", {0, 3, 7, 10}},     {"maj7", {0, 4, 7, 11}},  {"sus4", {0, 5, 7}},
        {"sus2", {0, 2, 7}},       {"add9", {0, 4, 7, 14}},  {"madd9", {0, 3, 7, 14}},
        {"dim", {0, 3, 6}},        {"aug", {0, 4, 8}},       {"m9", {0, 3, 7, 10, 14}},
        {"7sus4", {0, 5, 7, 10}},  {"5", {0, 7, 12}},
    };
    for (const Shape& s : shapes) {
        if (quality != s.name) continue;
        std::vector<double> tones;
        for (int st : s.steps) tones.push_back(rootOctaveMidi + root + st);
        return tones;
    }
    throw std::invalid_argument("unknown chord: " + symbol);
}

void Drums(Part& part, int startStep, const std::string& pattern, int times, double midi) {
    int n = static_cast<int>(pattern.size());
    for (int r = 0; r < times; ++r) {
        for (int i = 0; i < n; ++i) {
            float v = pattern[i] == 'x' ? 1.0f : pattern[i] == 'o' ? 0.6f : pattern[i] == 'g' ? 0.3f : 0.0f;
            if (v > 0.0f) part.notes.push_back({startStep + r * n + i, 1, midi, v});
        }
    }
}

Stereo RenderSong(const Song& song) {
    const size_t loop = static_cast<size_t>(song.bars) * 16 * song.stepSamples;
    const size_t total = loop + Samples(8.0);  // room for every tail to die away
    Stereo dry(total), hall(total);
    Mono echoIn(total, 0.0f);

    for (size_t pi = 0; pi < song.parts.size(); ++pi) {
        const Part& part = song.parts[pi];
        for (size_t ni = 0; ni < part.notes.size(); ++ni) {
            const Note& note = part.notes[ni];
            uint32_t seed = static_cast<uint32_t>(0x51ED0000u + pi * 7919u + ni * 104729u);
            Mono m = RenderNote(part.voice, note, song.stepSamples, seed);
            size_t offset = static_cast<size_t>(note.step) * song.stepSamples;
            if (offset >= total) continue;
            if (offset + m.size() > total) m.resize(total - offset);
            MixInto(dry, m, offset, part.gain, part.pan);
            if (part.reverb > 0.0f) MixInto(hall, m, offset, part.gain * part.reverb, part.pan);
            if (part.echo > 0.0f) MixInto(echoIn, m, offset, part.gain * part.echo);
        }
    }

    // Ping-pong echo: the first repeat comes back on the left, the next on the right, and so on.
    const size_t d = static_cast<size_t>(song.echoSteps) * song.stepSamples;
    Stereo echo(total);
    for (size_t i = d; i < total; ++i) {
        echo.left[i] = echoIn[i - d] + song.echoFeedback * echo.right[i - d];
        echo.right[i] = song.echoFeedback * echo.left[i - d];
    }
    MixInto(dry, echo, 0, 1.0f);
    MixInto(hall, echo, 0, 0.3f);

    Reverb reverb(song.reverbSize, song.reverbDamp);
    reverb.Process(hall.left.data(), hall.right.data(), hall.left.data(), hall.right.data(), total);
    MixInto(dry, hall, 0, 1.0f);

    // Everything after the last bar rings on into the first bars of the next time round.
    for (size_t i = loop; i < total; ++i) {
        dry.left[i - loop] += dry.left[i];
        dry.right[i - loop] += dry.right[i];
    }
    dry.left.resize(loop);
    dry.right.resize(loop);

    // Master: remove any offset, round the loudest peaks off gently, then leave headroom so
    // the MP3 decoder's overshoot stays below full scale.
    for (Mono* ch : {&dry.left, &dry.right}) {
        double mean = 0.0;
        for (float v : *ch) mean += v;
        mean /= static_cast<double>(ch->size());
        for (float& v : *ch) v -= static_cast<float>(mean);
    }
    NormalizePeak(dry, 1.0f);
    Saturate(dry.left, 1.3f);
    Saturate(dry.right, 1.3f);
    NormalizePeak(dry, 0.84f);
    return dry;
}

std::vector<unsigned char> RenderSongMp3(const Song& song) { return EncodeMp3(RenderSong(song), 160, true); }

}  // namespace audio

void BakeMusic(std::vector<BakedFile>& out) {
    // The two tracks share nothing, so they render side by side; each is deterministic alone.
    audio::Song title, boss;
    audio::ComposeTitle(title);
    audio::ComposeBoss(boss);
    audio::PrepareMp3Encoder();
    std::vector<unsigned char> titleBytes;
    std::thread worker([&] { titleBytes = audio::RenderSongMp3(title); });
    std::vector<unsigned char> bossBytes = audio::RenderSongMp3(boss);
    worker.join();
    out.push_back({"Music/title.mp3", std::move(titleBytes)});
    out.push_back({"Music/music1.mp3", std::move(bossBytes)});
}
