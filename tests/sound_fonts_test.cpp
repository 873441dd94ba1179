// Which soundfonts the music is played with: the player's variable first, SDL_mixer's next,
// every existing entry of the list in its order, and silence when the list names nothing
// that exists, rather than some other soundfont.

#include "file_fixtures.h"
#include "platform/sdl/SoundFonts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// "{a}" and "{b}" in a case stand for two soundfont files that exist, "{dir}" for a folder.
struct FontCase {
    const char* name;
    const char* ours; // VORTALIX_SOUNDFONT; null: unset
    const char* sdls; // SDL_SOUNDFONTS; null: unset
    std::vector<std::string> chosen;
};

const FontCase kCases[] = {
    {"OursAlone", "{a}", nullptr, {"{a}"}},
    {"OursWinsOverSdls", "{b}", "{a}", {"{b}"}},
    {"SdlsWhenOursUnset", nullptr, "{a}", {"{a}"}},
    {"SdlsWhenOursEmpty", "", "{b}", {"{b}"}},
    {"EveryExistingEntryInOrder", "{b}:/no/such.sf2;{a}", nullptr, {"{b}", "{a}"}},
    {"EmptyEntriesSkipped", "::{a}:", nullptr, {"{a}"}},
    {"NothingThatExistsMeansSilence", "/no/such.sf2:/nor/this.sf2", "{a}", {}},
    {"AFolderIsNoSoundfont", "{dir}", nullptr, {}},
};

class SoundFonts : public ::testing::TestWithParam<FontCase> {
  protected:
    void SetUp() override {
        fixtures::writeText(dir / "a.sf2", "RIFF");
        fixtures::writeText(dir / "b.sf2", "RIFF");
        fixtures::writeText(dir / "sub/c.sf2", "RIFF");
        saved("VORTALIX_SOUNDFONT", savedOurs_);
        saved("SDL_SOUNDFONTS", savedSdls_);
    }
    void TearDown() override {
        restore("VORTALIX_SOUNDFONT", savedOurs_);
        restore("SDL_SOUNDFONTS", savedSdls_);
    }
    std::string expand(std::string s) const {
        for (const auto& [key, value] : {std::pair<std::string, std::string>{"{a}", dir / "a.sf2"},
                                         {"{b}", dir / "b.sf2"},
                                         {"{dir}", dir / "sub"}}) {
            for (size_t at = s.find(key); at != std::string::npos; at = s.find(key))
                s.replace(at, key.size(), value);
        }
        return s;
    }
    void set(const char* name, const char* value) const {
        if (value)
            ::setenv(name, expand(value).c_str(), 1);
        else
            ::unsetenv(name);
    }

    fixtures::TempDir dir;

  private:
    static void saved(const char* name, std::pair<bool, std::string>& keep) {
        const char* v = std::getenv(name);
        keep = {v != nullptr, v ? v : ""};
    }
    static void restore(const char* name, const std::pair<bool, std::string>& keep) {
        if (keep.first)
            ::setenv(name, keep.second.c_str(), 1);
        else
            ::unsetenv(name);
    }
    std::pair<bool, std::string> savedOurs_, savedSdls_;
};

TEST_P(SoundFonts, ChosenInOrder) {
    const FontCase& c = GetParam();
    set("VORTALIX_SOUNDFONT", c.ours);
    set("SDL_SOUNDFONTS", c.sdls);
    std::vector<std::string> expected;
    for (const std::string& e : c.chosen) expected.push_back(expand(e));
    EXPECT_EQ(chooseSoundFonts(), expected);
}

INSTANTIATE_TEST_SUITE_P(Overrides, SoundFonts, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
