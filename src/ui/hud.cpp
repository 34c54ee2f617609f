// hud.cpp -- the head-up display: everything on the game screen that is not the battle. It
// reads game state and changes nothing but sprite attributes.
#include "ui/hud.h"

#include <cstdlib>

#include "assets/catalogue.h"
#include "core/digits.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/player.h"
#include "game/world.h"

Sprite* fpsDigits[kHudDigitCount] = {};
Sprite* timerDigits[kHudDigitCount] = {};

void CreateHudSprites() {
    for (int i = 0; i < kHudDigitCount; i++) {
        if (fpsDigits[i] == nullptr) fpsDigits[i] = new Sprite(textures[TEX_FONT1], 0, 0, 0, 0);
        if (timerDigits[i] == nullptr) timerDigits[i] = new Sprite(textures[TEX_FONT1], 0, 0, 0, 0);
        fpsDigits[i]->ChangeTexture(textures[TEX_FONT1]);
        timerDigits[i]->ChangeTexture(textures[TEX_FONT1]);
        fpsDigits[i]->SetAnchor(7, 12);
        fpsDigits[i]->SetDepth(0.1f);
        timerDigits[i]->SetAnchor(7, 12);
        timerDigits[i]->SetDepth(0.1f);
    }
}

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;

// Digit d of the font sheet; cell 11 of the same row is the timer's separator.
void SetDigit(Sprite* sprite, int d) { sprite->SetRegion(static_cast<float>(16 * d), 208, 14, 24); }

// The grey that whitens as an emblem swells: v 24 is grey 159 at scale 0.6, v 0 white at 0.888.
uint32_t EmblemTint(int v) {
    uint32_t c = static_cast<uint32_t>(255 - 4 * v);
    return 0xFF000000 + c * 65536 + c * 256 + c;
}
float EmblemScale(int v) { return (1.48f - 0.02f * static_cast<float>(v)) * 0.6f; }
int EmblemPulse(int timer, int centre) {
    int v = std::abs(timer - centre) * 3;
    return v > 24 ? 24 : v;
}

// The overlay sprite on a texture-table picture.
void UsePicture(TextureId texture, float x, float y, float w, float h) {
    overlaySprite->ChangeTexture(textures[texture]);
    overlaySprite->SetRegion(x, y, w, h);
}

void DrawFrameRate() {
    int f = hge->Timer_GetFPS() + 2;
    if (f > 61) f = 61;
    fpsDigits[0]->SetRegion(28, 28, 14, 14);
    fpsDigits[1]->SetRegion(168, 28, 14, 14);
    fpsDigits[2]->SetRegion(210, 28, 14, 14);
    SetDigit(fpsDigits[3], f / 10);
    SetDigit(fpsDigits[4], f % 10);
    for (int i = 0; i < 3; i++) {
        fpsDigits[i]->DrawTransformed(static_cast<float>(591 + 10 * i), 476, 0, 0.7f);
    }
    fpsDigits[3]->DrawTransformed(621, 468, 0, 0.7f);
    fpsDigits[4]->DrawTransformed(631, 468, 0, 0.7f);
}

void DrawSidePanel() {
    overlaySprite->SetDepth(0.05f);
    UsePicture(TEX_WEAPON, 0, 0, 172, 183);
    overlaySprite->SetAnchor(86, 91);
    int v = EmblemPulse(bombTimer, 32);
    overlaySprite->SetTint(EmblemTint(v));
    overlaySprite->DrawTransformed(576, 361, 0, EmblemScale(v));
    overlaySprite->SetTint(kWhite);
    overlaySprite->SetAnchor(0, 0);

    UsePicture(TEX_ITEM, 0, 60, 100, 38);
    overlaySprite->DrawTransformed(515, 402, 0, 0.5f);

    // The life emblem pulses while the player is invulnerable.
    overlaySprite->SetRegion(170, 54, 54, 74);
    v = EmblemPulse(invulnTimer, 36);
    overlaySprite->SetTint(EmblemTint(v));
    overlaySprite->SetAnchor(27, 37);
    overlaySprite->DrawTransformed(611, 425, 0, EmblemScale(v));
    overlaySprite->SetAnchor(0, 0);
    overlaySprite->SetTint(kWhite);

    overlaySprite->SetRegion(0, 100, 40, 20);
    overlaySprite->DrawTransformed(586, 442, 0, 0.6f);
    overlaySprite->SetRegion(0, 0, 224, 44);
    overlaySprite->DrawTransformed(520, 300, 0, 0.5f);
    UsePicture(TEX_LIM, 0, 0, 138, 75);
    overlaySprite->DrawTransformed(508, 328, 0, 0.5f);
    UsePicture(TEX_WORD, 0, 0, 262, 66);
    overlaySprite->DrawTransformed(0, 103, 0, 0.5f);

    // Lives: a 4-column grid of number pictures; the last life blinks red. In the frame that
    // loses the game lives reads -1, and that frame is the one frozen behind the result panel,
    // so it shows as 0 rather than as a picture from outside the grid.
    int shown = run.lives < 0 ? 0 : run.lives;
    overlaySprite->ChangeTexture(textures[TEX_ITEM_NUM]);
    if (shown == 0 && run.frameCounter % 16 < 8) overlaySprite->SetTint(0xFFFF0000);
    overlaySprite->SetRegion(static_cast<float>((shown % 4) * 64),
                             static_cast<float>((shown / 4) * 64), 64, 64);
    overlaySprite->DrawTransformed(578, 403, 0, 0.4f);
    overlaySprite->SetTint(kWhite);
}

void DrawScore() {
    overlaySprite->ChangeTexture(textures[TEX_FONT1]);
    int digits[20];
    int digitCount = splitDigits(run.score, digits);
    for (int i = 0; i < digitCount; i++) {
        SetDigit(overlaySprite, digits[i]);
        overlaySprite->DrawTransformed(static_cast<float>(60 - digitCount * 10 + 20 * i), 140, 0,
                                       1.3f);
    }
}

void DrawBossStatus() {
    overlaySprite->SetDepth(0.05f);
    overlaySprite->SetAnchor(0, 0);
    UsePicture(TEX_FONT1, 216, 240, 40, 16);
    overlaySprite->SetTint(kWhite);
    // A tab at the bottom edge under the boss.
    if (boss.freeFlag == 0 && boss.x >= 80 && boss.x <= 560 && boss.y >= 12 && boss.y <= 480) {
        overlaySprite->DrawTransformed(boss.x - 20, 464, 0, 1, 1.2f);
    }

    // Seconds, then fractions of a second in steps of 1/80 (shown 00 to 78).
    int t = attackTimer;
    SetDigit(timerDigits[0], t / 600);
    SetDigit(timerDigits[1], t / 60 - 10 * (t / 600));
    timerDigits[2]->SetRegion(176, 208, 14, 24);
    int h = static_cast<int>(static_cast<float>(t % 60) * 1.334f);
    SetDigit(timerDigits[3], h / 10);
    SetDigit(timerDigits[4], h % 10);
    if (boss.x < 0) return;
    // The last ten seconds are red.
    uint32_t tint = t <= 600 ? 0xFFFF6E6E : kWhite;
    for (int i = 0; i < kHudDigitCount; i++) {
        timerDigits[i]->SetTint(tint);
        if (i < 2) {
            timerDigits[i]->Draw(static_cast<float>(295 + 14 * i), 22);
        } else {
            timerDigits[i]->DrawTransformed(static_cast<float>(300 + 10 * i), 26, 0, 0.7f);
        }
        timerDigits[i]->SetTint(kWhite);
    }
}

// The declaration: two sets of slanted strips scrolling past each other and two turning
// eight-spoked stars, fading out over the card's first two seconds.
void DrawDeclaration(int a) {
    overlaySprite->SetDepth(0.85f);
    UsePicture(TEX_EFF_LINE, 96, 0, 20, 128);
    uint32_t alpha = static_cast<uint32_t>(180 - 1.5f * static_cast<float>(a));
    overlaySprite->SetTint((alpha << 24) + 0xFFFFFF);
    const float slant = 60 / 57.3f;
    for (int i = -3; i <= 2; i++) {
        for (int j = -2; j <= 2; j++) {
            overlaySprite->SetAnchor(static_cast<float>(60 * j + 200),
                                     static_cast<float>(120 * i + a % 120 + 110));
            overlaySprite->DrawTransformed(400, 364, slant, 1);
        }
        for (int j = -2; j <= 2; j++) {
            overlaySprite->SetAnchor(static_cast<float>(60 * j + 170),
                                     static_cast<float>(120 * i + 110 - a % 120));
            overlaySprite->DrawTransformed(400, 364, slant, 1);
        }
    }
    for (int i = 0; i <= 1; i++) {
        for (int j = 0; j <= 7; j++) {
            float offset = static_cast<float>(26 * i + 120);
            overlaySprite->SetAnchor(offset, offset);
            float turn = (static_cast<float>(a) / 3 + static_cast<float>(45 * j)) / 57.3f;
            overlaySprite->DrawTransformed(420, 400, turn, 1);
        }
    }
    overlaySprite->SetAnchor(0, 0);
}

// Faded while the player is up under the banner.
uint32_t BannerTint() { return playerY < 48 ? 0x37FFFFFF : kWhite; }

void DrawSpellTitle() {
    float titleY;
    float titleW;
    if (!SpellCardTitle(boss.attack, &titleY, &titleW)) return;
    int a = boss.age;
    if (a <= 120) DrawDeclaration(a);

    overlaySprite->SetDepth(0.11f);
    UsePicture(TEX_FONT1, 0, 88, 256, 40);
    if (a < 61) {
        overlaySprite->SetTint(0x00FFFFFF);
    } else if (a <= 120) {
        overlaySprite->SetTint((static_cast<uint32_t>(3 * (a - 61)) << 24) + 0xFFFFFF);
    } else {
        overlaySprite->SetTint(BannerTint());
    }
    overlaySprite->DrawTransformed(280, 20, 0, 0.9f);

    // The title slides in from the left shrinking, waits, then rises to the banner.
    UsePicture(TEX_SCNAME, 0, titleY, titleW, 25);
    overlaySprite->SetTint(kWhite);
    float fa = static_cast<float>(a);
    if (a >= 1 && a <= 30) {
        overlaySprite->DrawTransformed(210 - titleW + 10 * fa, 400, 0, 3 - 0.068f * fa);
    } else if (a >= 31 && a <= 60) {
        overlaySprite->DrawTransformed(510 - titleW, 400, 0, 0.96f);
    } else if (a >= 61 && a <= 120) {
        overlaySprite->DrawTransformed(510 - titleW, 400 - 6.1f * (fa - 60), 0, 0.96f);
    } else if (a >= 121) {
        overlaySprite->SetTint(BannerTint());
        overlaySprite->DrawTransformed(510 - titleW, 33, 0, 0.96f);
    }
    overlaySprite->SetTint(kWhite);
}

}  // namespace

bool SpellCardTitle(int attack, float* y, float* width) {
    switch (attack) {
    case 2: *y = 0; *width = 100; return true;
    case 4: *y = 38; *width = 220; return true;
    case 6: *y = 76; *width = 120; return true;
    default: return false;
    }
}

void DrawHud() {
    if (overlaySprite == nullptr || fpsDigits[0] == nullptr) return;
    DrawFrameRate();
    DrawSidePanel();
    DrawScore();
    if (bossActive) DrawBossStatus();
    if (bossActive && spellBackdrop) DrawSpellTitle();
}
