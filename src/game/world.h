// world.h -- the per-frame world step (update and draw in one pass, in a fixed drawing order)
// and the helpers every combat and boss module shares: the direction tables, AngleTo, HslToRgb.
#pragma once

#include <cstdint>

#include "platform/engine.h"

// Per-run: sin and -cos of i / 10 degrees (with 57.3 degrees to the radian), i = 0..3600.
// A move of v along angle a is x += SinTable[i] * v, y += NegCosTable[i] * v with i = trunc(a * 10).
constexpr int kDirectionSteps = 3601;
extern float SinTable[kDirectionSteps];
extern float NegCosTable[kDirectionSteps];

// The last HslToRgb result, each channel 0..255 (below 0 for hues under -2/3), not rounded;
// callers truncate towards zero when they build a colour.
extern double hslRed, hslGreen, hslBlue;

// Per-game: a spell card's backdrop is shown (set and cleared by the attack scripts; the
// new-game loading frame clears it).
extern bool spellBackdrop;

// Builds SinTable and NegCosTable once, at the catalogue's loading frame.
void BuildDirectionTables();

// Empties every store of the battle: bullets, boss slots, effects, items and panels. The game
// reset and leaving a game both go through it.
void ClearPlayField();

// Advances the battle by one frame and draws it; called by the game screen while running,
// inside an open scene, after frameCounter has been advanced.
void WorldStep();

// Direction in degrees (0 up, clockwise) from (x1, y1) to (x2, y2), plus offset. Points that
// share a pixel row or column snap to the four axis directions; the same pixel gives 180.
float AngleTo(float x1, float y1, float x2, float y2, float offset);

// Standard HSL to RGB in double precision (hue in turns, saturation and lightness 0..1);
// writes hslRed, hslGreen, hslBlue.
void HslToRgb(double hue, double saturation, double lightness);

// Direction-table index of an angle: trunc(angle * 10). Movers keep their angles in [0, 360];
// the few hundredths of a degree that AngleTo can stray past either end (its 57.3 factor), and
// anything stranger, are held to the table's ends rather than read outside it.
inline int DirectionIndex(float angle) {
    float tenths = angle * 10.0f;
    if (!(tenths > 0.0f)) return 0;
    if (tenths >= 3600.0f) return 3600;
    return static_cast<int>(tenths);
}
