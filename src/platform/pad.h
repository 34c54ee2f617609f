// pad.h -- game controllers as the game sees them: every control of a pad stands for a key, so
// a pad reaches the game exactly as the keyboard does, through Input_GetKeyState, and replays
// record what was played whichever device played it.
//
// A control stands for whatever key an action is bound to at the moment (rebinding the action
// moves the pad with it), for a fixed key (Escape, Ctrl), or for both: the D-pad presses the
// movement actions' keys and the arrow keys, so it moves the player and also steers the menus
// that answer to the arrow keys alone, whatever the bindings. The left stick becomes four
// direction controls: inside the dead zone it is centred, outside it points to one of eight
// sectors, so diagonals hold two directions. Triggers hold past half their travel. Several pads
// may be connected; a control is held while it is held on any of them.
#pragma once

#include <array>
#include <cstdint>
#include <map>

enum PadControl : int {
    PAD_SOUTH,  // the face buttons by position, whatever their labels
    PAD_EAST,
    PAD_WEST,
    PAD_NORTH,
    PAD_BACK,
    PAD_GUIDE,
    PAD_START,
    PAD_LEFT_STICK_PRESS,
    PAD_RIGHT_STICK_PRESS,
    PAD_LEFT_SHOULDER,
    PAD_RIGHT_SHOULDER,
    PAD_DPAD_UP,
    PAD_DPAD_DOWN,
    PAD_DPAD_LEFT,
    PAD_DPAD_RIGHT,
    PAD_MISC,  // share / capture / microphone button
    PAD_LEFT_TRIGGER,
    PAD_RIGHT_TRIGGER,
    PAD_STICK_UP,  // the left stick's four directions
    PAD_STICK_DOWN,
    PAD_STICK_LEFT,
    PAD_STICK_RIGHT,
    PAD_CONTROL_COUNT
};

// The settings file's key for each control: "South", "DPadUp", "StickLeft", ...
const char* PadControlName(PadControl control);

// What one control presses: an action's key, a fixed key, both or nothing.
struct PadBinding {
    int action = -1;  // >= 0: the key bound to this action at the moment; -1: none
    int key = 0;      // a fixed virtual-key code as well; 0: none
};

// The stick's travel, as SDL reports an axis.
constexpr int kPadAxisMax = 32767;
// Dead zone used until the settings say otherwise: a quarter of the stick's travel.
constexpr int kPadDefaultDeadZonePercent = 25;

// The directions a stick at (x, y) holds (y grows downwards), with a radial dead zone of
// deadZonePercent of the full travel. Each direction covers 135 degrees centred on its axis, so
// the eight 45-degree sectors give up, up-right, right, ... and nothing is held in the dead zone.
void StickDirections(int x, int y, int deadZonePercent, bool& up, bool& down, bool& left,
                     bool& right);

class PadInput {
public:
    // `bindings` has PAD_CONTROL_COUNT entries. `actionKeys` is the game's binding table of
    // `actionCount` entries; it is read whenever a control is resolved and must outlive this.
    void SetBindings(const PadBinding* bindings, const int64_t* actionKeys, int actionCount);
    void SetDeadZone(int percent);
    int DeadZone() const { return deadZone_; }

    // A pad's button or trigger changed (pad: any id that names the device while connected).
    // Returns true when the control went from up to down on every pad together: a fresh press.
    bool SetControl(int pad, PadControl control, bool held);
    // A trigger's axis, 0..kPadAxisMax; held past half its travel.
    bool SetTrigger(int pad, PadControl trigger, int value);
    // The left stick's axes.
    void SetStickX(int pad, int x);
    void SetStickY(int pad, int y);
    void RemovePad(int pad);
    // Every control of every pad up (the window lost focus); the pads stay known.
    void ReleaseAll();

    bool Held(PadControl control) const;
    // Whether the control presses this key (held or not).
    bool Presses(PadControl control, int key) const;
    // True while some held control presses this key.
    bool Holds(int key) const;

private:
    struct Pad {
        std::array<bool, PAD_CONTROL_COUNT> held{};
        int stickX = 0;
        int stickY = 0;
    };
    void UpdateStick(Pad& pad) const;

    std::map<int, Pad> pads_;
    std::array<PadBinding, PAD_CONTROL_COUNT> bindings_{};
    const int64_t* actionKeys_ = nullptr;
    int actionCount_ = 0;
    int deadZone_ = kPadDefaultDeadZonePercent;
};
