#pragma once
// Finds out, once at start, what SDL's accelerated renderer would draw with, without starting
// OpenGL where it could only be a software rasteriser.

#include "platform/sdl/PresentChoice.h"

struct SDL_Window;

namespace present {

// Whether the window system of this window offers direct rendering: for X, the server has
// DRI2, DRI3 or NVIDIA's GLX; other window systems (Wayland, a console) are assumed to.
bool directRenderingOffered(SDL_Window* window);

// Makes a hidden window with an accelerated renderer, reads what draws it, and takes both down.
RendererFacts probeRenderer();

} // namespace present
