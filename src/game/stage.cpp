// stage.cpp -- the stage timeline.
#include "game/stage.h"

// Being written.
void StageScript() {}
