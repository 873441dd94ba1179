#pragma once
// Gamepads through SDL's GameController: plugged in and out at any time, any number at once,
// known from SDL's mapping database and SDL_GAMECONTROLLERCONFIG. Their buttons and the left
// stick become presses and releases of the game's virtual keys (GamepadMap has the table).

#include <array>
#include <cstddef>
#include <cstdint>

union SDL_Event;
struct _SDL_GameController;

class SdlGamepad {
  public:
    // Receives what the pads stand for.
    class Keys {
      public:
        virtual ~Keys() = default;
        virtual void padPress(uint8_t vk) = 0;
        virtual void padRelease(uint8_t vk) = 0;
    };

    explicit SdlGamepad(Keys& keys) : keys_(keys) {}
    ~SdlGamepad();
    SdlGamepad(const SdlGamepad&) = delete;
    SdlGamepad& operator=(const SdlGamepad&) = delete;

    // True when the event was a pad's.
    bool handle(const SDL_Event& event);
    // Focus went elsewhere: nothing counts as held, and a stick still pushed must come back
    // to the centre before it presses again.
    void releaseAll();

  private:
    static constexpr size_t kMaxPads = 8;
    struct Pad {
        _SDL_GameController* controller = nullptr;
        int32_t instance = -1;
        int8_t stickSide = 0;
        bool trigger = false;
    };
    Pad* find(int32_t instance);
    void open(int32_t deviceIndex);
    void close(Pad& pad);

    Keys& keys_;
    std::array<Pad, kMaxPads> pads_{};
};
