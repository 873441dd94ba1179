#include "platform/headless/HeadlessPlatform.h"

#include <algorithm>

void HeadlessPlatform::idleUntil(uint32_t ms) {
    if (autoAdvance && int32_t(ms - now) > 0) now = ms;
}

void HeadlessPlatform::pumpMessages() {
    ++pumps;
    // Scripted events belong to the frame about to be composed.
    const int64_t next = framesPresented;
    if (auto it = keysAtFrame.find(next); it != keysAtFrame.end()) {
        pendingKeys_.insert(pendingKeys_.end(), it->second.begin(), it->second.end());
        keysAtFrame.erase(it);
    }
    const bool close = closeAtFrame.erase(next) > 0;
    std::vector<uint8_t> keys;
    keys.swap(pendingKeys_);
    for (uint8_t k : keys) {
        pressedSince_.push_back(k);
        if (events_) events_->onKeyDown(k);
    }
    if (close && events_) events_->onCloseRequest();
}

bool HeadlessPlatform::getAsyncKeyState(uint8_t key) {
    asyncQueries.push_back(key);
    bool down = std::find(keysDown.begin(), keysDown.end(), key) != keysDown.end();
    for (const Hold& h : holds)
        if (h.key == key && framesPresented >= h.fromFrame && framesPresented <= h.toFrame)
            down = true;
    auto it = std::find(pressedSince_.begin(), pressedSince_.end(), key);
    const bool pressed = it != pressedSince_.end();
    pressedSince_.erase(std::remove(pressedSince_.begin(), pressedSince_.end(), key),
                        pressedSince_.end());
    return down || pressed;
}

void HeadlessPlatform::present(const Surface& frame) {
    ++framesPresented;
    if (!captureFrames) return;
    presentTimes.push_back(now);
    if (lastFrame.width() != frame.width() || lastFrame.height() != frame.height())
        lastFrame.create(frame.width(), frame.height());
    for (int32_t y = 0; y < frame.height(); ++y)
        std::copy(frame.row(y), frame.row(y) + size_t(frame.width()) * 3, lastFrame.row(y));
    if (keepAllFrames) frames.push_back(lastFrame);
}

void HeadlessPlatform::messageBox(const std::string& text, const std::string& caption) {
    messageBoxes.push_back({text, caption});
    if (onMessageBox) onMessageBox(messageBoxes.back());
}

bool HeadlessPlatform::openFileDialog(const std::string& title, const std::string&,
                                      const std::string&, std::string& path) {
    dialogTitles.push_back(title);
    if (dialogAnswers.empty()) return false;
    std::string answer = dialogAnswers.front();
    dialogAnswers.pop_front();
    if (answer.empty()) return false;
    path = answer;
    return true;
}
