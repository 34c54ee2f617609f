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

// Per-run: the texture table; indices without a file hold 0.
extern HTEXTURE textures[kTextureCount];

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
// Title frame 120: every texture, the streams, the sprites, the direction tables, the pools,
// then the title's own pictures and music.
void LoadCatalogue();

// Options labels: loaded on entering the options menu, freed on leaving it.
void LoadOptionsLabels();
void FreeOptionsLabels();
