// options.h -- the options menu (volumes, window mode, the way to the key configuration) and the
// key configuration that rebinds the eight actions. Both are drawn over the dimmed title picture
// and share one horizontal slide (menus.menuSlide).
#pragma once

// The on-screen names of the keys that are neither letters nor digits, by key code (nullptr
// for a key without a name). Every name is made of the capitals A to Z only.
extern const char* const keyNames[256];

// Screen::Options, one frame (called by the title routine after the title picture).
void OptionsFrame();
// Screen::KeyConfig, one frame.
void KeyConfigFrame();

// Called each frame by the key configuration while it waits for a key: once both Confirm keys
// are released, binds the lowest held key code to the action under menuCursor (Escape
// cancels), stops the wait and sets every latch.
void CaptureKey();
