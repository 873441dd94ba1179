#pragma once
// Everything the game needs from the operating system, behind one interface. The game logic,
// its data and its drawing see only this; the SDL2 backend and the headless test backend
// implement it.

#include "render/Surface.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// Virtual-key codes the game understands (the Windows values, which the ranking of keys and
// the key table are written in).
namespace vk {
constexpr uint8_t Tab = 9, Escape = 27;
constexpr uint8_t Left = 37, Up = 38, Right = 39, Down = 40;
constexpr uint8_t D4 = 52, D5 = 53, D6 = 54, D8 = 56; // main-row digits, never the keypad
constexpr uint8_t C = 67, S = 83, X = 88, Z = 90;
constexpr uint8_t F1 = 112, F2 = 113, F3 = 114, F4 = 115, F5 = 116, F6 = 117, F7 = 118;
} // namespace vk

// Receives the window's events while messages are pumped.
class WindowEvents {
  public:
    virtual ~WindowEvents() = default;
    virtual void onKeyDown(uint8_t key) = 0; // every press, key repeats included
    virtual void onCloseRequest() = 0;       // close box or the system's close command
};

// Thrown by Platform::halt: unwinds to the program entry, which still runs FormDestroy.
struct ProgramExit {
    int code;
};

enum class ReadStatus { Ok, Missing, NotRegular, TooLarge, Error };

class Platform {
  public:
    virtual ~Platform() = default;

    void setEventSink(WindowEvents* sink) { events_ = sink; }

    // --- time ---
    // 32-bit millisecond clock; callers take differences modulo 2^32.
    virtual uint32_t timeGetTime() = 0;
    // Time of day (UTC) in milliseconds, for the random seed.
    virtual uint32_t timeOfDayMs() = 0;
    // Gives up the processor until the millisecond clock reaches `ms` or a message arrives.
    // The frame wait calls it between pumps so that waiting does not spin.
    virtual void idleUntil(uint32_t ms) = 0;

    // --- window ---
    // Handles every pending message (key-downs, close requests) and returns.
    virtual void pumpMessages() = 0;
    // "Down now, or pressed since the previous query of this key".
    virtual bool getAsyncKeyState(uint8_t key) = 0;
    virtual void setClientSize(int32_t width, int32_t height) = 0;
    virtual void clientSize(int32_t& width, int32_t& height) const = 0;
    // Draws a whole 24-bit frame onto the window at 0,0; a window larger than the frame shows
    // it at the largest whole factor that fits, centred, black around it.
    virtual void present(const Surface& frame) = 0;
    // --- display ---
    // Makes the window `scale` times the frame of frameW x frameH (0: the largest factor that
    // fits the usable screen area) and, when asked, covers the screen with it. Start-up calls
    // it once, in place of setClientSize, when the settings name a scale or fullscreen.
    virtual void setDisplay(int32_t scale, int32_t frameW, int32_t frameH, bool fullscreen);
    // Whether the window covers the screen now: the player switches it with F11 or Alt+Enter,
    // which never reach the game.
    virtual bool isFullscreen() { return false; }
    // Modal warning box with one OK button and an exclamation icon.
    virtual void messageBox(const std::string& text, const std::string& caption) = 0;
    // Modal file-open dialog. True with the chosen path when the player confirmed.
    virtual bool openFileDialog(const std::string& title, const std::string& filter,
                                const std::string& defaultExt, std::string& path) = 0;
    // Ends the program with an exit code; the window's destroy handler still runs.
    [[noreturn]] void halt(int code) { throw ProgramExit{code}; }

    // --- files and paths ---
    // Directory of the executable, with its trailing separator.
    virtual std::string exeDir() = 0;
    // Where an installed game's data folder is, with its trailing separator: found relative to
    // the executable, so that a moved installation still finds its data.
    virtual std::string installedDataDir() = 0;
    // An environment variable; nothing when it is not set.
    virtual std::optional<std::string> environment(const std::string& name);
    virtual bool isDirectory(const std::string& path);
    // True when new files can be made in the folder.
    virtual bool isWritableDirectory(const std::string& path);
    // Makes the folder and every missing folder above it, each new one private to the player.
    // False with a reason when that cannot be done.
    virtual bool makeDirectories(const std::string& path, std::string& error);
    // The names of the regular files in a folder (no paths, in no particular order); empty
    // when it cannot be read.
    virtual std::vector<std::string> listFiles(const std::string& dir);
    virtual bool removeFile(const std::string& path);
    // Seconds since 1970 (UTC), and the local date and time as "YYYYMMDD-HHMMSS", for naming
    // and dating the player's files.
    virtual int64_t unixTime();
    virtual std::string localTimeStamp();
    virtual bool fileExists(const std::string& path);
    // Reads a regular file of at most maxBytes into out.
    virtual ReadStatus readFile(const std::string& path, size_t maxBytes,
                                std::vector<uint8_t>& out);
    // Writes a whole file through a temporary file in the same directory that is renamed over
    // the old one, so a failed write leaves the old file intact. False with a reason on failure.
    // A symbolic link is followed and the old file's permissions are kept.
    virtual bool writeFileAtomic(const std::string& path, const void* data, size_t size,
                                 std::string& error);

    // --- audio ---
    // Decodes a sound effect once, at start-up, so playing it later costs nothing.
    virtual void preloadSound(const std::string& path) = 0;
    // Plays a sound effect asynchronously; a new sound cuts off the one playing.
    virtual void sndPlaySound(const std::string& path) = 0;
    // Music command text: "open \"f\"", "play \"f\" notify", "stop \"f\"", "close \"f\"".
    virtual void mciSendString(const std::string& command, bool notifyWindow) = 0;

  protected:
    WindowEvents* events_ = nullptr;
};

// Reads a regular file of at most maxBytes into out, the path in UTF-8. Every reader of the
// game's files comes through here, so that each system reads its paths its own way.
ReadStatus readRegularFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out);

// A stored data-file name uses '\' between folders ("image\bonus01.bmp"); this gives the name
// with the separator of the system the game runs on.
std::string nativePath(const std::string& stored);
