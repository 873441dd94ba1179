// A whole game played on SDL's virtual gamepad, and the same game played on the keyboard: the
// same start, turns, speed held, pause and name entry give the same ranking. Both run in the
// real SDL platform (dummy video and audio) on a clock that moves 16 ms a frame, so that the
// two games are step for step the same.

#include "app/TForm1.h"
#include "platform/ForwardingPlatform.h"
#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// What the player does, whichever device does it.
enum class Act { Confirm, Left, Right, SpeedDown, SpeedUp, Pause };
struct Step {
    int64_t frame; // counted from the start, or from the name entry's first frame
    Act act;
    bool inEntry = false;
};

std::vector<Step> wholeGame() {
    std::vector<Step> s = {{30, Act::Confirm},                         // start on the title
                           {400, Act::Left},    {440, Act::SpeedDown}, // faster for a while
                           {520, Act::SpeedUp}, {560, Act::Pause},
                           {620, Act::Pause},   {640, Act::Right}};
    // Left turns close together: the point circles into its own trail.
    for (int64_t f = 700; f < 900; f += 3) s.push_back({f, Act::Left});
    // The name entry: A, the cursor to B, B, back past A to '#', finish.
    const Act name[] = {Act::Confirm, Act::Right, Act::Confirm, Act::Left, Act::Left, Act::Confirm};
    int64_t f = 0;
    for (Act a : name) s.push_back({f += 20, a, true});
    return s;
}
constexpr int64_t kFrames = 1700;

// The real platform with a clock of its own: every frame lasts exactly 16 ms, and the script's
// inputs arrive before the frame they belong to.
class ScriptedSdl : public ForwardingPlatform {
  public:
    ScriptedSdl(SdlPlatform& sdl, std::string dir, bool usePad)
        : ForwardingPlatform(sdl), dir_(std::move(dir)), usePad_(usePad), script_(wholeGame()) {}
    ~ScriptedSdl() override {
        if (joystick_ != nullptr) SDL_JoystickClose(joystick_);
    }
    void attach(SDL_Joystick* joystick) { joystick_ = joystick; }
    void watch(const GameState& g) { game_ = &g; }

    uint32_t timeGetTime() override { return now_; }
    uint32_t timeOfDayMs() override { return 12345678; }
    void idleUntil(uint32_t ms) override { now_ = ms; }
    std::string exeDir() override { return dir_; }
    void present(const Surface& frame) override {
        ForwardingPlatform::present(frame);
        ++frames_;
    }
    void pumpMessages() override {
        release();
        if (entryFrame_ < 0 && game_ != nullptr && game_->mode == 3) {
            entryFrame_ = frames_;
        }
        // Turns still to come when the point has died already belong to no one.
        while (entryFrame_ >= 0 && next_ < script_.size() && !script_[next_].inEntry) ++next_;
        while (next_ < script_.size() && due(script_[next_])) act(script_[next_++].act);
        ForwardingPlatform::pumpMessages();
    }

  private:
    bool due(const Step& s) const {
        if (!s.inEntry) return s.frame <= frames_;
        return entryFrame_ >= 0 && entryFrame_ + s.frame <= frames_;
    }
    // A press lasts one frame, except the speed button's.
    void release() {
        if (pendingRelease_ < 0 || frames_ <= pressedAt_) return;
        send(pendingRelease_, false);
        pendingRelease_ = -1;
    }
    void act(Act a) {
        switch (a) {
        case Act::Confirm:
            tap(usePad_ ? int32_t(SDL_CONTROLLER_BUTTON_A) : int32_t(SDL_SCANCODE_X));
            break;
        case Act::Left:
            tap(usePad_ ? int32_t(SDL_CONTROLLER_BUTTON_DPAD_LEFT) : int32_t(SDL_SCANCODE_Z));
            break;
        case Act::Right:
            if (usePad_) { // the stick this time, pushed and let go
                SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTX, 30000);
                stickOut_ = true;
            } else {
                tap(SDL_SCANCODE_C);
            }
            break;
        case Act::SpeedDown:
            send(usePad_ ? int32_t(SDL_CONTROLLER_BUTTON_B) : int32_t(SDL_SCANCODE_S), true);
            break;
        case Act::SpeedUp:
            send(usePad_ ? int32_t(SDL_CONTROLLER_BUTTON_B) : int32_t(SDL_SCANCODE_S), false);
            break;
        case Act::Pause:
            tap(usePad_ ? int32_t(SDL_CONTROLLER_BUTTON_START) : int32_t(SDL_SCANCODE_F7));
            break;
        }
    }
    void tap(int32_t code) {
        send(code, true);
        pendingRelease_ = code;
        pressedAt_ = frames_;
    }
    void send(int32_t code, bool down) {
        if (stickOut_) {
            SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTX, 0);
            stickOut_ = false;
        }
        if (usePad_) {
            SDL_JoystickSetVirtualButton(joystick_, code, down ? 1 : 0);
            return;
        }
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.scancode = SDL_Scancode(code);
        e.key.keysym.sym = SDL_GetKeyFromScancode(SDL_Scancode(code));
        SDL_PushEvent(&e);
    }

    std::string dir_;
    bool usePad_;
    std::vector<Step> script_;
    size_t next_ = 0;
    uint32_t now_ = 1000;
    int64_t frames_ = 0;
    int32_t pendingRelease_ = -1;
    int64_t pressedAt_ = 0;
    bool stickOut_ = false;
    SDL_Joystick* joystick_ = nullptr;
    const GameState* game_ = nullptr;
    int64_t entryFrame_ = -1;
};

SDL_Joystick* attachVirtualPad() {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
    desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    desc.name = "virtual pad";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) return nullptr;
    return SDL_JoystickOpen(index);
}

struct Outcome {
    uint8_t mode = 0;
    std::string score;
    std::vector<char> ranking; // score.vtx as the name entry wrote it
};

class PadGame : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        // No window has the focus under the dummy driver; the pad must still be heard.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    }
    static void TearDownTestSuite() { SDL_Quit(); }

    // One game in a fresh folder with the data and a ranking of ten zero scores.
    Outcome play(bool usePad) {
        const fs::path dir = fs::temp_directory_path() /
                             ("vortalix-pad-" + std::to_string(getpid()) + (usePad ? "p" : "k"));
        fs::remove_all(dir);
        fs::create_directories(dir);
        const fs::path build = VORTALIX_BINARY_DIR;
        fs::create_directory_symlink(build / "image", dir / "image");
        fs::create_directory_symlink(build / "sound", dir / "sound");
        std::vector<char> record(267, 0);
        record[0] = 1;
        record[1] = '0';
        {
            std::ofstream out(dir / "score.vtx", std::ios::binary);
            for (int i = 0; i < 10; ++i) out.write(record.data(), std::streamsize(record.size()));
        }
        const fs::path before = fs::current_path();
        fs::current_path(dir);

        Outcome o;
        {
            SdlPlatform sdl;
            ScriptedSdl p(sdl, dir.string() + "/", usePad);
            if (usePad) {
                SDL_Joystick* joystick = attachVirtualPad();
                EXPECT_NE(joystick, nullptr) << SDL_GetError();
                p.attach(joystick);
            }
            TForm1 form(p);
            p.watch(form.g);
            EXPECT_EQ(runProgram(form, kFrames), -1);
            o.mode = form.g.mode;
            o.score = std::string(form.g.score.view());
            form.FormDestroy();
        }
        if (usePad) SDL_JoystickDetachVirtual(0);
        std::ifstream in(dir / "score.vtx", std::ios::binary);
        o.ranking.assign(std::istreambuf_iterator<char>(in), {});
        fs::current_path(before);
        fs::remove_all(dir);
        return o;
    }
};

TEST_F(PadGame, PlaysTheWholeGameAsTheKeyboardDoes) {
    const Outcome keyboard = play(false);
    ASSERT_EQ(keyboard.mode, 4) << "the keyboard game ends on the ranking screen";
    ASSERT_EQ(keyboard.ranking.size(), 2670u);
    EXPECT_EQ(std::string(&keyboard.ranking[257], 2), "AB") << "the name entered first";
    const Outcome pad = play(true);
    EXPECT_EQ(pad.mode, keyboard.mode);
    EXPECT_EQ(pad.score, keyboard.score);
    EXPECT_EQ(pad.ranking, keyboard.ranking) << "the same game, the same ranking";
}

} // namespace
