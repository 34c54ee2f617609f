// preload.h -- reading a stream ahead of its use, so that a loading frame rather than a frame of
// play pays for it.
#pragma once

// Reads and opens the file's stream now, so that its Stream_Load later is quick: called by a
// loading frame for a stream that play starts, whose reading would otherwise make a frame of
// play long. The next Stream_Load of the same file takes it; another preload drops it. What
// cannot be read is left for that Stream_Load to report. Nothing without an engine.
void Engine_PreloadStream(const char* filename);
