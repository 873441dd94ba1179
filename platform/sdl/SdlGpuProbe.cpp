#include "platform/sdl/SdlGpuProbe.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace present {

namespace {

using GetString = const unsigned char* (*)(unsigned int);
constexpr unsigned int kGlRenderer = 0x1F01;

} // namespace

bool directRenderingOffered(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    // No window system at all (SDL's dummy driver): nothing to draw with.
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE) return false;
#if defined(SDL_VIDEO_DRIVER_X11)
    if (info.subsystem == SDL_SYSWM_X11) {
        Display* display = info.info.x11.display;
        int opcode = 0, event = 0, error = 0;
        for (const char* extension : {"DRI3", "DRI2", "NV-GLX"}) {
            if (XQueryExtension(display, extension, &opcode, &event, &error)) return true;
        }
        return false;
    }
#endif
    return info.subsystem != SDL_SYSWM_UNKNOWN;
}

RendererFacts probeRenderer() {
    RendererFacts facts;
    SDL_Window* window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL);
    if (window == nullptr) return facts;
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (renderer != nullptr) {
        SDL_RendererInfo info{};
        facts.made = SDL_GetRendererInfo(renderer, &info) == 0;
        facts.accelerated = (info.flags & SDL_RENDERER_ACCELERATED) != 0;
        facts.name = info.name != nullptr ? info.name : "";
        // The renderer's context is the current one right after it is made.
        const auto glGetString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
        if (facts.name.rfind("opengl", 0) == 0 && glGetString != nullptr) {
            const unsigned char* text = glGetString(kGlRenderer);
            if (text != nullptr) facts.glRenderer = reinterpret_cast<const char*>(text);
        }
        SDL_DestroyRenderer(renderer);
    }
    SDL_DestroyWindow(window);
    return facts;
}

} // namespace present
