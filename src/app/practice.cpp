// practice.cpp -- a practice of one attack, and the count of attacks met and captured.
#include "app/practice.h"

#include "app/screen_flow.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/items.h"
#include "game/player.h"
#include "game/world.h"
#include "input/keys.h"
#include "replay/attack_history.h"
#include "replay/replay.h"
#include "ui/practice_screen.h"

namespace {

// The boss arrives two frames into play (the stage script).
constexpr int32_t kArrival = 2;
// The result panel's clock, as the game's: it opens at 100050 and counts to 100200.
constexpr int32_t kResultStart = 100050;
constexpr int32_t kLengths[kPracticeAttacks + 1] = {0, 1320, 780, 1140, 1320, 1140, 1380};

// The attack being watched, from its start to its end.
struct AttackWatch {
    int32_t attack = 0;        // the attack under way, 0 between attacks
    int32_t lastMet = 0;       // the last attack counted as met in this game
    bool hit = false;          // a life was lost (the hit that takes it) during it
    int64_t scoreAtStart = 0;
    bool lastCaptured = false; // how the last attack to end ended
    int32_t lifeLossTimer = 0; // the pending life loss as the last frame left it
};
AttackWatch watch;

// What a practice's result panel decided, acted on when the shutter reads 90.
PracticeExit chosen = PracticeExit::Stay;

bool InPractice() { return record.practiceAttack >= 1 && record.practiceAttack <= kPracticeAttacks; }

HistoryKind Kind() { return InPractice() ? HistoryKind::Practice : HistoryKind::Game; }

// The arrival frame ran attack 1 at age 0. Hand over as the end of the attack before would: the
// timer and length, the spell card's backdrop (its sound sounded with the arrival). The boss's
// age is already 1, as after a tail, so the next frame runs the attack from its start.
void StartPracticedAttack(int attack) {
    boss.attack = attack;
    attackTimer = kLengths[attack];
    attackLength = kLengths[attack];
    spellBackdrop = attack % 2 == 0;
}

// The practised attack ran out: the boss goes as at its defeat, without the blast, and the game
// ends as a won game does. The next attack's card is not declared.
void EndPractice() {
    ClearAllBullets();
    soundCue[CUE_CAT00] = 0;
    bossActive = 0;
    boss.freeFlag = 1;
    shakeLevel = 0;
    spellBackdrop = false;
    run.frameCounter = kEndSequence;
}

void PracticeStep(int attack) {
    if (run.frameCounter == kArrival && bossActive && boss.attack == 1) {
        if (attack != 1) StartPracticedAttack(attack);
    } else if (run.frameCounter > kArrival && run.frameCounter <= kPlayEnd && bossActive &&
               boss.attack != attack) {
        EndPractice();
    }
    // As after the boss's defeat, what the last bullets left flies to the player.
    if (run.frameCounter >= kEndSequence && !bossActive) {
        for (uint8_t& flag : attracted) flag = 1;
    }
}

void CountAttacks() {
    if (run.frameCounter < kArrival) {
        watch = AttackWatch{};
        return;
    }
    const bool live = !record.replayPlayback;
    const HistoryKind kind = Kind();
    // A hit starts the pending life loss (11 frames; the life goes when it reaches 1), so a new
    // hit is the timer rising. A hit late in one attack takes its life in the next: it counts
    // against the attack that dealt it.
    const bool hit = lifeLossTimer > watch.lifeLossTimer;
    watch.lifeLossTimer = lifeLossTimer;
    const int32_t current = boss.attack;
    if (watch.attack != 0 && current != watch.attack) {
        // Its time ran out: the next attack began, or the practice stopped with it.
        watch.lastCaptured = !watch.hit && !hit;
        if (live && watch.lastCaptured) CountCaptured(kind, watch.attack);
        if (live && kind == HistoryKind::Game) CountGained(kind, watch.attack, run.score - watch.scoreAtStart);
        watch.attack = 0;
    }
    if (bossActive && current >= 1 && current <= kPracticeAttacks && current != watch.lastMet) {
        if (live) CountMet(kind, current);
        watch.attack = current;
        watch.lastMet = current;
        watch.hit = false;
        watch.scoreAtStart = run.score;
    } else if (watch.attack != 0) {
        watch.hit = watch.hit || hit;
    }
    if (run.lives < 0 && watch.attack != 0) {
        // The game is lost in this attack.
        watch.lastCaptured = false;
        if (live && kind == HistoryKind::Game) CountGained(kind, watch.attack, run.score - watch.scoreAtStart);
        watch.attack = 0;
    }
}

}  // namespace

int32_t PracticeAttackLength(int attack) {
    return attack >= 1 && attack <= kPracticeAttacks ? kLengths[attack] : 0;
}

void WatchAttacks() {
    if (InPractice()) PracticeStep(record.practiceAttack);
    if (!record.replayPlayback) lastPracticeUnsaved = false;
    CountAttacks();
}

bool LastAttackCaptured() { return watch.lastCaptured; }

void PrepareTitleRequest(TitleRequest request) {
    if (request == TitleRequest::StartGame) record.practiceAttack = 0;
    if (request != TitleRequest::PlayReplay) record.replayPlayback = false;
    if (request == TitleRequest::PlayReplay) lastPracticeUnsaved = false;
    replaySlotSet = ReplaySlotSet::Games;
}

PracticeExit PracticeResultPanel() {
    if (run.frameCounter < kEndSequence) run.frameCounter = kResultStart;
    if (run.frameCounter <= 100200) run.frameCounter += 1;
    const bool captured = run.resultCode >= 0 && watch.lastCaptured && watch.attack == 0;
    if (run.frameCounter == kResultStart + 1) {
        chosen = PracticeExit::Stay;
        // A key still held from play (the bomb is Z) must be pressed again to choose.
        LatchMenuKeys({MenuKey::Cancel, MenuKey::Confirm});
        if (!record.replayPlayback) CountGained(HistoryKind::Practice, record.practiceAttack, run.score);
        lastPracticeUnsaved = !record.replayPlayback;
    }
    DrawPracticeResult({.attack = record.practiceAttack,
                        .fade = overlay.pauseFade,
                        .ticks = overlay.pauseTicks,
                        .captured = captured,
                        .lost = run.resultCode < 0,
                        .score = run.score});
    if (run.switchCountdown == 90) return chosen;
    if (run.switchCountdown != 0) return PracticeExit::Stay;
    const bool confirm = (hge->Input_GetKeyState('Z') || hge->Input_GetKeyState(VK_RETURN)) &&
                         Latch(MenuKey::Confirm) == 0.0f;
    const bool cancel = (hge->Input_GetKeyState(VK_ESCAPE) || hge->Input_GetKeyState('X')) &&
                        Latch(MenuKey::Cancel) == 0.0f;
    if (confirm) {
        Latch(MenuKey::Confirm) = 1.0f;
        RaiseCue(CUE_OK00);
        chosen = PracticeExit::Retry;
        run.switchCountdown = 150;
    } else if (cancel) {
        Latch(MenuKey::Cancel) = 1.0f;
        RaiseCue(CUE_CANCEL00);
        chosen = PracticeExit::ToPracticeScreen;
        run.switchCountdown = 150;
    }
    return PracticeExit::Stay;
}
