// panels.cpp -- the background corridor: panels placed in a small 3-D scene, projected through
// the camera, scrolled towards it with wrap-round, and drawn in 41 strips that fade with depth.
#include "game/panels.h"

#include <cmath>
#include <utility>

#include "assets/catalogue.h"
#include "core/det_math.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/world.h"
#include "gfx/sprite.h"

float camX = 0, camY = 0, camZ = 0;
float camYaw = 0, camPitch = 0, camRoll = 0;
float projectionDistance = 0;

int32_t panelCount = 0;
Sprite* panelSprite[kPanelSlots];
float panelRegionX[kPanelSlots];
float panelRegionY[kPanelSlots];
float panelRegionW[kPanelSlots];
float panelRegionH[kPanelSlots];
float panelX[kPanelSlots];
float panelY[kPanelSlots];
float panelZ[kPanelSlots];
float panelYaw[kPanelSlots];
float panelPitch[kPanelSlots];
int32_t panelKind[kPanelSlots];
float panelDistance[kPanelSlots];
int32_t panelAge[kPanelSlots];

namespace {

constexpr float kTurn = 6.2831855f;
constexpr int kStrips = 41;  // one more than the 40 the height is cut into
// Points closer to the eye than this (or behind it) are not projected.
constexpr float kNearPlane = 1.0f;

struct ScreenPoint {
    float x, y;
};

// Point t of 40 down the edge from top to bottom, on the screen.
ScreenPoint EdgePoint(const ScreenPoint& top, const ScreenPoint& bottom, int t) {
    float ft = static_cast<float>(t);
    return {320 + top.x + ft * (bottom.x - top.x) / 40, 272 + top.y + ft * (bottom.y - top.y) / 40.6f};
}

bool InView(const ScreenPoint& p) { return p.x >= -424 && p.x <= 424 && p.y >= -380 && p.y <= 380; }

}  // namespace

void CreatePanelPool() {
    for (int i = 0; i < kPanelSlots; i++) {
        delete panelSprite[i];
        panelSprite[i] = new Sprite(0, 0, 0, 0, 0);
        // Later records draw in front of earlier ones.
        panelSprite[i]->SetDepth(0.899f + static_cast<float>(i) * 0.00001f);
    }
}

int PanelAdd(const PanelSpawn& spawn) {
    int n = panelCount;
    if (n < 0 || n >= kPanelSlots) return panelCount;  // the list holds 800 records
    if (panelSprite[n] == nullptr) return panelCount;  // the catalogue has not made the pool yet
    Sprite& s = *panelSprite[n];
    s.ChangeTexture(TextureAt(spawn.texture));
    s.SetTint(0xFFFFFFFF);
    s.SetBlend(2);
    s.SetRegion(static_cast<float>(spawn.regionX), static_cast<float>(spawn.regionY),
                static_cast<float>(spawn.regionW), static_cast<float>(spawn.regionH));
    panelRegionX[n] = static_cast<float>(spawn.regionX);
    panelRegionY[n] = static_cast<float>(spawn.regionY);
    panelRegionW[n] = static_cast<float>(spawn.regionW);
    panelRegionH[n] = static_cast<float>(spawn.regionH);
    panelX[n] = spawn.x;
    panelY[n] = spawn.y;
    panelZ[n] = spawn.z;
    panelYaw[n] = spawn.yaw;
    panelPitch[n] = spawn.pitch;
    panelKind[n] = spawn.kind;
    s.SetAnchor(static_cast<float>(spawn.regionW) / 2, static_cast<float>(spawn.regionH) / 2);
    panelAge[n] = 0;
    panelCount = n + 1;
    return panelCount;
}

// The camera's sines and cosines, worked out again only when the camera turns: the same
// values the library gives each time, without twelve calls per projected point.
struct CameraTurn {
    float yaw = 0, pitch = 0, roll = 0;
    float cosYaw = 1, sinYaw = 0, cosPitch = 1, sinPitch = 0, cosRoll = 1, sinRoll = 0;
};

const CameraTurn& CurrentTurn() {
    static CameraTurn turn;
    if (turn.yaw != camYaw || turn.pitch != camPitch || turn.roll != camRoll) {
        turn.yaw = camYaw;
        turn.pitch = camPitch;
        turn.roll = camRoll;
        detmath::SinCos(camYaw, &turn.sinYaw, &turn.cosYaw);
        detmath::SinCos(camPitch, &turn.sinPitch, &turn.cosPitch);
        detmath::SinCos(camRoll, &turn.sinRoll, &turn.cosRoll);
    }
    return turn;
}

bool Project(float x, float y, float z, float& sx, float& sy) {
    const CameraTurn& t = CurrentTurn();
    float dx = x - camX, dy = y - camY, dz = z - camZ;
    float x1 = t.cosYaw * dx - t.sinYaw * dz;
    float z1 = t.sinYaw * dx + t.cosYaw * dz;
    float y2 = t.cosPitch * dy - t.sinPitch * z1;
    float z2 = t.sinPitch * dy + t.cosPitch * z1;
    float x3 = t.cosRoll * x1 - t.sinRoll * y2;
    float y3 = t.sinRoll * x1 + t.cosRoll * y2;
    float f = projectionDistance;
    float eye = f + z2;
    // A point at or behind the eye would divide by zero or come out mirrored.
    if (!(eye >= kNearPlane)) return false;
    float s = f / eye;
    sx = x3 * s;
    sy = y3 * s;
    return true;
}

void SwapPanels(int a, int b) {
    float depthA = panelSprite[a]->Depth(0);
    float depthB = panelSprite[b]->Depth(0);
    std::swap(panelSprite[a], panelSprite[b]);
    std::swap(panelRegionX[a], panelRegionX[b]);
    std::swap(panelRegionY[a], panelRegionY[b]);
    std::swap(panelRegionW[a], panelRegionW[b]);
    std::swap(panelRegionH[a], panelRegionH[b]);
    std::swap(panelX[a], panelX[b]);
    std::swap(panelY[a], panelY[b]);
    std::swap(panelZ[a], panelZ[b]);
    std::swap(panelYaw[a], panelYaw[b]);
    std::swap(panelPitch[a], panelPitch[b]);
    std::swap(panelKind[a], panelKind[b]);
    std::swap(panelDistance[a], panelDistance[b]);
    std::swap(panelAge[a], panelAge[b]);
    panelSprite[a]->SetDepth(depthA);
    panelSprite[b]->SetDepth(depthB);
}

void PanelStep(int n) {
    Sprite& s = *panelSprite[n];
    s.SetBlend(2);
    panelAge[n] += 1;
    if (panelYaw[n] > kTurn) panelYaw[n] -= kTurn;
    if (panelYaw[n] < -kTurn) panelYaw[n] += kTurn;
    float ddx = panelX[n] - camX, ddy = panelY[n] - camY, ddz = panelZ[n] - camZ;
    panelDistance[n] = detmath::Sqrt(ddx * ddx + ddy * ddy + ddz * ddz);
    if (panelKind[n] > 100) return;

    // The corners only place the picture: a tool that draws nothing skips them.
    const bool drawn = !hge->Gfx_DrawsNothing();
    ScreenPoint c1{}, c2{}, c3{}, c4{};
    bool projected = false;
    if (drawn) {
        float w = panelRegionW[n] / 2, h = panelRegionH[n] / 2;
        float u = panelYaw[n], v = panelPitch[n];
        float x = panelX[n], y = panelY[n], z = panelZ[n];
        float sinU, cosU, sinV, cosV;
        detmath::SinCos(u, &sinU, &cosU);
        detmath::SinCos(v, &sinV, &cosV);
        float wc = w * cosU, ws = w * sinU;
        float hc = h * cosV, hs = h * sinV;
        projected = Project(x - wc, y - hc, z + ws - hs, c1.x, c1.y);
        projected = Project(x + wc, y - hc, z - ws - hs, c2.x, c2.y) && projected;
        projected = Project(x - wc, y + hc, z + ws + hs, c3.x, c3.y) && projected;
        projected = Project(x + wc, y + hc, z - ws + hs, c4.x, c4.y) && projected;
    }

    // The scroll comes after the corners; the strips' fade uses the new depth.
    if (panelKind[n] == 1) {
        panelZ[n] -= 5.0f;
        s.SetTint(0xFFFFFFFF);
        if (panelZ[n] < -488.0f) panelZ[n] += 2688.0f;
    } else if (panelKind[n] == 2) {
        panelZ[n] -= 6.071429f;
        s.SetTint(0xFFFFFFFF);
        if (panelZ[n] < -576.0f) panelZ[n] += 2796.5f;
    }

    if (!drawn || panelDistance[n] <= 100.0f) return;
    if (!projected) return;
    if (!InView(c1) && !InView(c2) && !InView(c3) && !InView(c4)) return;
    if (shakeLevel > 0) {
        c1.x += shakeX; c2.x += shakeX; c3.x += shakeX; c4.x += shakeX;
        c1.y += shakeY; c2.y += shakeY; c3.y += shakeY; c4.y += shakeY;
    }

    // Each strip fades with its own depth, so the far end of the corridor dissolves into the
    // backdrop colour while the near end stays opaque; the scene fades in as a game starts.
    float farEnd = panelKind[n] == 1 ? 1600.0f : 1800.0f;
    bool darkFace = panelKind[n] == 2 && std::fabs(panelYaw[n] * 57.3f - 112.0f) <= 50.0f;
    float stripH = panelRegionH[n] / 40;
    // The edges are cut by 40 across and by 40.6 down, so the last strip reaches a little past
    // the lower edge. Each strip's lower corners are the next strip's upper ones.
    ScreenPoint left = EdgePoint(c1, c3, 0), right = EdgePoint(c2, c4, 0);
    for (int i = 0; i < kStrips; i++) {
        float a = (farEnd - panelZ[n] - static_cast<float>((i * 384) / 40)) / 5;
        if (run.frameCounter <= 0) {
            a -= 255.0f;
        } else if (run.frameCounter <= 164) {
            a -= 255.0f - static_cast<float>(run.frameCounter) * 1.5f;
        }
        if (a < 0) a = 0;
        if (a > 255) a = 255;
        uint32_t alpha = static_cast<uint32_t>(static_cast<int>(a)) * 16777216u;
        // A strip faded out entirely would draw nothing, and every strip after it lies deeper
        // and fades at least as far.
        if (alpha == 0) break;
        ScreenPoint nextLeft = EdgePoint(c1, c3, i + 1), nextRight = EdgePoint(c2, c4, i + 1);
        s.SetTint(alpha + (darkFace ? 0x373737u : 0xFFFFFFu));
        s.SetRegion(panelRegionX[n], panelRegionY[n] + stripH * static_cast<float>(i),
                    panelRegionW[n], stripH);
        s.DrawCorners(left.x, left.y, right.x, right.y, nextRight.x, nextRight.y, nextLeft.x,
                      nextLeft.y);
        left = nextLeft;
        right = nextRight;
    }
}
