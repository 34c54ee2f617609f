// audio_stub.cpp -- stand-in sound bakers until the real ones exist: silent WAV bytes under every
// sound's name. Weak, so the real definitions replace these; delete this file once they exist.
#include <string>

#include "bake.h"

namespace {

std::vector<unsigned char> SilentWav() {
    std::vector<unsigned char> w = {'R', 'I', 'F', 'F', 36 + 200, 0, 0, 0, 'W', 'A', 'V', 'E',
                                    'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0, 0x44, 0xAC, 0, 0,
                                    0x88, 0x58, 1, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a', 200, 0, 0, 0};
    w.resize(w.size() + 200, 0);
    return w;
}

}  // namespace

__attribute__((weak)) void BakeSoundEffects(std::vector<BakedFile>& out) {
    const char* names[] = {
        "se_tan00.wav", "se_tan01.wav", "se_tan02.wav", "se_kira00.wav", "se_kira01.wav",
        "se_kira02.wav", "se_enep00.wav", "se_enep01.wav", "se_enep02.wav", "se_damage00.wav",
        "se_item00.wav", "se_item01.wav", "se_graze.wav", "se_pldead00.wav", "se_border.wav",
        "se_gun00.wav", "se_ch00.wav", "se_timeout.wav", "se_cat00.wav", "se_ex.ogg",
        "se_green.mp3", "se_lazer00.wav", "se_lazer01.wav", "se_lazer02.wav", "se_power0.wav",
        "se_power1.wav", "se_nep00.wav", "se_extend.wav", "se_powerup.wav", "se_slash.wav",
        "se_boon00.wav", "se_don00.wav", "se_invalid.wav", "se_ok00.wav", "se_select00.wav",
        "se_cancel00.wav", "se_pause.wav"};
    for (const char* n : names) out.push_back({std::string("SE/") + n, SilentWav()});
}

__attribute__((weak)) void BakeMusic(std::vector<BakedFile>& out) {
    out.push_back({"Music/title.mp3", SilentWav()});
    out.push_back({"Music/music1.mp3", SilentWav()});
}
