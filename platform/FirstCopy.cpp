#include "platform/FirstCopy.h"

#include "platform/Platform.h"

#include <vector>

namespace {

// The shipped first files are a few kilobytes; the cap only guards against a damaged install.
constexpr size_t kMaxFirstFile = 1024 * 1024;

} // namespace

bool giveFirstCopy(Platform& p, const std::string& from, const std::string& to,
                   std::string& error) {
    if (p.fileExists(to) || p.isDirectory(to)) return true;
    std::vector<uint8_t> bytes;
    if (p.readFile(from, kMaxFirstFile, bytes) != ReadStatus::Ok) return true;
    return p.writeFileAtomic(to, bytes.data(), bytes.size(), error);
}
