#pragma once
// What the page around the canvas does for the game: the calls into the page's script. Each
// one returns at once; the page shows, stores or asks, and answers later where it must.

#include <cstddef>
#include <cstdint>
#include <string>

namespace webpage {

// A warning, shown as a message on the page instead of a box that would hold up the tab.
void showMessage(const std::string& caption, const std::string& text);
// Copies the player's folder (the browser's storage under it) out to the browser's storage.
void persist();
// Offers the bytes of a file the game wrote to the player as a download.
void offerDownload(const std::string& name, const uint8_t* data, size_t size);
// Opens the browser's file picker for a picture. The page writes the chosen file into
// `folder` and tells the game its path through vortalix_picture_chosen.
void pickPicture(const std::string& folder);
// Sizes the canvas on the page for a client area of width × height.
void layout(int32_t width, int32_t height);
// A game frame begins; it was due at timestampMs on the page's clock (the page measures the
// pacing).
void frameBegun(double timestampMs);
// A frame went to the canvas.
void framePresented();
// The program has ended with the exit code; the page offers to play again.
void programEnded(int32_t code);
// A scripted run reached its last frame; the canvas holds it.
void scriptedRunDone();
// A recorded game is being watched; name is its file's name as the player knows it.
void watching(const std::string& name);
// The watched recording has been played to its last frame, which the canvas now shows.
void replayOver();
// A replay file was written (the page sends it to a scoreboard that serves it, if any).
void replayWritten(const std::string& path, bool abandoned);

} // namespace webpage
