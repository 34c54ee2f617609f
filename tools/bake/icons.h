// icons.h -- the game's icon for the desktop and the window: the mirror-shard crest of the title
// logo, painted afresh at each size the desktop's icon theme uses.
#pragma once

#include <vector>

#include "bake.h"

// The sizes of the desktop's hicolor icon theme that the install fills, smallest first.
const std::vector<int>& IconSizes();

// One "icons/mirrorfall-N.png" per size, N × N with a transparent surround.
void BakeIcons(std::vector<BakedFile>& out);
