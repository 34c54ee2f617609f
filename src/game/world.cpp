// world.cpp -- the world step and its drawing passes, the direction tables, AngleTo, HslToRgb.
#include "game/world.h"

#include "assets/catalogue.h"
#include "core/det_math.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "game/items.h"
#include "game/panels.h"
#include "game/player.h"
#include "gfx/sprite.h"

float SinTable[kDirectionSteps];
float NegCosTable[kDirectionSteps];
double hslRed = 0, hslGreen = 0, hslBlue = 0;
bool spellBackdrop = false;

void BuildDirectionTables() {
    for (int i = 0; i <= 3600; i++) {
        if (i % 900 == 0) continue;
        // The game's degrees have 57.3 to the radian, so these are not quite sin and -cos.
        double t = detmath::Tan((90.0 - i / 10.0) / 57.3);
        float ts = static_cast<float>(t);
        SinTable[i] = static_cast<float>(detmath::Sqrt(1.0 / (t * ts + 1.0)));
        NegCosTable[i] = -SinTable[i] * ts;
        if (i > 1800) {
            SinTable[i] = -SinTable[i];
            NegCosTable[i] = -NegCosTable[i];
        }
    }
    // The four axis directions are exact.
    static const float sinAxis[5] = {0.0f, 1.0f, 0.0f, -1.0f, 0.0f};
    static const float negCosAxis[5] = {-1.0f, 0.0f, 1.0f, 0.0f, -1.0f};
    for (int k = 0; k < 5; k++) {
        SinTable[k * 900] = sinAxis[k];
        NegCosTable[k * 900] = negCosAxis[k];
    }
}

float AngleTo(float x1, float y1, float x2, float y2, float offset) {
    float a = 0.0f;
    // Points in the same column are decided by the column rule below, which also keeps the
    // quotient from dividing by zero.
    if (x1 != x2) {
        float q = (y1 - y2) / (x1 - x2);
        float arc = detmath::AtanToSingle(static_cast<double>(q));
        a = arc * 57.3f + 90.0f;
    }
    if (static_cast<int>(y1) == static_cast<int>(y2)) a = 90.0f;
    if (x1 > x2) a = a + 180.0f;
    if (static_cast<int>(x1) == static_cast<int>(x2)) a = (y1 > y2) ? 0.0f : 180.0f;
    return a + offset;
}

static double HueChannel(double p, double q, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (6 * t < 1) return p + (q - p) * 6 * t;
    if (2 * t < 1) return q;
    if (3 * t < 2) return p + (q - p) * (2.0 / 3.0 - t) * 6;
    return p;
}

void HslToRgb(double hue, double saturation, double lightness) {
    if (saturation == 0) {
        hslRed = hslGreen = hslBlue = lightness * 255;
        return;
    }
    double q = lightness < 0.5 ? lightness * (1 + saturation)
                               : lightness + saturation - lightness * saturation;
    double p = 2 * lightness - q;
    hslRed = HueChannel(p, q, hue + 1.0 / 3.0) * 255;
    hslGreen = HueChannel(p, q, hue) * 255;
    hslBlue = HueChannel(p, q, hue - 1.0 / 3.0) * 255;
}

// The spell card's backdrop: a dim red wash and a large turning ring behind the battle.
static void DrawSpellBackdrop() {
    Sprite& s = *overlaySprite;
    s.SetDepth(0.89f);
    if (run.stage != 1) return;
    s.ChangeTexture(textures[TEX_EFF04]);
    s.SetRegion(0, 0, 256, 256);
    s.SetBlend(2);
    s.SetTint(0x87870000);
    s.DrawTransformed(64, -16, 0, 2);
    s.ChangeTexture(textures[TEX_EFF04B]);
    s.SetRegion(0, 0, 256, 256);
    s.SetBlend(2);
    s.SetAnchor(128, 128);
    s.SetTint(0x87FF0000);
    s.DrawTransformed(320, 240, static_cast<float>(run.frameCounter / 2) / 57.3f, 3);
    s.SetAnchor(0, 0);
    s.SetTint(0xFFFFFFFF);
    s.SetBlend(2);
}

// The drawing passes: each visits the store in slot order and steps the live objects whose
// sprite depth (single precision, compared as a double) falls in its range, so what an
// object's step spawns into a later slot of the same pass is stepped in this frame too.
template <typename InPass>
static void EffectPass(InPass inPass) {
    for (int i = 0; i < kEffectSlots; i++) {
        if (effectFree[i] == 0 && inPass(static_cast<double>(effectSprite[i]->Depth(0))))
            EffectStep(i);
    }
}

template <typename InPass>
static void BulletPass(InPass inPass) {
    for (int i = 0; i < kBulletSlots; i++) {
        if (bulletFree[i] == 0 && inPass(static_cast<double>(bulletSprite[i]->Depth(0))))
            BulletStep(i);
    }
}

void ClearPlayField() {
    FreeAllBullets();
    FreeAllBossSlots();
    FreeAllEffects();
    FreeAllItems();
    panelCount = 0;
}

void WorldStep() {
    if (static_cast<int32_t>(run.screen) > 10) return;

    // The backdrop turns once round the colour wheel every 2880 frames.
    float hue = static_cast<float>(run.frameCounter % 2880) / 2880.0f - 0.01f;
    HslToRgb(hue, 0.6, 0.5);
    uint32_t clear = 0xFF000000u + static_cast<uint32_t>(static_cast<int>(hslRed)) * 65536u +
                     static_cast<uint32_t>(static_cast<int>(hslGreen)) * 256u +
                     static_cast<uint32_t>(static_cast<int>(hslBlue));
    hge->Gfx_Clear(clear);

    for (int n = panelCount - 1; n >= 0; n--) PanelStep(n);

    if (bossActive && spellBackdrop) DrawSpellBackdrop();

    EffectPass([](double d) { return d >= 0.89; });
    EffectPass([](double d) { return d > 0.85 && d <= 0.88; });
    BulletPass([](double d) { return d >= 0.8; });
    if (bossActive) BossStep(boss.attack);
    for (int i = 0; i < kItemSlots; i++) {
        if (itemFree[i] == 0) ItemStep(i);
    }
    EffectPass([](double d) { return d >= 0.8 && d < 0.85; });
    PlayerStep();
    BulletPass([](double d) { return d > 0.705 && d < 0.8; });
    BulletPass([](double d) { return d > 0.5 && d <= 0.705; });
    EffectPass([](double d) { return d > 0.21 && d < 0.8; });
    BulletPass([](double d) { return d <= 0.5; });
    EffectPass([](double d) { return d <= static_cast<double>(0.21f); });
}
