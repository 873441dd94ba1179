#pragma once
// A complete, small set of data files in a temporary folder: sheets of the right sizes whose
// pixels tell their sheet and place, a default background, ten WAV files and a ranking file.
// Tests that start the whole program use it instead of the generated art, so they do not
// change when the pictures are redrawn.

#include "app/GameState.h"
#include "platform/Picture.h"
#include "platform/Platform.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <turbojpeg.h>
#include <unistd.h>
#include <vector>

namespace fixture {

namespace fs = std::filesystem;

inline std::vector<uint8_t> readBytes(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f),
                                std::istreambuf_iterator<char>());
}

inline void writeBytes(const fs::path& path, const void* data, size_t size) {
    fs::create_directories(path.parent_path());
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(static_cast<const char*>(data), std::streamsize(size));
}

// Every pixel is visible (no zero byte) and encodes its sheet and position.
inline Surface codedSheet(int sheetIndex, int32_t w, int32_t h) {
    Surface s(w, h);
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* p = s.row(y);
        for (int32_t x = 0; x < w; ++x, p += 3) {
            p[0] = uint8_t(1 + x % 200);
            p[1] = uint8_t(1 + y % 200);
            p[2] = uint8_t(1 + sheetIndex * 20 + x / 200);
        }
    }
    return s;
}

struct SheetSpec {
    const char* name;
    int32_t w, h;
};

inline const SheetSpec kSheets[kSheetCount] = {
    {"bonus01.bmp", 64, 48},     {"bairitu01.bmp", 64, 48}, {"efect01.bmp", 736, 16},
    {"title02.bmp", 200, 70},    {"moji01.bmp", 240, 56},   {"moji02.bmp", 72, 121},
    {"garge01.bmp", 160, 32},    {"bomb01.bmp", 384, 128},  {"thunder01.bmp", 240, 240},
    {"thunder02.bmp", 240, 240}, {"bomb02.bmp", 1152, 384}};

inline const char* const kWavs[10] = {"get.wav",     "comp01.wav", "baku03.wav", "lvup.wav",
                                      "scratch.wav", "baku05.wav", "count1.wav", "count2.wav",
                                      "count3.wav",  "count02.wav"};

inline std::vector<uint8_t> gradientJpeg(int32_t w, int32_t h) {
    std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = &rgb[(size_t(y) * size_t(w) + size_t(x)) * 3];
            p[0] = uint8_t(x * 255 / w);
            p[1] = uint8_t(y * 255 / h);
            p[2] = 128;
        }
    tjhandle tj = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(tj, rgb.data(), w, 0, h, TJPF_RGB, &jpeg, &size, TJSAMP_444, 95, 0);
    std::vector<uint8_t> out(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(tj);
    return out;
}

// A minimal PCM WAV: the game only needs the files to exist; the headless platform records
// which one would play.
inline std::vector<uint8_t> tinyWav() {
    const uint8_t header[44] = {'R', 'I', 'F',  'F',  36 + 4, 0,   0,    0,    'W', 'A', 'V',
                                'E', 'f', 'm',  't',  ' ',    16,  0,    0,    0,   1,   0,
                                1,   0,   0x44, 0xAC, 0,      0,   0x88, 0x58, 1,   0,   2,
                                0,   16,  0,    'd',  'a',    't', 'a',  4,    0,   0,   0};
    std::vector<uint8_t> v(header, header + 44);
    v.insert(v.end(), 4, 0);
    return v;
}

inline std::vector<uint8_t> rankingFile(const std::vector<std::pair<std::string, std::string>>& r) {
    std::vector<RankRecord> recs(10);
    for (size_t i = 0; i < 10 && i < r.size(); ++i) {
        recs[i].name.assign(r[i].first);
        recs[i].score.assign(r[i].second);
    }
    const auto* b = reinterpret_cast<const uint8_t*>(recs.data());
    return std::vector<uint8_t>(b, b + sizeof(RankRecord) * 10);
}

// A folder for the executable's files and one for the working directory, removed at the end.
struct GameFolders {
    fs::path root, exe, work;
    fs::path oldCwd;

    GameFolders() {
        char tmpl[] = "/tmp/vortalix-test-XXXXXX";
        root = mkdtemp(tmpl);
        exe = root / "exe";
        work = root / "work";
        fs::create_directories(exe);
        fs::create_directories(work);
        for (int i = 0; i < kSheetCount; ++i) {
            const std::vector<uint8_t> bmp = encodeBmp24(codedSheet(i, kSheets[i].w, kSheets[i].h));
            writeBytes(exe / "image" / kSheets[i].name, bmp.data(), bmp.size());
        }
        const std::vector<uint8_t> jpg = gradientJpeg(320, 200);
        writeBytes(exe / "image" / "t_back.jpg", jpg.data(), jpg.size());
        const std::vector<uint8_t> wav = tinyWav();
        for (const char* w : kWavs) writeBytes(exe / "sound" / w, wav.data(), wav.size());
        std::vector<std::pair<std::string, std::string>> ranks;
        for (int i = 0; i < 10; ++i)
            ranks.push_back({"P" + std::to_string(i), std::to_string(100 - 10 * i)});
        const std::vector<uint8_t> score = rankingFile(ranks);
        writeBytes(work / "score.vtx", score.data(), score.size());
        oldCwd = fs::current_path();
        fs::current_path(work);
    }
    ~GameFolders() {
        std::error_code ec;
        fs::current_path(oldCwd, ec);
        fs::remove_all(root, ec);
    }
    std::string exeDir() const { return exe.string() + "/"; }
    void writeSettings(const std::string& text) const {
        writeBytes(exe / "VORTALIX.ini", text.data(), text.size());
    }
};

// The golden game: a fixed seed and settings, the start at frame 45, one step down and back
// left under its own trail (scratches and level-ups), a death, and the name "AB" (A, B, then
// two steps left to '#', and confirm). Play begins after the 253 frames of the count-down;
// the point then steps on frames 298 + 3n.
template <class P> void scriptGoldenGame(const GameFolders& dirs, P& p) {
    p.exeDirectory = dirs.exeDir();
    p.timeOfDay = 4242;
    dirs.writeSettings(
        "[BackGround]\nPath=none\nEnable=1\n[Sound]\nSE=1\nBGM=1\n[Zoom]\nEnable=0\n");
    p.keysAtFrame[45] = {vk::X};
    p.keysAtFrame[539] = {vk::Right};
    p.keysAtFrame[542] = {vk::C};
    p.keysAtFrame[1700] = {vk::X};
    p.keysAtFrame[1702] = {vk::D6};
    p.keysAtFrame[1704] = {vk::D5};
    p.keysAtFrame[1706] = {vk::Z};
    p.keysAtFrame[1708] = {vk::Left};
    p.keysAtFrame[1710] = {vk::Up};
}

// FNV-1a over a surface's bytes: a short fingerprint of a whole frame.
inline uint64_t hashSurface(const Surface& s) {
    uint64_t h = 1469598103934665603ull;
    for (int32_t y = 0; y < s.height(); ++y) {
        const uint8_t* p = s.row(y);
        for (size_t i = 0; i < size_t(s.width()) * 3; ++i) h = (h ^ p[i]) * 1099511628211ull;
    }
    return h;
}

} // namespace fixture
