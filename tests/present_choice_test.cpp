// Frames go through SDL's renderer only where a GPU draws it, unless the player asks.

#include "platform/sdl/PresentChoice.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using present::Path;
using present::Request;

struct ChoiceCase {
    const char* name;
    const char* asked; // VORTALIX_PRESENT
    bool offered;      // the window system renders directly
    present::RendererFacts facts;
    bool probed;
    Path path;
};

class PresentChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(PresentChoice, RendererOnlyOnAGpuOrWhenAsked) {
    const ChoiceCase& c = GetParam();
    const Request request = present::parseRequest(c.asked);
    EXPECT_EQ(present::worthProbing(request, c.offered), c.probed);
    // What the game would have found had it probed.
    EXPECT_EQ(present::choose(request, c.probed ? c.facts : present::RendererFacts{}), c.path);
}

const present::RendererFacts kIntel{true, true, "opengl", "Mesa Intel(R) UHD Graphics 620"};
const present::RendererFacts kNvidia{true, true, "opengl", "NVIDIA GeForce RTX 3060/PCIe/SSE2"};
const present::RendererFacts kLlvmpipe{true, true, "opengl", "llvmpipe (LLVM 15.0.6, 256 bits)"};
const present::RendererFacts kUnnamedGl{true, true, "opengl", ""};
const present::RendererFacts kSoftware{true, false, "software", ""};
const present::RendererFacts kNone{};

INSTANTIATE_TEST_SUITE_P(
    Present, PresentChoice,
    ::testing::Values(
        ChoiceCase{"IntelGpu", nullptr, true, kIntel, true, Path::Renderer},
        ChoiceCase{"NvidiaGpu", "auto", true, kNvidia, true, Path::Renderer},
        ChoiceCase{"VirtualMachineLlvmpipe", "", true, kLlvmpipe, true, Path::WindowSurface},
        ChoiceCase{"XvfbNeverProbed", nullptr, false, kLlvmpipe, false, Path::WindowSurface},
        ChoiceCase{"GlThatHidesWhatDraws", nullptr, true, kUnnamedGl, true, Path::WindowSurface},
        ChoiceCase{"SdlSoftwareRenderer", nullptr, true, kSoftware, true, Path::WindowSurface},
        ChoiceCase{"NoRendererAtAll", nullptr, true, kNone, true, Path::WindowSurface},
        ChoiceCase{"AskedRendererOnXvfb", "renderer", false, kLlvmpipe, true, Path::Renderer},
        ChoiceCase{"AskedRendererNoneMade", "renderer", false, kNone, true, Path::WindowSurface},
        ChoiceCase{"AskedSurfaceOnGpu", "surface", true, kIntel, false, Path::WindowSurface},
        ChoiceCase{"MisspeltIsAuto", "Renderer", false, kIntel, false, Path::WindowSurface}),
    [](const ::testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

TEST(Present, UnknownRequestIsToldApart) {
    EXPECT_EQ(present::parseRequest("gpu"), Request::Unknown);
    EXPECT_EQ(present::parseRequest("surface"), Request::WindowSurface);
}

} // namespace
