// practice_screen.cpp -- the practice screen and the practice's result panel picture.
#include "ui/practice_screen.h"

#include <cinttypes>
#include <cstdio>

#include "assets/catalogue.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "gfx/glyph_font.h"
#include "input/keys.h"
#include "replay/attack_history.h"
#include "replay/replay.h"
#include "ui/hud.h"
#include "ui/replay_screens.h"

bool lastPracticeUnsaved = false;

namespace {

constexpr int kAttackRowTop = 50;
constexpr int kAttackRowStep = 40;
constexpr int kPracticeColumn = 300;
constexpr int kGamesColumn = 415;
constexpr int kBestColumn = 530;

// The attack chosen, started when the shutter reads 90.
int32_t chosenAttack = 0;

int RowCount() { return lastPracticeUnsaved ? kPracticeSaveRow + 1 : kPracticeReplaysRow + 1; }

int RowTop(int row) {
    if (row < kPracticeReplaysRow) return kAttackRowTop + kAttackRowStep * row;
    return kAttackRowTop + kAttackRowStep * kPracticeReplaysRow + 30 * (row - kPracticeReplaysRow) + 6;
}

// The ordinary attacks have no title of their own.
void OrdinaryName(int attack, char* out, size_t size) {
    std::snprintf(out, size, "Ordinary attack %d", (attack + 1) / 2);
}

// The spell card's title picture as the head-up display shows it, its top left at (x, y).
void DrawSpellCardTitle(int attack, float x, float y, float scale, uint32_t tint) {
    float regionY = 0;
    float width = 0;
    if (!SpellCardTitle(attack, &regionY, &width)) return;
    overlaySprite->ChangeTexture(textures[TEX_SCNAME]);
    overlaySprite->SetRegion(0, regionY, width, 25);
    overlaySprite->SetAnchor(0, 0);
    overlaySprite->SetTint(tint);
    overlaySprite->DrawTransformed(x, y, 0, scale);
    overlaySprite->SetTint(0xFFFFFFFFu);
}

void DrawCounts(int row, int top, const AttackTally& practice, const AttackTally& game) {
    char text[64];
    std::snprintf(text, sizeof text, "%" PRId64 " / %" PRId64, practice.captured, practice.met);
    DrawOutlined(kPracticeColumn, top, text, 255, row);
    std::snprintf(text, sizeof text, "%" PRId64 " / %" PRId64, game.captured, game.met);
    DrawOutlined(kGamesColumn, top, text, 255, row);
    const int64_t best = practice.best > game.best ? practice.best : game.best;
    std::snprintf(text, sizeof text, "%" PRId64, best);
    DrawOutlined(kBestColumn, top, text, 255, row);
}

void DrawPracticeScreen() {
    overlaySprite->SetDepth(0.09f);
    listFont.SetTint(0xFFFFFFFF, -1);
    listFont.DrawText(40, 15, 0, "Practice", 1.0f);
    listFont.DrawText(kPracticeColumn, 15, 0, "In practice", 1.0f);
    listFont.DrawText(kGamesColumn, 15, 0, "In games", 1.0f);
    listFont.DrawText(kBestColumn, 15, 0, "Best", 1.0f);
    listFont.SetTint(0xC0FFFFFF, -1);
    listFont.DrawText(kPracticeColumn, 31, 0, "captured/met", 0.75f);
    listFont.DrawText(kGamesColumn, 31, 0, "captured/met", 0.75f);
    listFont.SetTint(0xFFFFFFFF, -1);

    const AttackHistory& history = History();
    char text[64];
    for (int attack = 1; attack <= kPracticeAttacks; ++attack) {
        const int row = attack;  // DrawOutlined's rows count from 1
        const int top = RowTop(attack - 1);
        const bool selected = menus.menuCursor == attack - 1;
        std::snprintf(text, sizeof text, "%d.", attack);
        DrawOutlined(16, top, text, 255, row);
        float regionY = 0;
        float width = 0;
        if (SpellCardTitle(attack, &regionY, &width)) {
            DrawSpellCardTitle(attack, 38, float(top) - 4, 0.96f, selected ? 0xFFFFFF60u : 0xFFFFFFFFu);
        } else {
            OrdinaryName(attack, text, sizeof text);
            DrawOutlined(40, top, text, 255, row);
        }
        DrawCounts(row, top, history.At(HistoryKind::Practice, attack),
                   history.At(HistoryKind::Game, attack));
    }
    DrawOutlined(40, RowTop(kPracticeReplaysRow), "Practice replays", 255, kPracticeReplaysRow + 1);
    if (lastPracticeUnsaved) {
        DrawOutlined(40, RowTop(kPracticeSaveRow), "Save the last practice", 255, kPracticeSaveRow + 1);
    }
    DrawOutlined(40, 440, "History: Replay/history.txt", 160, -1);
}

void OpenPracticeSlots(Screen screen) {
    replaySlotSet = ReplaySlotSet::Practice;
    run.screen = screen;
    if (screen == Screen::ReplaySave) CreateNameFields();
    menus.menuCursor = 0;
}

}  // namespace

TitleRequest PracticeScreenFrame() {
    const int rows = RowCount();
    if (menus.menuCursor < 0 || menus.menuCursor >= rows) menus.menuCursor = 0;
    const bool open = IsForeground() && run.switchCountdown == 0;
    if (open) MoveMenuCursor(rows);
    DrawPracticeScreen();

    if (run.switchCountdown == 90 && chosenAttack != 0) {
        record.practiceAttack = chosenAttack;
        chosenAttack = 0;
        return TitleRequest::StartPractice;
    }
    if (!open) return TitleRequest::None;
    if (MenuKeyPressed(MenuKey::Confirm)) {
        Latch(MenuKey::Confirm) = 1.0f;
        RaiseCue(CUE_OK00);
        if (menus.menuCursor < kPracticeReplaysRow) {
            chosenAttack = menus.menuCursor + 1;
            run.switchCountdown = 150;
        } else {
            OpenPracticeSlots(menus.menuCursor == kPracticeReplaysRow ? Screen::ReplayList : Screen::ReplaySave);
        }
        return TitleRequest::None;
    }
    if (MenuKeyPressed(MenuKey::Cancel)) {
        Latch(MenuKey::Cancel) = 1.0f;
        RaiseCue(CUE_CANCEL00);
        run.screen = Screen::Title;
        menus.menuCursor = kPracticeMenuItem;
    }
    return TitleRequest::None;
}

void ReturnToPracticeScreen() {
    const bool fromSave = run.screen == Screen::ReplaySave;
    replaySlotSet = ReplaySlotSet::Games;
    run.screen = Screen::Practice;
    menus.menuCursor = fromSave && lastPracticeUnsaved ? kPracticeSaveRow : kPracticeReplaysRow;
}

void DrawPracticeResult(const PracticeResultPicture& picture) {
    const uint32_t alpha = uint32_t(25 * picture.fade) << 24;
    char text[64];
    listFont.SetTint(alpha | (picture.captured ? 0xFFD870u : 0xB4B4C4u), -1);
    listFont.DrawText(320, 160, 1, picture.captured ? "CAPTURED" : "NOT CAPTURED", 1.25f);
    listFont.SetTint(alpha | 0xFFFFFFu, -1);
    float regionY = 0;
    float width = 0;
    if (SpellCardTitle(picture.attack, &regionY, &width)) {
        DrawSpellCardTitle(picture.attack, 320 - width / 2, 196, 1.0f, alpha | 0xFFFFFFu);
    } else {
        OrdinaryName(picture.attack, text, sizeof text);
        listFont.DrawText(320, 200, 1, text, 1.0f);
    }
    if (picture.lost) listFont.DrawText(320, 226, 1, "All lives lost", 1.0f);
    std::snprintf(text, sizeof text, "Score gained  %" PRId64, picture.score);
    listFont.DrawText(320, 252, 1, text, 1.25f);
    const uint32_t pulse = uint32_t(255 - 2 * (picture.ticks % 120 < 60 ? picture.ticks % 60 : 60 - picture.ticks % 60));
    listFont.SetTint(alpha | pulse << 16 | pulse << 8 | pulse, -1);
    listFont.DrawText(320, 300, 1, "Z / Enter  retry", 1.0f);
    listFont.DrawText(320, 322, 1, "X / Esc  practice menu", 1.0f);
    listFont.SetTint(0xFFFFFFFFu, -1);
}
