// The page's script is index.html's `vortalixPage`; these are the only places that call it.

#include "platform/web/WebPage.h"

#include <emscripten.h>

namespace {

// clang-format off
EM_JS(void, page_show_message, (const char* caption, const char* text), {
    Module.vortalixPage.showMessage(UTF8ToString(caption), UTF8ToString(text));
});
EM_JS(void, page_persist, (), {
    Module.vortalixPage.persist();
});
EM_JS(void, page_offer_download, (const char* name, const uint8_t* data, size_t size), {
    Module.vortalixPage.offerDownload(UTF8ToString(name), HEAPU8.slice(data, data + size));
});
EM_JS(void, page_pick_picture, (const char* folder), {
    Module.vortalixPage.pickPicture(UTF8ToString(folder));
});
EM_JS(void, page_layout, (int32_t width, int32_t height), {
    Module.vortalixPage.layout(width, height);
});
EM_JS(void, page_frame_begun, (double timestampMs), {
    Module.vortalixPage.frameBegun(timestampMs);
});
EM_JS(void, page_frame_presented, (), {
    Module.vortalixPage.framePresented();
});
EM_JS(void, page_program_ended, (int32_t code), {
    Module.vortalixPage.programEnded(code);
});
EM_JS(void, page_replay_written, (const char* path, int32_t abandoned), {
    if (window.vortalixScoreboard) window.vortalixScoreboard.replayWritten(UTF8ToString(path), abandoned != 0);
});
EM_JS(void, page_scripted_run_done, (), {
    Module.vortalixPage.scriptedRunDone();
});
EM_JS(void, page_watching, (const char* name), {
    Module.vortalixPage.watching(UTF8ToString(name));
});
EM_JS(void, page_replay_over, (), {
    Module.vortalixPage.replayOver();
});
// clang-format on

} // namespace

namespace webpage {

void showMessage(const std::string& caption, const std::string& text) {
    page_show_message(caption.c_str(), text.c_str());
}

void persist() {
    page_persist();
}

void offerDownload(const std::string& name, const uint8_t* data, size_t size) {
    page_offer_download(name.c_str(), data, size);
}

void pickPicture(const std::string& folder) {
    page_pick_picture(folder.c_str());
}

void layout(int32_t width, int32_t height) {
    page_layout(width, height);
}

void frameBegun(double timestampMs) {
    page_frame_begun(timestampMs);
}

void framePresented() {
    page_frame_presented();
}

void programEnded(int32_t code) {
    page_program_ended(code);
}

void scriptedRunDone() {
    page_scripted_run_done();
}

void watching(const std::string& name) {
    page_watching(name.c_str());
}

void replayOver() {
    page_replay_over();
}

void replayWritten(const std::string& path, bool abandoned) {
    page_replay_written(path.c_str(), abandoned ? 1 : 0);
}

} // namespace webpage
