#include "platform/sdl/PresentChoice.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace present {

Request parseRequest(const char* value) {
    if (value == nullptr || value[0] == '\0' || std::strcmp(value, "auto") == 0)
        return Request::Auto;
    if (std::strcmp(value, "surface") == 0) return Request::WindowSurface;
    if (std::strcmp(value, "renderer") == 0) return Request::Renderer;
    return Request::Unknown;
}

bool worthProbing(Request request, bool directRenderingOffered) {
    switch (request) {
    case Request::Renderer:
        return true;
    case Request::WindowSurface:
        return false;
    default:
        return directRenderingOffered;
    }
}

bool isSoftwareRasteriser(const std::string& glRenderer) {
    std::string text = glRenderer;
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    // Mesa's llvmpipe, softpipe and swrast, Vulkan's lavapipe under Zink, Google's
    // SwiftShader, and Windows' fallback.
    const std::array<const char*, 7> software = {
        "llvmpipe", "softpipe", "swrast", "lavapipe", "swiftshader", "software", "basic render"};
    return std::any_of(software.begin(), software.end(),
                       [&](const char* word) { return text.find(word) != std::string::npos; });
}

Path choose(Request request, const RendererFacts& facts) {
    if (!facts.made || request == Request::WindowSurface) return Path::WindowSurface;
    // Asked for by name, the renderer is used whatever draws it (this is how it is checked on
    // machines without a GPU).
    if (request == Request::Renderer) return Path::Renderer;
    if (!facts.accelerated || facts.name == "software") return Path::WindowSurface;
    // An OpenGL renderer that would not say what draws it is taken for a software one.
    const bool openGl = facts.name.rfind("opengl", 0) == 0;
    if (openGl && facts.glRenderer.empty()) return Path::WindowSurface;
    if (isSoftwareRasteriser(facts.glRenderer)) return Path::WindowSurface;
    return Path::Renderer;
}

} // namespace present
