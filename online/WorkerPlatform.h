#pragma once
// The platform the sending thread reads and writes files through, and plays a game again on to
// prove it before it is sent: no window, no sound, the real environment (so an installed game
// finds the same folders as the window's), the data files where the window finds them. It is
// the sending thread's own, so nothing is shared with the window's platform.

#include "platform/headless/HeadlessPlatform.h"

class WorkerPlatform : public HeadlessPlatform {
  public:
    WorkerPlatform(const std::string& exeDir, const std::string& installedDataDir) {
        exeDirectory = exeDir;
        installedData = installedDataDir;
        captureFrames = false;
    }
    std::optional<std::string> environment(const std::string& name) override {
        return Platform::environment(name);
    }
    int64_t unixTime() override { return Platform::unixTime(); }
};
