// notice.h -- what the window shows over the game's picture and never in a picture of it: a
// short notice in the bottom left corner (a screenshot saved or not; any news from outside the
// game, with a bar for work under way) and the fast-forward mark of a replay. Both are drawn by
// the engine's overlay callback, after the frame's screenshot was taken. A notice lasts a couple
// of the player's seconds (the engine's clock), whatever rate the game's frames run at; a long
// frame counts as a tenth of a second, so the notice is seen for its time even then.
#pragma once

class BitmapFont;

enum class NoticeTone { Done, Failed, Working };

constexpr double kNoticeSeconds = 2.0;

// Shows a notice of a title and a detail line (either may be empty or null) from `now` (the
// engine's Timer_GetTime) for `seconds`, in place of any notice on screen.
void ShowNotice(NoticeTone tone, const char* title, const char* detail, double now,
                double seconds = kNoticeSeconds);
// A Working notice with a bar filled to `fraction` (0..1) of its width. Giving it again, as the
// work goes on, keeps it on screen; a Done or Failed notice ends it.
void ShowProgress(const char* title, const char* detail, float fraction, double now);
void HideNotice();
// Whether a notice is on screen (until it has been drawn for its time).
bool NoticeShown();

// Draws the notice on screen at `now`, if any, with `font` (the game's ASCII bitmap font: its
// tint is put back afterwards). Inside an open scene; the engine's overlay callback calls it.
void DrawNotice(BitmapFont* font, double now);
// The mark of a replay played fast (240 frames a second): in the left margin, beside the play
// field, under nothing the game draws there.
void DrawFastForwardMark(BitmapFont* font);
