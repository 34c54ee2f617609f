// practice.h -- practising one attack, and the count of every attack met and captured. Both
// only watch the designed game from the game frame (WatchAttacks) and take over at its edges: a
// practice starts the boss's chosen attack at its arrival and ends the game when that attack
// ends, with a result panel of its own. A whole game is never changed by either.
#pragma once

#include <cstdint>

#include "ui/title.h"

// The frames of a practiced attack: its length in the boss's table (1320, 780, 1140, 1320,
// 1140, 1380 for attacks 1..6). 0 outside 1..6.
int32_t PracticeAttackLength(int attack);

// Called by the game frame at its end, once its actions are recorded. In a practice
// (record.practiceAttack 1..6): at the boss's arrival hands attack 1 over to the practised
// attack as the attack before it would (so from its first frame of play the boss is in that
// attack at its full timer); when that attack ends, stops the game as the boss's defeat does (no
// next attack, the score items fly to the player, the result panel 50 frames later; the ending
// runs on the actions of the last recorded frame, as a replay of it does). In every game
// played live: counts each attack met and captured, and the score gained in it.
void WatchAttacks();

// Whether the attack the game last watched ended by its time with no life lost during it.
bool LastAttackCaptured();

// What the title-side screens ask for puts the record in order: a new game is a whole game, a
// practice the chosen attack, a replay what its file says; the replay screens go back to the
// games' slots.
void PrepareTitleRequest(TitleRequest request);

// The practice's result panel, one frame. Confirm (Z or Enter) retries the attack with a new
// seed, Cancel (X or Escape) goes back to the practice screen; each under the shutter, whose
// middle returns the choice.
enum class PracticeExit { Stay, Retry, ToPracticeScreen };
PracticeExit PracticeResultPanel();
