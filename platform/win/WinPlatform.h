#pragma once
// The Windows platform: SDL2's window, keyboard, clock and audio, with Windows' own warning box
// (MessageBoxW, so that the Japanese texts keep their glyphs) and open-file dialog
// (GetOpenFileNameW) in place of zenity. SDL_Init(SDL_INIT_VIDEO) must have succeeded first.

#include "platform/sdl/SdlPlatform.h"

class WinPlatform : public SdlPlatform {
  public:
    void messageBox(const std::string& text, const std::string& caption) override;
    bool openFileDialog(const std::string& title, const std::string& filter,
                        const std::string& defaultExt, std::string& path) override;
};

// The Windows form of a "name|*.a;*.b|name|*.c" filter: the same pairs, each part ended by a
// NUL and the whole by one more, as GetOpenFileNameW takes it.
std::wstring openDialogFilter(const std::string& filter);
