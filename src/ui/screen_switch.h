// screen_switch.h -- the shutter that covers each change of screen: columns close from the
// middle outwards, hold with the loading label, and open again, while run.switchCountdown
// counts down from 150 (screens act at 90, under the closed shutter).
#pragma once

// Draws the shutters and the loading label while switchCountdown > 0, then counts it down.
void DrawScreenSwitch();
