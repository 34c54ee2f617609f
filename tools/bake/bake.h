// bake.h -- mirrorfall-bake's pieces: each baker appends the files it makes, named as the game
// asks for them ("Graphics/bullet1.png", "SE/se_ok00.wav", "Music/title.mp3"). Every baker is
// deterministic: the same source gives the same bytes, with no clock and no unseeded randomness.
#pragma once

#include <string>
#include <vector>

struct BakedFile {
    std::string name;                 // path inside the game folder, '/' separated
    std::vector<unsigned char> bytes;  // the file's contents
};

// Every picture under Graphics/ and the bitmap font description Graphics/font0.fnt.
void BakePictures(std::vector<BakedFile>& out);
// Every sound effect under SE/.
void BakeSoundEffects(std::vector<BakedFile>& out);
// Both music tracks under Music/.
void BakeMusic(std::vector<BakedFile>& out);
