#pragma once
// SDL's key identities turned into the Windows virtual-key codes the game is written in, and
// the "down now or pressed since the last query" state behind getAsyncKeyState. Free of SDL's
// headers so that it can be checked without a window; SdlKeys.cpp checks at compile time that
// the numbers below are SDL's own.

#include <array>
#include <cstdint>

namespace sdlkeys {

// Keys without a character have the keycode "scancode with bit 30 set".
constexpr int32_t kScancodeMask = int32_t(1) << 30;
constexpr int32_t keycodeOf(int32_t scancode) {
    return scancode | kScancodeMask;
}

// Scancodes are USB usage ids: positions on the keyboard, whatever the layout.
constexpr int32_t kScanA = 4, kScanZ = 29;
constexpr int32_t kScan1 = 30, kScan9 = 38, kScan0 = 39;
constexpr int32_t kScanCapsLock = 57, kScanF1 = 58, kScanF12 = 69, kScanPause = 72;
constexpr int32_t kScanInsert = 73, kScanHome = 74, kScanPageUp = 75, kScanEnd = 77,
                  kScanPageDown = 78;
constexpr int32_t kScanRight = 79, kScanLeft = 80, kScanDown = 81, kScanUp = 82;
constexpr int32_t kScanKpDivide = 84, kScanKpEnter = 88, kScanKp1 = 89, kScanKp9 = 97,
                  kScanKp0 = 98, kScanKpPeriod = 99;
constexpr int32_t kScanLCtrl = 224, kScanLShift = 225, kScanLAlt = 226, kScanRCtrl = 228,
                  kScanRShift = 229, kScanRAlt = 230;

// Keycodes of keys that stand for a character are that character.
constexpr int32_t kKeyBackspace = 8, kKeyTab = 9, kKeyReturn = 13, kKeyEscape = 27, kKeySpace = 32,
                  kKeyDelete = 127;

// The virtual-key code for a key event, or 0 for a key the game has no code for.
// Letters follow the layout, as Windows does ('a' on an AZERTY keyboard is 'A' wherever it
// sits); the digits of the main row follow their position, as Windows gives '1'..'0' for
// that row even where the unshifted characters are '&', 'é' and so on. The keypad never
// gives a main-row digit: its keys get the VK_NUMPAD codes, which the game ignores.
// Modifier state plays no part: only the key itself is looked at.
constexpr uint8_t virtualKey(int32_t keycode, int32_t scancode) {
    if (scancode >= kScanKp1 && scancode <= kScanKp9) return uint8_t(97 + (scancode - kScanKp1));
    if (scancode == kScanKp0) return 96;
    if (scancode == kScanKpEnter) return 13;
    if (scancode >= kScanKpDivide && scancode <= kScanKpPeriod) return 0; // / * - + .
    if (scancode >= kScan1 && scancode <= kScan9) return uint8_t('1' + (scancode - kScan1));
    if (scancode == kScan0) return '0';

    if (keycode >= 'a' && keycode <= 'z') return uint8_t(keycode - 'a' + 'A');
    // A layout without Latin letters (Cyrillic, Greek, ...) reports the character; Windows
    // then names the key after its position on a US keyboard.
    if (keycode >= 128 && keycode < kScancodeMask && scancode >= kScanA && scancode <= kScanZ)
        return uint8_t('A' + (scancode - kScanA));

    switch (keycode) {
    case kKeyBackspace:
        return 8;
    case kKeyTab:
        return 9;
    case kKeyReturn:
        return 13;
    case kKeyEscape:
        return 27;
    case kKeySpace:
        return 32;
    case kKeyDelete:
        return 46;
    default:
        break;
    }
    if (keycode < kScancodeMask) return 0;

    const int32_t scan = keycode & ~kScancodeMask;
    if (scan >= kScanF1 && scan <= kScanF12) return uint8_t(112 + (scan - kScanF1));
    switch (scan) {
    case kScanLeft:
        return 37;
    case kScanUp:
        return 38;
    case kScanRight:
        return 39;
    case kScanDown:
        return 40;
    case kScanPageUp:
        return 33;
    case kScanPageDown:
        return 34;
    case kScanEnd:
        return 35;
    case kScanHome:
        return 36;
    case kScanInsert:
        return 45;
    case kScanLShift:
    case kScanRShift:
        return 16;
    case kScanLCtrl:
    case kScanRCtrl:
        return 17;
    case kScanLAlt:
    case kScanRAlt:
        return 18;
    case kScanPause:
        return 19;
    case kScanCapsLock:
        return 20;
    default:
        return 0;
    }
}

// Which keys are down, and which went down since they were last asked about. The speed keys
// are polled once per step, so a tap that starts and ends between two polls still has to
// count once.
class KeyStates {
  public:
    void press(uint8_t vk) {
        if (vk == 0) return;
        down_[vk] = true;
        pressed_[vk] = true;
    }
    void release(uint8_t vk) { down_[vk] = false; }
    // Pressed and let go again before anyone looked: seen once by the next query.
    void tap(uint8_t vk) {
        if (vk != 0) pressed_[vk] = true;
    }
    // Focus went elsewhere: the key-ups will not be seen, so nothing counts as held.
    void releaseAll() { down_.fill(false); }
    bool query(uint8_t vk) {
        const bool result = down_[vk] || pressed_[vk];
        pressed_[vk] = false;
        return result;
    }

  private:
    std::array<bool, 256> down_{};
    std::array<bool, 256> pressed_{};
};

} // namespace sdlkeys
