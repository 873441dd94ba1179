// The top-10 table and its file. The file is ten 267-byte records, kept byte for byte: the
// characters past a string's length are written back as they were read.

#include "screens/Ranking.h"

#include "IntStr/IntStr.h"
#include "app/GameState.h"
#include "audio/Sound.h"
#include "game/Effects.h"
#include "platform/Platform.h"

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace {
// Far more than any ranking file needs; bigger files are refused rather than read.
constexpr size_t kMaxRankingFile = 64u * 1024 * 1024;

size_t nameLength(const GameState& g) {
    return g.ranking[g.newrank < 10 ? g.newrank : 9].name.len;
}
} // namespace

RankingLoad readRanking(GameState& g, std::string& error) {
    std::vector<uint8_t> bytes;
    switch (g.platform->readFile(g.files.rankingFile, kMaxRankingFile, bytes)) {
    case ReadStatus::Ok:
        break;
    case ReadStatus::Missing:
        return RankingLoad::Missing;
    case ReadStatus::NotRegular:
        error = "score.vtx is not a regular file";
        return RankingLoad::Broken;
    case ReadStatus::TooLarge:
        error = "score.vtx is too large";
        return RankingLoad::Broken;
    case ReadStatus::Error:
        error = "score.vtx cannot be read";
        return RankingLoad::Broken;
    }
    if (bytes.size() < kRankingBytes) {
        error = "score.vtx holds " + std::to_string(bytes.size()) +
                " bytes, fewer than the 2670 of ten ranks";
        return RankingLoad::Broken;
    }
    for (size_t k = 0; k < 10; ++k) {
        std::memcpy(&g.ranking[k], bytes.data() + k * sizeof(RankRecord), sizeof(RankRecord));
        // A name never holds more than its 10 positions.
        if (g.ranking[k].name.len > 10) g.ranking[k].name.len = 10;
    }
    return RankingLoad::Ok;
}

void marqueeWidth(GameState& g, int k) {
    int32_t w = g.ranking[size_t(k)].score.len;
    if (w % 4 == 0) w -= 1;
    g.marquee[size_t(k)].width = w + 2;
}

void marqueeStep(GameState& g, int k) {
    Marquee& m = g.marquee[size_t(k)];
    if (-m.xoff >= 8 * m.width) m.xoff = 240;
    if (m.width > 30) m.xoff -= 1;
}

uint8_t r_sort(GameState& g) {
    g.ranking[10].score = g.score;
    marqueeWidth(g, 10);
    uint8_t result = 10;
    for (size_t i = 0; i < 10; ++i) {
        size_t best = i;
        for (size_t j = i + 1; j <= 10; ++j) {
            const DecStr m = strmax(g.ranking[best].score, g.ranking[j].score);
            if (!m.sameText(g.ranking[best].score)) best = j;
        }
        if (best != i) {
            std::swap(g.ranking[i], g.ranking[best]);
            std::swap(g.marquee[i], g.marquee[best]);
            if (g.ranking[i].name.len == 0) result = uint8_t(i);
        }
    }
    return result;
}

void r_save(GameState& g) {
    Platform& p = *g.platform;
    // Bytes that an older file holds past the ten ranks are kept as they were.
    std::vector<uint8_t> old;
    const ReadStatus st = p.readFile(g.files.rankingFile, kMaxRankingFile, old);
    if (st != ReadStatus::Ok && st != ReadStatus::Missing) {
        std::fprintf(stderr, "vortalix: ranking not saved: %s cannot be read back\n",
                     g.files.rankingFile.c_str());
        return;
    }
    std::vector<uint8_t> out(std::max(old.size(), kRankingBytes));
    if (!old.empty()) std::memcpy(out.data(), old.data(), old.size());
    std::memcpy(out.data(), g.ranking.data(), kRankingBytes);
    std::string error;
    if (!p.writeFileAtomic(g.files.rankingFile, out.data(), out.size(), error))
        std::fprintf(stderr, "vortalix: ranking not saved: %s\n", error.c_str());
}

const char* ranksuffix(int32_t n) {
    switch (n) {
    case 1:
        return "ST";
    case 2:
        return "ND";
    case 3:
        return "RD";
    default:
        return "TH";
    }
}

void nameCursorLeft(GameState& g) {
    g.cursor -= 1;
    soundplay(g, 4);
    if (g.cursor < 1) g.cursor = 39;
    if (nameLength(g) == 10 && g.cursor < 38) g.cursor = 39;
}

void nameCursorRight(GameState& g) {
    g.cursor += 1;
    soundplay(g, 4);
    if (nameLength(g) == 10) {
        if (g.cursor > 39) g.cursor = 38;
    } else if (g.cursor > 39) {
        g.cursor = 1;
    }
}

void nameSelect(GameState& g) {
    NameStr& name = g.ranking[g.newrank < 10 ? g.newrank : 9].name;
    const int32_t cur = g.cursor >= 1 && g.cursor <= 39 ? g.cursor : 1;
    const char c = namechars[size_t(cur - 1)];
    if (c == '!') {
        if (name.len > 0) {
            soundplay(g, 2);
            name.len -= 1;
        }
    } else if (c == '#') {
        if (name.len > 0) {
            soundplay(g, 3);
            setefect(g, 0, 0, 8);
            r_save(g);
            g.mode = 4;
        }
    } else {
        soundplay(g, 0);
        if (name.len < 10) name.ch[name.len++] = c;
        if (name.len == 10) g.cursor = 39;
    }
}
