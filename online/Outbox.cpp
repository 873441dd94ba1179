#include "online/Outbox.h"

#include "platform/Platform.h"
#include "replay/ReplayFile.h"

#include <algorithm>

namespace {

bool isReplayName(const std::string& name) {
    const std::string ext = kReplayExtension;
    return name.size() > ext.size() &&
           name.compare(name.size() - ext.size(), ext.size(), ext) == 0 && name[0] != '.';
}

} // namespace

Outbox::Outbox(Platform& files, const std::string& replaysDir)
    : files_(files), dir_(replaysDir + "outbox/") {}

std::vector<std::string> Outbox::games() {
    std::vector<std::string> names = files_.listFiles(dir_);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) { return !isReplayName(n); }),
                names.end());
    std::sort(names.begin(), names.end());
    return names;
}

bool Outbox::keep(const std::string& name, const std::vector<uint8_t>& bytes, std::string& error) {
    if (!isReplayName(name) || name.find('/') != std::string::npos) {
        error = "'" + name + "' is no replay file name";
        return false;
    }
    if (!files_.makeDirectories(dir_, error)) return false;
    if (!files_.fileExists(dir_ + name) && games().size() >= kMaxGames) {
        error = "the outbox already holds " + std::to_string(kMaxGames) + " games";
        return false;
    }
    return files_.writeFileAtomic(dir_ + name, bytes.data(), bytes.size(), error);
}

std::vector<std::string> Outbox::oldest(size_t count) {
    std::vector<std::string> names = games();
    if (names.size() > count) names.resize(count);
    return names;
}

bool Outbox::read(const std::string& name, std::vector<uint8_t>& bytes) {
    return files_.readFile(dir_ + name, kMaxReplayFile, bytes) == ReadStatus::Ok;
}

void Outbox::drop(const std::string& name) {
    files_.removeFile(dir_ + name);
}

void appendSendLog(Platform& files, const std::string& path, const std::string& line) {
    std::vector<uint8_t> text;
    // A log that cannot be read (or is no file) starts again rather than growing unseen.
    if (files.readFile(path, kMaxSendLog * 2, text) != ReadStatus::Ok) text.clear();
    text.insert(text.end(), line.begin(), line.end());
    text.push_back('\n');
    if (text.size() > kMaxSendLog) {
        // Half of it goes at once, at a line's start, so that the log is not rewritten
        // shorter by one line on every game.
        auto from = text.end() - std::ptrdiff_t(kMaxSendLog / 2);
        from = std::find(from, text.end(), uint8_t('\n'));
        if (from != text.end()) ++from;
        text.erase(text.begin(), from);
    }
    std::string error;
    files.writeFileAtomic(path, text.data(), text.size(), error);
}
