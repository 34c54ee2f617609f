// stage.h -- the stage timeline: builds the background scene, brings the boss in with the
// stage music, counts down the attack timer and keeps the background panels in depth order.
#pragma once

// Once per game frame while stage is 1 and the game runs, after frameCounter has advanced and
// before WorldStep.
void StageScript();

// Reads and opens the stage music ahead, in the game's loading frame: the boss's arrival then
// starts it without a long frame of reading in play.
void PrepareStageMusic();
