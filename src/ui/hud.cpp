// hud.cpp -- the head-up display.
#include "ui/hud.h"

#include "assets/catalogue.h"

Sprite* fpsDigits[kHudDigitCount] = {};
Sprite* timerDigits[kHudDigitCount] = {};

void CreateHudSprites() {
    for (int i = 0; i < kHudDigitCount; i++) {
        if (fpsDigits[i] == nullptr) fpsDigits[i] = new Sprite(textures[8], 0, 0, 0, 0);
        if (timerDigits[i] == nullptr) timerDigits[i] = new Sprite(textures[8], 0, 0, 0, 0);
        fpsDigits[i]->SetAnchor(7, 12);
        fpsDigits[i]->SetDepth(0.1f);
        timerDigits[i]->SetAnchor(7, 12);
        timerDigits[i]->SetDepth(0.1f);
    }
}

// Being written.
void DrawHud() {}
