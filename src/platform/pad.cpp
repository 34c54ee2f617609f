// pad.cpp -- game controllers turned into held keys.
#include "platform/pad.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const kControlNames[PAD_CONTROL_COUNT] = {
    "South",         "East",          "West",        "North",          "Back",
    "Guide",         "Start",         "LeftStick",   "RightStick",     "LeftShoulder",
    "RightShoulder", "DPadUp",        "DPadDown",    "DPadLeft",       "DPadRight",
    "Misc",          "LeftTrigger",   "RightTrigger", "StickUp",       "StickDown",
    "StickLeft",     "StickRight",
};

bool ValidControl(PadControl control) { return control >= 0 && control < PAD_CONTROL_COUNT; }

}  // namespace

const char* PadControlName(PadControl control) {
    return ValidControl(control) ? kControlNames[control] : "";
}

void StickDirections(int x, int y, int deadZonePercent, bool& up, bool& down, bool& left,
                     bool& right) {
    up = down = left = right = false;
    double fx = double(std::clamp(x, -kPadAxisMax, kPadAxisMax));
    double fy = double(std::clamp(y, -kPadAxisMax, kPadAxisMax));
    // Square-gated sticks reach past the axis's travel on diagonals; that is still full travel.
    double length = std::min(std::sqrt(fx * fx + fy * fy), double(kPadAxisMax));
    double dead = double(std::clamp(deadZonePercent, 0, 100)) / 100.0 * kPadAxisMax;
    if (length <= dead || length == 0) return;
    // A direction holds within 67.5 degrees of its axis: cos 67.5° = 0.3827.
    double reach = 0.38268343 * length;
    right = fx > reach;
    left = fx < -reach;
    down = fy > reach;
    up = fy < -reach;
}

void PadInput::SetBindings(const PadBinding* bindings, const int64_t* actionKeys, int actionCount) {
    for (int c = 0; c < PAD_CONTROL_COUNT; ++c) bindings_[size_t(c)] = bindings[c];
    actionKeys_ = actionKeys;
    actionCount_ = actionKeys != nullptr ? std::max(actionCount, 0) : 0;
}

void PadInput::SetDeadZone(int percent) {
    deadZone_ = std::clamp(percent, 0, 100);
    for (auto& entry : pads_) UpdateStick(entry.second);
}

bool PadInput::SetControl(int pad, PadControl control, bool held) {
    if (!ValidControl(control)) return false;
    bool before = Held(control);
    pads_[pad].held[size_t(control)] = held;
    return held && !before;
}

bool PadInput::SetTrigger(int pad, PadControl trigger, int value) {
    return SetControl(pad, trigger, value > kPadAxisMax / 2);
}

void PadInput::SetStickX(int pad, int x) {
    Pad& p = pads_[pad];
    p.stickX = x;
    UpdateStick(p);
}

void PadInput::SetStickY(int pad, int y) {
    Pad& p = pads_[pad];
    p.stickY = y;
    UpdateStick(p);
}

void PadInput::UpdateStick(Pad& pad) const {
    bool up, down, left, right;
    StickDirections(pad.stickX, pad.stickY, deadZone_, up, down, left, right);
    pad.held[PAD_STICK_UP] = up;
    pad.held[PAD_STICK_DOWN] = down;
    pad.held[PAD_STICK_LEFT] = left;
    pad.held[PAD_STICK_RIGHT] = right;
}

void PadInput::RemovePad(int pad) { pads_.erase(pad); }

void PadInput::ReleaseAll() {
    for (auto& entry : pads_) {
        entry.second.held.fill(false);
        entry.second.stickX = 0;
        entry.second.stickY = 0;
    }
}

bool PadInput::Held(PadControl control) const {
    if (!ValidControl(control)) return false;
    for (const auto& entry : pads_) {
        if (entry.second.held[size_t(control)]) return true;
    }
    return false;
}

bool PadInput::Presses(PadControl control, int key) const {
    if (!ValidControl(control) || key <= 0 || key > 255) return false;
    const PadBinding& b = bindings_[size_t(control)];
    if (b.key == key) return true;
    return b.action >= 0 && b.action < actionCount_ && actionKeys_[b.action] == key;
}

bool PadInput::Holds(int key) const {
    if (key <= 0 || key > 255 || pads_.empty()) return false;
    for (int c = 0; c < PAD_CONTROL_COUNT; ++c) {
        if (Presses(PadControl(c), key) && Held(PadControl(c))) return true;
    }
    return false;
}
