#pragma once
// Key names of the scripted runs (the headless runner and the browser's test switch):
// esc left up right down x z c s 4 5 6 8 f1 .. f7, or a virtual-key code 1..255.

#include <string>

// The virtual-key code of a name, or -1 when it names no key.
int keyCode(const std::string& name);
