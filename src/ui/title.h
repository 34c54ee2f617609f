// title.h -- the title screen: the start-up logo, the title picture with its drifting tiles and
// fading-in music, and the main menu (Start, Replay, Options, Quit, and Practice below them). The same routine runs for
// every title-side screen and hands the options, key configuration and replay screens to their
// owners after drawing the title picture.
#pragma once

#include <cstdint>

// The title-side clock: the logo shows until kLogoEnd, when the loading frame runs and the
// clock jumps to kTitleStart; the title's music fades in over the next 100 frames.
constexpr int32_t kLogoEnd = 120;
constexpr int32_t kTitleStart = 200;

// The start-up logo, fading in and out by the clock.
void DrawLogo();

// Moves menuCursor over `rows` rows on a fresh Down or Up press (Down first), wrapping at both
// ends, with the select sound. Callers read it only while the window has focus.
void MoveMenuCursor(int rows);

// What a title-side screen asks of the screen flow at the end of its frame.
// StartGame: a new recorded game; PlayReplay: the game of the replay just loaded;
// StartPractice: a recorded practice of record.practiceAttack.
enum class TitleRequest { None, StartGame, PlayReplay, StartPractice };

// Runs screens 0..9 for one frame after the logo, after the clear and before the shutter.
TitleRequest TitleFrame();
