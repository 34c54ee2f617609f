// replay_video.h -- the replay list's videos: V on a slot saves its replay as a video in
// Videos/ (beside Screenshots/), made by the game's own export (`mirrorfall --export-video`)
// running beside the game, so the export can never disturb the game that shows it. The list
// shows the key, a bar while the video is made (Escape stops it and nothing is left), and a line
// saying where the video went, or why not.
#pragma once

// Once per replay-list frame, after the list is drawn; `slot` is the chosen one (1..10). True
// while a video is being made: the list then takes neither Confirm nor Cancel (Escape stops the
// video instead of leaving the list). A build without videos shows and does nothing.
bool ReplayVideoFrame(int slot);
