// panels.h -- the background: textured panels in a small 3-D scene (a corridor of floor, walls
// and pillars) seen through a fixed camera, scrolling towards it and wrapping round for ever.
#pragma once

#include <cstdint>

#include "assets/catalogue.h"

class Sprite;

constexpr int kPanelSlots = 800;

// Per-game camera, placed by the stage script; nothing here changes it.
extern float camX, camY, camZ;              // world units
extern float camYaw, camPitch, camRoll;     // radians
extern float projectionDistance;            // the perspective constant F

// The panel list: the first panelCount records are in use. The stage script empties it
// (panelCount = 0) and builds the scene once per game; leaving a game sets panelCount to 0.
extern int32_t panelCount;
extern Sprite* panelSprite[kPanelSlots];    // per-run; depth 0.899 + slot * 0.00001
extern float panelRegionX[kPanelSlots];     // texture region; W and H are also the size in
extern float panelRegionY[kPanelSlots];     // world units
extern float panelRegionW[kPanelSlots];
extern float panelRegionH[kPanelSlots];
extern float panelX[kPanelSlots];           // world position of the centre; z grows away
extern float panelY[kPanelSlots];
extern float panelZ[kPanelSlots];
extern float panelYaw[kPanelSlots];         // radians, kept within +-2 pi
extern float panelPitch[kPanelSlots];       // radians
extern int32_t panelKind[kPanelSlots];      // 1 floor/walls, 2 pillars, above 100 hidden
extern float panelDistance[kPanelSlots];    // from the camera, recomputed every frame
extern int32_t panelAge[kPanelSlots];       // frames since creation

// Catalogue loading: one empty sprite per record, depth 0.899 + slot * 0.00001.
void CreatePanelPool();

// A new panel, field by field in the order the rules give them.
struct PanelSpawn {
    TextureId texture;
    int regionX, regionY;     // texture region, texels
    int regionW, regionH;     // also the panel's size in world units
    float x, y, z;            // world position of the centre; z grows away
    float yaw, pitch;         // radians
    int kind;                 // 1 floor/walls, 2 pillars, above 100 hidden
};

// Fills record panelCount and returns the new count. No capacity check beyond the list's
// 800 records (an add past them is dropped and returns panelCount unchanged).
int PanelAdd(const PanelSpawn& spawn);

// Steps and draws panel n; called only by WorldStep, from the last panel to the first.
void PanelStep(int n);

// World point to screen offset from (320, 272), in perspective through the camera. Returns
// false, leaving sx and sy alone, for a point less than one unit in front of the eye or behind
// it: such a point would divide by zero or come out mirrored, so its panel is not drawn.
bool Project(float x, float y, float z, float& sx, float& sy);

// Exchanges records a and b whole, sprites included; each list position keeps its own sprite
// depth, so later positions still draw in front.
void SwapPanels(int a, int b);
