#pragma once
// `vortalix --replay FILE`: a recorded game played again in the window at its own pace, with
// its music and sounds, ending on its ranking screen. Esc or closing the window quits, F7
// pauses, Tab held plays four times as fast, F1 saves a screenshot.

#include <string>

class Platform;

// Returns the program's exit code: 0 after watching, 2 when the file cannot be played.
int watchReplay(Platform& real, const std::string& file);
