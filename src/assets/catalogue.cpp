// catalogue.cpp -- which file each texture, stream and shared sprite comes from, and when it is
// loaded: a few files at start-up so the logo can show, everything else in one long frame of
// the title screen.
#include "assets/catalogue.h"

#include "core/state.h"

HTEXTURE textures[kTextureCount] = {};
HTEXTURE logoTexture = 0;
HTEXTURE switchTexture = 0;
HTEXTURE titleBackground = 0;
HTEXTURE titleTile = 0;
HTEXTURE menuLabelsTexture = 0;
HTEXTURE optionsLabelsTexture = 0;
HSTREAM cueStreams[kCueStreamCount] = {};
Sprite* screenSprite = nullptr;
Sprite* overlaySprite = nullptr;
Sprite* frameSprite = nullptr;

namespace {

struct TextureFile {
    int index;
    const char* file;
};

// The table textures, in the order they are loaded at title frame 120.
constexpr TextureFile kTableTextures[] = {
    {0, "Graphics/bullet1.png"},   {1, "Graphics/bullet2.png"},   {2, "Graphics/bullet3.png"},
    {3, "Graphics/bullet4.png"},   {4, "Graphics/bullet5.png"},   {5, "Graphics/color.png"},
    {6, "Graphics/enemy1.png"},    {8, "Graphics/font1.png"},     {9, "Graphics/font2.png"},
    {11, "Graphics/item.png"},     {12, "Graphics/font5.png"},    {13, "Graphics/font6.png"},
    {14, "Graphics/font7.png"},    {15, "Graphics/font8.png"},    {16, "Graphics/stg7bg.png"},
    {17, "Graphics/stg7bg2.png"},  {18, "Graphics/stg7bg3.png"},  {21, "Graphics/lim.png"},
    {22, "Graphics/shadow.png"},   {23, "Graphics/slowmode.png"}, {24, "Graphics/word.png"},
    {25, "Graphics/color.png"},    {19, "Graphics/pl00.png"},     {20, "Graphics/weapon.png"},
    {32, "Graphics/window.png"},   {26, "Graphics/boss.png"},     {27, "Graphics/item09b.png"},
    {28, "Graphics/item09.png"},   {29, "Graphics/etbreak.png"},  {30, "Graphics/item_num.png"},
    {33, "Graphics/particles.png"}, {34, "Graphics/eff04.png"},   {35, "Graphics/eff04b.png"},
    {36, "Graphics/eff_line.png"}, {37, "Graphics/total.png"},    {38, "Graphics/loading.png"},
    {45, "Graphics/scname.png"},   {50, "Graphics/bullet6.png"},  {51, "Graphics/bullet7.png"},
    {53, "Graphics/player.png"},
};

// The sound of each cue, in cue order. Cue 28 plays cue 22's stream; cues 0 and 19 load the
// same file twice so that both can sound at once.
constexpr const char* kCueFiles[kCueStreamCount] = {
    "SE/se_tan00.wav",   "SE/se_tan01.wav",  "SE/se_tan02.wav",    "SE/se_kira00.wav",
    "SE/se_kira01.wav",  "SE/se_kira02.wav", "SE/se_enep00.wav",   "SE/se_enep01.wav",
    "SE/se_enep02.wav",  "SE/se_damage00.wav", "SE/se_item00.wav", "SE/se_item01.wav",
    "SE/se_graze.wav",   "SE/se_pldead00.wav", "SE/se_border.wav", "SE/se_gun00.wav",
    "SE/se_ch00.wav",    "SE/se_timeout.wav", "SE/se_cat00.wav",   "SE/se_tan00.wav",
    "SE/se_ex.ogg",      "SE/se_green.mp3",  "SE/se_lazer00.wav",  "SE/se_lazer01.wav",
    "SE/se_lazer02.wav", "SE/se_power0.wav", "SE/se_power1.wav",   "SE/se_nep00.wav",
    nullptr,             "SE/se_extend.wav", "SE/se_powerup.wav",  "SE/se_slash.wav",
    "SE/se_boon00.wav",  "SE/se_don00.wav",  "SE/se_invalid.wav",  "SE/se_ok00.wav",
    "SE/se_select00.wav", "SE/se_cancel00.wav", "SE/se_pause.wav",
};
constexpr int kSharedLaserCue = 28;
constexpr int kLaserCue = 22;

}  // namespace

void LoadStartupTextures() {
    logoTexture = hge->Texture_Load("Graphics/logo.jpg");
    switchTexture = hge->Texture_Load("Graphics/eff_switchbg.png");
}

void CreateStartupSprites() {
    delete screenSprite;
    delete overlaySprite;
    screenSprite = new Sprite(logoTexture, 0, 0, 640, 480);
    overlaySprite = new Sprite(0, 0, 0, 0, 0);
}

void LoadCatalogue() {
    for (const TextureFile& t : kTableTextures) textures[t.index] = hge->Texture_Load(t.file);

    for (int cue = 0; cue < kCueStreamCount; ++cue) {
        if (kCueFiles[cue] != nullptr) cueStreams[cue] = hge->Stream_Load(kCueFiles[cue]);
    }
    cueStreams[kSharedLaserCue] = cueStreams[kLaserCue];

    delete frameSprite;  // a second loading (tests, tools) replaces the first
    frameSprite = new Sprite(textures[TEX_WINDOW], 0, 0, 640, 480);
    overlaySprite->SetDepth(0.21f);
    frameSprite->SetDepth(0.2f);
    frameSprite->SetAnchor(320, 240);
}

void LoadTitlePictures() {
    hge->Texture_Free(logoTexture);
    titleBackground = hge->Texture_Load("Graphics/title_bk00.jpg");
    titleTile = hge->Texture_Load("Graphics/title_bk4.png");
    logoTexture = hge->Texture_Load("Graphics/title_logo.png");
    HSTREAM music = hge->Stream_Load("Music/title.mp3");
    run.musicChannel = hge->Stream_Play(music, true, 0);
    menuLabelsTexture = hge->Texture_Load("Graphics/title01.png");
}

HTEXTURE TextureAt(int index) {
    if (index >= 0 && index < kTextureCount) return textures[index];
    if (hge != nullptr) hge->System_Log("Texture index %d is outside the texture table.", index);
    return 0;
}

void LoadOptionsLabels() {
    if (optionsLabelsTexture != 0) hge->Texture_Free(optionsLabelsTexture);
    optionsLabelsTexture = hge->Texture_Load("Graphics/chose3.png");
}

void FreeOptionsLabels() {
    hge->Texture_Free(optionsLabelsTexture);
    optionsLabelsTexture = 0;
}
