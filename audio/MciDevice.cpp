#include "audio/MciDevice.h"

bool parseMciCommand(std::string_view text, std::string_view& verb, std::string_view& file) {
    const size_t blank = text.find(' ');
    if (blank == std::string_view::npos || blank == 0) return false;
    verb = text.substr(0, blank);
    std::string_view rest = text.substr(blank + 1);
    if (rest.empty() || rest.front() != '"') return false;
    const size_t close = rest.find('"', 1);
    if (close == std::string_view::npos) return false;
    file = rest.substr(1, close - 1);
    const std::string_view tail = rest.substr(close + 1);
    return tail.empty() || tail == " notify";
}

MciDevice::MciDevice() {
    // Paths are copied into these on the game thread; with room reserved that costs nothing.
    openFile_.reserve(4096);
    request_.file.reserve(4096);
}

bool MciDevice::command(std::string_view text) {
    std::string_view verb, file;
    if (!parseMciCommand(text, verb, file)) return false;
    if (verb == "open") {
        if (open_) return false; // one device at a time; the player closes before it opens
        open_ = true;
        openFile_.assign(file);
        return false; // nothing sounds until it is played
    }
    if (!open_ || file != openFile_) return false;
    if (verb == "play") {
        if (request_.playing) return false; // already sounding: play goes on from where it is
        request_.file.assign(file);
        request_.playing = true;
    } else if (verb == "stop" || verb == "close") {
        if (verb == "close") open_ = false;
        if (!request_.playing) return false;
        request_.playing = false;
    } else {
        return false;
    }
    ++request_.generation;
    return true;
}
