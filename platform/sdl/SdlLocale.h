#pragma once
// The game's texts are UTF-8 Japanese. SDL's X11 message box draws them through the
// character set of the locale, so a "C" or other non-UTF-8 environment would show them as
// fragments. Called once at the very start, before any thread exists.
void useUtf8CharacterType();
