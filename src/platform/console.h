// console.h -- what a command-line run of the game needs of the terminal it was started from:
// whether standard error is a terminal (a progress bar makes sense there), how wide it is, and
// Ctrl+C caught as a request to stop instead of ending the process at once.
#pragma once

// True when standard error is a terminal.
bool ConsoleIsTerminal();
// The terminal's width in columns; 80 when it cannot be told.
int ConsoleColumns();
// From now on Ctrl+C (and a polite request to end: SIGTERM, SIGHUP) only sets a flag, which
// ConsoleInterrupted reads; the program stops at its own pace and cleans up.
void ConsoleCatchInterrupt();
bool ConsoleInterrupted();
