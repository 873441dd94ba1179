#pragma once
// Which way frames reach the window. SDL's accelerated renderer (a streaming texture drawn at
// a whole factor) is the cheapest where a real GPU does the drawing; where OpenGL is only a
// software rasteriser (Xvfb, a virtual machine, a remote X display) it costs far more than
// the window surface and the game's own row-pointer copy, and merely starting it holds tens of
// megabytes. No SDL here: the rules are checked without a display.

#include <string>

namespace present {

enum class Path { WindowSurface, Renderer };

// What the player asked for in VORTALIX_PRESENT: "surface", "renderer", or the choice left to
// the game (unset, empty, "auto").
enum class Request { Auto, WindowSurface, Renderer, Unknown };
Request parseRequest(const char* value);

// What is known of the window system before any OpenGL is started: whether it offers direct
// rendering at all. An X server without DRI2, DRI3 or NVIDIA's GLX (Xvfb, a remote display)
// draws OpenGL in software, so there is nothing to probe.
bool worthProbing(Request request, bool directRenderingOffered);

// What a probe renderer reported.
struct RendererFacts {
    bool made = false;        // a renderer could be created at all
    bool accelerated = false; // SDL counts it as accelerated
    std::string name;         // SDL's name for it ("opengl", "opengles2", "software", ...)
    std::string glRenderer;   // OpenGL's GL_RENDERER text, empty when not OpenGL
};

// True for the OpenGL renderers that draw on the processor.
bool isSoftwareRasteriser(const std::string& glRenderer);

Path choose(Request request, const RendererFacts& facts);

} // namespace present
