// vortalix-headless: plays the real game without a window, frame by frame, as fast as the
// machine allows. Every frame lasts exactly 16 ms of the game's clock.
//
//   vortalix-headless [--frames N] [--seed S] [--key FRAME:KEY]... [--hold FROM-TO:KEY]...
//                     [--exe-dir DIR] [--out FILE.bmp] [--record FILE.vtr]
//   vortalix-headless --verify FILE.vtr [--exe-dir DIR] [--out LAST.bmp]
//
// KEY is a virtual-key code or one of: esc left up right down x z c s 4 5 6 8 f1 .. f7.
// Data files are read from --exe-dir (default: this program's folder), "score.vtx" from the
// working directory. Prints one line: mode, score, level, frames, exit code; exits with the
// game's exit code, or 0 when the frames ran out first. --record keeps the game played as a
// replay in FILE.vtr.
//
// --verify plays a replay without a window, as fast as it goes, prints its outcome, and exits
// with 0 when it matches the one recorded, 1 when not, 2 when the file cannot be read. With
// --out it also keeps the recording's last frame, as a window watching it shows it at the end.

#include "app/KeyNames.h"
#include "app/TForm1.h"
#include "platform/Picture.h"
#include "platform/headless/HeadlessPlatform.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"
#include "replay/ReplayVerify.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void usage(const char* why) {
    std::fprintf(stderr, "vortalix-headless: %s\n", why);
    std::exit(2);
}

std::string text(std::string_view v) {
    return std::string(v);
}

bool writeLastFrame(HeadlessPlatform& p, const std::string& out) {
    if (out.empty() || p.lastFrame.empty()) return true;
    const std::vector<uint8_t> bmp = encodeBmp24(p.lastFrame);
    std::string error;
    if (p.writeFileAtomic(out, bmp.data(), bmp.size(), error)) return true;
    std::fprintf(stderr, "vortalix-headless: %s\n", error.c_str());
    return false;
}

int verify(HeadlessPlatform& p, const std::string& file, const std::string& out) {
    Replay replay;
    std::string error;
    if (!loadReplay(p, file, replay, error)) {
        std::fprintf(stderr, "vortalix-headless: %s\n", error.c_str());
        return 2;
    }
    // Frames are neither kept nor looked at unless the last one is asked for: only the outcome
    // counts.
    p.captureFrames = !out.empty();
    const VerifyResult r = verifyReplay(p, replay);
    if (r.outcome == VerifyOutcome::CannotStart) {
        std::fprintf(stderr, "vortalix-headless: %s: the game could not start (exit code %d)\n",
                     file.c_str(), r.exitCode);
        return 2;
    }
    std::printf("score=%s level=%u name=%s%s\n", text(r.score.view()).c_str(), unsigned(r.level),
                text(r.name.view()).c_str(),
                (replay.flags & kReplayAbandoned) ? " (abandoned)" : "");
    if (r.outcome != VerifyOutcome::Matches)
        std::printf("recorded: score=%s level=%u name=%s%s\n", text(replay.score.view()).c_str(),
                    unsigned(replay.level), text(replay.name.view()).c_str(),
                    r.desynchronised ? "; the game asked for other keys than recorded" : "");
    if (!writeLastFrame(p, out)) return 2;
    return r.outcome == VerifyOutcome::Matches ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    HeadlessPlatform p;
    int64_t frames = 600;
    std::string out, record, verifyFile;
    p.exeDirectory = std::filesystem::absolute(argv[0]).parent_path().string() + "/";
    p.timeOfDay = 12345;
    p.onMessageBox = [](const HeadlessPlatform::MessageBoxCall& m) {
        std::fprintf(stderr, "vortalix-headless: message box \"%s\": %s\n", m.caption.c_str(),
                     m.text.c_str());
    };
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) usage(("missing value after " + a).c_str());
        const std::string v = argv[++i];
        if (a == "--frames") {
            frames = std::atoll(v.c_str());
        } else if (a == "--seed") {
            p.timeOfDay = uint32_t(std::strtoul(v.c_str(), nullptr, 10));
        } else if (a == "--exe-dir") {
            p.exeDirectory = v.back() == '/' ? v : v + "/";
        } else if (a == "--out") {
            out = v;
        } else if (a == "--record") {
            record = v;
        } else if (a == "--verify") {
            verifyFile = v;
        } else if (a == "--key" || a == "--hold") {
            const size_t colon = v.find(':');
            if (colon == std::string::npos) usage(("bad key event " + v).c_str());
            const int code = keyCode(v.substr(colon + 1));
            if (code < 0) usage(("unknown key in " + v).c_str());
            const std::string when = v.substr(0, colon);
            if (a == "--key") {
                p.keysAtFrame[std::atoll(when.c_str())].push_back(uint8_t(code));
            } else {
                const size_t dash = when.find('-');
                if (dash == std::string::npos) usage(("bad hold span " + v).c_str());
                p.holds.push_back({std::atoll(when.substr(0, dash).c_str()),
                                   std::atoll(when.substr(dash + 1).c_str()), uint8_t(code)});
            }
        } else {
            usage(("unknown option " + a).c_str());
        }
    }

    if (!verifyFile.empty()) return verify(p, verifyFile, out);

    ReplayRecorder recorder(p);
    recorder.outputPath = record;
    Platform& run = record.empty() ? static_cast<Platform&>(p) : recorder;
    TForm1 form(run);
    recorder.watch(record.empty() ? nullptr : &form.g);
    const int code = runProgram(form, frames);
    if (!record.empty()) recorder.programEnded();
    const GameState& g = form.g;
    std::printf("mode=%u score=%.*s level=%u frames=%lld exit=%d\n", unsigned(g.mode),
                int(g.score.len), g.score.ch, unsigned(g.level),
                static_cast<long long>(p.framesPresented), code);
    if (!writeLastFrame(p, out)) return 1;
    // The game's own exit code when it ended; 0 when the frames ran out first.
    return code >= 0 ? code : 0;
}
