#pragma once
// The part of the media control interface the music player speaks, understood without any
// sound system: "open \"f\"", "play \"f\" notify", "stop \"f\"" and "close \"f\"". It turns the
// commands into one request for the back end: which file should be sounding now.

#include <cstdint>
#include <string>
#include <string_view>

struct MusicRequest {
    std::string file;
    bool playing = false;    // play `file` once from its beginning; otherwise silence
    uint64_t generation = 0; // changes with every new request, a restart of the same file too
};

// Splits a command into its verb and the file between the double quotes. False when the
// text is not of the form: verb, one blank, quoted name, optionally " notify".
bool parseMciCommand(std::string_view text, std::string_view& verb, std::string_view& file);

// One music device, as the player uses it: opened, played, stopped and closed by file name.
// A command that does not fit the device's state (play of a file that is not open, a second
// open, an unknown verb) changes nothing, as such a command fails on Windows.
class MciDevice {
  public:
    MciDevice();
    // Applies one command; true when the request changed.
    bool command(std::string_view text);
    const MusicRequest& request() const { return request_; }
    bool isOpen() const { return open_; }

  private:
    bool open_ = false;
    std::string openFile_;
    MusicRequest request_;
};
