// replay_screens.cpp -- the replay list (pick a slot to watch), the replay save screen (name the
// game just played and save it into a slot) and the score list.
#include "ui/replay_screens.h"

#include <sys/stat.h>

#include <cinttypes>
#include <cstdio>
#include <ctime>

#include "assets/catalogue.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "gfx/glyph_font.h"
#include "input/keys.h"
#include "platform/code_page.h"
#include "replay/replay.h"
#include "replay/score_file.h"
#include "ui/practice_screen.h"
#include "ui/replay_video.h"
#include "ui/text_input.h"
#include "ui/title.h"

TextInput* nameFields[3] = {};
bool keysEnabled = true;
char dateText[64] = {};

namespace {

constexpr const char* kScoreFile = "Replay/score.rpy";

// The save screen's fields: replay name, player name, illustration; width and x on the row.
struct FieldPlace {
    float width;
    float x;
};
constexpr FieldPlace kFieldPlace[3] = {{120, 40}, {80, 180}, {330, 280}};

bool ArrowPressed(int vk, MenuKey latch) {
    return hge->Input_GetKeyState(vk) && Latch(latch) == 0.0f;
}

// Left or Right (the arrows only) turns between the replay list and the score list.
bool TakeSideArrow() {
    MenuKey side;
    if (ArrowPressed(VK_LEFT, MenuKey::Left)) side = MenuKey::Left;
    else if (ArrowPressed(VK_RIGHT, MenuKey::Right)) side = MenuKey::Right;
    else return false;
    Latch(side) = 1.0f;
    RaiseCue(CUE_SELECT00);
    return true;
}

// Draws the text five times over, outlined in black, as DrawOutlined describes.
template <class Draw>
void Outlined(int x, int y, int alpha, int row, Draw draw) {
    const uint32_t a = uint32_t(alpha & 0xFF) << 24;
    const float fx = float(x), fy = float(y);
    listFont.SetTint(a, -1);
    draw(fx, fy - 1);
    draw(fx, fy + 1);
    draw(fx - 1, fy);
    draw(fx + 1, fy);
    listFont.SetTint(a | (menus.menuCursor + 1 == row ? 0xFFFF00u : 0xFFFFFFu), -1);
    draw(fx, fy);
}

constexpr int kScreenEdge = 640;

// A slot's line drawn only as far as its column reaches (the next column's start, or the
// screen's edge): a long name neither runs over its neighbour nor costs glyphs no one sees, so
// ten slots of the longest names draw about as much as ten short ones.
void DrawInColumn(int x, int y, const char* text, int width, int row) {
    static char16_t wide[ReplaySummary::kLineSize + 1];
    const size_t units = CodePageToWide(text, -1, wide, ReplaySummary::kLineSize);
    const float tracking = listFont.Tracking();
    float pen = 0;
    size_t shown = 0;
    while (shown < units && pen + listFont.Advance(wide[shown]) <= float(width)) {
        pen += listFont.Advance(wide[shown]) + tracking;
        ++shown;
    }
    wide[shown] = 0;
    Outlined(x, y, 255, row, [](float px, float py) { listFont.DrawWide(px, py, 0, wide, 1.0f); });
}

void DrawSlotList() {
    char text[64];
    for (int n = 1; n <= kReplaySlotCount; ++n) {
        const int top = 44 * n - 8;
        const int bottom = 44 * n + 14;
        std::snprintf(text, sizeof text, "%02d.", n);
        DrawOutlined(16, top, text, 255, n);
        static ReplaySummary summary;
        if (!ReadReplaySummary(n, &summary)) {
            DrawOutlined(36, top, "<None>", 255, n);
            continue;
        }
        DrawInColumn(39, top, summary.lines[0], 179 - 39, n);
        DrawInColumn(179, top, summary.lines[1], 289 - 179, n);
        DrawInColumn(289, top, summary.lines[2], kScreenEdge - 289, n);
        DrawInColumn(349, bottom, summary.lines[3], kScreenEdge - 349, n);
        if (summary.result >= 0) std::snprintf(text, sizeof text, "%d life all", summary.result);
        else std::snprintf(text, sizeof text, "Work Harder");
        DrawOutlined(39, bottom, text, 255, n);
        std::snprintf(text, sizeof text, "%" PRId64 " coins collected", summary.score);
        DrawOutlined(156, bottom, text, 255, n);
    }
}

void DrawHeadings() {
    listFont.SetTint(0xFFFFFFFF, -1);
    listFont.DrawText(40, 15, 0, "Replay Name", 1.0f);
    listFont.DrawText(180, 15, 0, "Player Name", 1.0f);
    listFont.DrawText(290, 15, 0, "Replay Illustration", 1.0f);
    if (replaySlotSet == ReplaySlotSet::Practice) listFont.DrawText(16, 458, 0, "Practice replays", 1.0f);
}

void DrawMousePointer() {
    overlaySprite->SetDepth(0.05f);
    overlaySprite->ChangeTexture(textures[TEX_FONT2]);
    overlaySprite->SetTint(0xFFFFFFFF);
    overlaySprite->SetRegion(420, 422, 32, 32);
    hge->Input_GetMousePos(&mouseX, &mouseY);
    overlaySprite->DrawTransformed(mouseX, mouseY, 0.0f, 1.0f);
}

void SaveIntoSelectedSlot() {
    const char* names[3];
    for (int i = 0; i < 3; ++i) names[i] = nameFields[i] != nullptr ? nameFields[i]->GetText() : "";
    if (WriteReplay(menus.menuCursor + 1, names[0], names[1], names[2], dateText)) {
        int64_t volume = int64_t(settings.seVolume) * 50 / 100;
        if (volume < 0) volume = 0;
        if (volume > 100) volume = 100;
        hge->Stream_Play(cueStreams[CUE_EXTEND], false, int(volume));
    } else {
        RaiseCue(CUE_INVALID);
    }
}

}  // namespace

void DrawOutlined(int x, int y, const char* text, int alpha, int row) {
    Outlined(x, y, alpha, row, [text](float px, float py) { listFont.DrawText(px, py, 0, text, 1.0f); });
}

void CreateNameFields() {
    for (TextInput*& field : nameFields) {
        delete field;
        field = nullptr;
    }
    for (TextInput*& field : nameFields) {
        field = new TextInput(122, 122, 0xFF000000, "\xCB\xCE\xCC\xE5", 14, false, false, false);
    }
}

void DestroyNameFields() {
    for (TextInput*& field : nameFields) {
        delete field;
        field = nullptr;
    }
}

TitleRequest ReplayMenuFrame() {
    const bool saving = run.screen == Screen::ReplaySave;
    overlaySprite->SetDepth(0.09f);
    keysEnabled = true;
    if (saving) {
        for (TextInput* field : nameFields) {
            if (TextInput::IsActive(field)) keysEnabled = false;
        }
    }

    // Only the arrow keys move this cursor, not the bound keys.
    if (IsForeground() && run.switchCountdown == 0 && keysEnabled) {
        if (ArrowPressed(VK_DOWN, MenuKey::Down)) {
            Latch(MenuKey::Down) = 1.0f;
            menus.menuCursor = menus.menuCursor >= kReplaySlotCount - 1 ? 0 : menus.menuCursor + 1;
            RaiseCue(CUE_SELECT00);
        }
        if (ArrowPressed(VK_UP, MenuKey::Up)) {
            Latch(MenuKey::Up) = 1.0f;
            menus.menuCursor = menus.menuCursor <= 0 ? kReplaySlotCount - 1 : menus.menuCursor - 1;
            RaiseCue(CUE_SELECT00);
        }
        if (!saving && replaySlotSet == ReplaySlotSet::Games && TakeSideArrow()) {
            // Without a score file (or one that cannot be read) the player stays on the list.
            run.screen = Screen::ScoreList;
            struct stat info;
            if (::stat(kScoreFile, &info) != 0 || !LoadScoreList()) run.screen = Screen::ReplayList;
        }
    }

    DrawSlotList();

    if (saving) {
        for (TextInput* field : nameFields) {
            if (field != nullptr) field->Update();
        }
        const float rowY = float(44 * menus.menuCursor + 36);
        for (int i = 0; i < 3; ++i) {
            if (nameFields[i] == nullptr) continue;
            nameFields[i]->SetWidth(kFieldPlace[i].width);
            nameFields[i]->SetHeight(18);
            nameFields[i]->Draw(kFieldPlace[i].x, rowY);
        }
        listFont.SetTint(0xFFFFFFFF, -1);
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        if (std::strftime(dateText, sizeof dateText, "%Y/%m/%d %H:%M:%S", &local) == 0) {
            dateText[0] = '\0';
        }
        listFont.DrawText(240, 390, 0, dateText, 1.0f);
    }

    DrawHeadings();
    // While a video of a slot is being made, the list's own keys wait.
    if (!saving && ReplayVideoFrame(menus.menuCursor + 1)) return TitleRequest::None;

    if (saving) {
        PollKeyPhase(VK_LBUTTON);
        overlaySprite->SetDepth(0.09f);
        TextInput::DrawComposition();
        DrawMousePointer();
    }

    // A replay was chosen and the shutter has closed: the screen flow starts its game.
    if (run.switchCountdown == 90 && record.replayPlayback) return TitleRequest::PlayReplay;

    if (!(IsForeground() && run.switchCountdown == 0 && keysEnabled)) return TitleRequest::None;
    if (MenuKeyPressed(MenuKey::Cancel)) {
        if (saving) DestroyNameFields();
        Latch(MenuKey::Cancel) = 1.0f;
        if (replaySlotSet == ReplaySlotSet::Practice) {
            ReturnToPracticeScreen();
        } else {
            run.screen = Screen::Title;
            menus.menuCursor = 1;
        }
        RaiseCue(CUE_CANCEL00);
        return TitleRequest::None;
    }
    // Left or Right turned to the score list in this frame: that is all the list does. A replay
    // chosen now could never start, as the score list does not start games.
    if (!saving && run.screen != Screen::ReplayList) return TitleRequest::None;
    if (MenuKeyPressed(MenuKey::Confirm)) {
        Latch(MenuKey::Confirm) = 1.0f;
        if (saving) {
            // The screen stays: the same game may go into further slots.
            SaveIntoSelectedSlot();
        } else if (LoadReplay(menus.menuCursor + 1)) {
            Latch(MenuKey::Cancel) = 1.0f;
            Latch(MenuKey::Up) = 1.0f;
            Latch(MenuKey::Down) = 1.0f;
            record.replayPlayback = true;
            RaiseCue(CUE_OK00);
            run.switchCountdown = 150;
        }
    }
    return TitleRequest::None;
}

void ScoreListFrame() {
    if (IsForeground() && TakeSideArrow()) run.screen = Screen::ReplayList;
    char text[64];
    for (int n = 1; n <= 100 && n <= scoreList.count; ++n) {
        std::snprintf(text, sizeof text, "NO.%03d  %" PRId64, n, scoreList.records[n]);
        DrawOutlined(((n - 1) / 20) * 120 + 20, ((n - 1) % 20) * 22 + 40, text, 255, -1);
    }
    if (IsForeground() && MenuKeyPressed(MenuKey::Cancel)) {
        Latch(MenuKey::Cancel) = 1.0f;
        run.screen = Screen::Title;
        menus.menuCursor = 1;
        RaiseCue(CUE_CANCEL00);
    }
}
