// catalogue.h -- the resource catalogue: the texture table every module addresses by index,
// the named textures, the sound streams of the cues, the music, and the shared sprites. A few
// files are loaded at start-up so the logo can show; everything else in one long frame of the
// title screen (LoadCatalogue), so that nothing is read from disk during play except the
// snapshot and the stage music.
#pragma once

#include <cstdint>

#include "gfx/sprite.h"
#include "platform/engine.h"

constexpr int kTextureCount = 54;
constexpr int kCueStreamCount = 39;  // cues 0..38 have a sound

// The texture table's entries, by the picture each holds. The numbers are the table's own:
// bullets store texture * 1000 + region row as their sprite code, so they never change.
enum TextureId : int {
    TEX_BULLET1 = 0,     // Graphics/bullet1.png
    TEX_BULLET2 = 1,     // Graphics/bullet2.png
    TEX_BULLET3 = 2,     // Graphics/bullet3.png
    TEX_BULLET4 = 3,     // Graphics/bullet4.png
    TEX_BULLET5 = 4,     // Graphics/bullet5.png
    TEX_COLOR = 5,       // Graphics/color.png
    TEX_ENEMY1 = 6,      // Graphics/enemy1.png
    TEX_FONT1 = 8,       // Graphics/font1.png: digits and small labels
    TEX_FONT2 = 9,       // Graphics/font2.png
    TEX_ITEM = 11,       // Graphics/item.png
    TEX_FONT5 = 12,      // Graphics/font5.png
    TEX_FONT6 = 13,      // Graphics/font6.png
    TEX_FONT7 = 14,      // Graphics/font7.png
    TEX_FONT8 = 15,      // Graphics/font8.png
    TEX_FLOOR = 16,      // Graphics/stg7bg.png
    TEX_WALL = 17,       // Graphics/stg7bg2.png
    TEX_PILLAR = 18,     // Graphics/stg7bg3.png
    TEX_PLAYER = 19,     // Graphics/pl00.png
    TEX_WEAPON = 20,     // Graphics/weapon.png
    TEX_LIM = 21,        // Graphics/lim.png
    TEX_SHADOW = 22,     // Graphics/shadow.png
    TEX_SLOWMODE = 23,   // Graphics/slowmode.png
    TEX_WORD = 24,       // Graphics/word.png
    TEX_COLOR2 = 25,     // Graphics/color.png, loaded a second time
    TEX_BOSS = 26,       // Graphics/boss.png
    TEX_ITEM09B = 27,    // Graphics/item09b.png: score items and the bomb's swing
    TEX_ITEM09 = 28,     // Graphics/item09.png: the bomb's blast
    TEX_ETBREAK = 29,    // Graphics/etbreak.png: cancel flashes
    TEX_ITEM_NUM = 30,   // Graphics/item_num.png: the lives digits
    TEX_WINDOW = 32,     // Graphics/window.png: the frame round the play field
    TEX_PARTICLES = 33,  // Graphics/particles.png
    TEX_EFF04 = 34,      // Graphics/eff04.png: the spell backdrop's wash
    TEX_EFF04B = 35,     // Graphics/eff04b.png: the spell backdrop's ring
    TEX_EFF_LINE = 36,   // Graphics/eff_line.png
    TEX_TOTAL = 37,      // Graphics/total.png: the result panel
    TEX_LOADING = 38,    // Graphics/loading.png: the shutter's label
    TEX_SCNAME = 45,     // Graphics/scname.png: spell card titles
    TEX_BULLET6 = 50,    // Graphics/bullet6.png
    TEX_BULLET7 = 51,    // Graphics/bullet7.png
    TEX_PLAYER_ICON = 53,  // Graphics/player.png
};

// Per-run: the texture table; indices without a file hold 0.
extern HTEXTURE textures[kTextureCount];

// The handle of textures[index]; 0 (and a log line) for an index outside the table.
HTEXTURE TextureAt(int index);

// Per-run named textures.
extern HTEXTURE logoTexture;          // the start-up logo, later the title logo
extern HTEXTURE switchTexture;        // the screen-change shutter
extern HTEXTURE titleBackground;      // title_bk00.jpg
extern HTEXTURE titleTile;            // title_bk4.png
extern HTEXTURE menuLabelsTexture;    // title01.png
extern HTEXTURE optionsLabelsTexture; // chose3.png, only while the options screens are open

// Per-run: the stream each sound cue plays (22 and 28 share one; 0 and 19 load one file twice).
extern HSTREAM cueStreams[kCueStreamCount];
// The cue's volume as a percentage of the sound-effect volume.
extern const int cuePercent[kCueStreamCount];

// Per-run shared sprites: each user sets texture, region, tint and depth before drawing and
// puts the anchor back to 0, 0 when it changed it.
extern Sprite* screenSprite;   // start-up: the logo texture, 0, 0, 640, 480
extern Sprite* overlaySprite;  // start-up: no texture, empty region; depth 0.21 from frame 120
extern Sprite* frameSprite;    // frame 120: texture 32, 0, 0, 640, 480, anchor 320, 240, depth 0.2

// Start-up: the logo and shutter textures (before the start-up font).
void LoadStartupTextures();
// Start-up, after the loading frame: screenSprite and overlaySprite.
void CreateStartupSprites();
// Title frame 120, first: every table texture, the cues' streams and the frame sprite.
void LoadCatalogue();
// Title frame 120, last: the start-up logo gives way to the title's pictures and music.
void LoadTitlePictures();

// Options labels: loaded on entering the options menu, freed on leaving it.
void LoadOptionsLabels();
void FreeOptionsLabels();
