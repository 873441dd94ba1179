// Small files that claim far more than they hold, and files kept behind links: the game must
// neither spend hundreds of megabytes on the first nor break the second.

#include "platform/Picture.h"
#include "platform/headless/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> smallJpeg(int flags) {
    std::vector<uint8_t> rgb(16 * 16 * 3, 90);
    tjhandle tj = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(tj, rgb.data(), 16, 0, 16, TJPF_RGB, &jpeg, &size, TJSAMP_420, 90, flags);
    std::vector<uint8_t> out(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(tj);
    return out;
}

// The frame header (SOF0 or SOF2) rewritten to claim width x height, the scan cut short.
std::vector<uint8_t> lyingJpeg(int flags, uint16_t width, uint16_t height) {
    std::vector<uint8_t> j = smallJpeg(flags);
    for (size_t i = 0; i + 9 < j.size(); ++i) {
        if (j[i] == 0xFF && (j[i + 1] == 0xC0 || j[i + 1] == 0xC2)) {
            j[i + 5] = uint8_t(height >> 8);
            j[i + 6] = uint8_t(height);
            j[i + 7] = uint8_t(width >> 8);
            j[i + 8] = uint8_t(width);
        }
        if (j[i] == 0xFF && j[i + 1] == 0xDA) {
            const size_t len = size_t(j[i + 2]) << 8 | j[i + 3];
            j.resize(std::min(j.size(), i + 2 + len + 10));
            break;
        }
    }
    return j;
}

TEST(LyingPictures, TinyJpegClaimingAHugePictureIsRefused) {
    for (int flags : {0, TJFLAG_PROGRESSIVE}) {
        const std::vector<uint8_t> j = lyingJpeg(flags, 16384, 4096);
        ASSERT_LT(j.size(), 1000u);
        Surface out;
        std::string error;
        EXPECT_FALSE(decodeJpeg(j.data(), j.size(), out, error)) << "flags " << flags;
        EXPECT_NE(error.find("cannot hold"), std::string::npos) << error;
        EXPECT_TRUE(out.empty());
    }
}

TEST(LyingPictures, SmallCompleteJpegStillDecodes) {
    const std::vector<uint8_t> j = smallJpeg(0);
    Surface out;
    std::string error;
    ASSERT_TRUE(decodeJpeg(j.data(), j.size(), out, error)) << error;
    EXPECT_EQ(out.width(), 16);
}

std::vector<uint8_t> rle8(int32_t width, int32_t height, std::vector<uint8_t> stream) {
    std::vector<uint8_t> b(54 + 8 + stream.size(), 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int k = 0; k < 4; ++k) b[at + size_t(k)] = uint8_t(v >> (8 * k));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(10, 62);
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    b[26] = 1;
    b[28] = 8;
    put32(30, 1); // RLE8
    put32(34, uint32_t(stream.size()));
    put32(46, 2);
    b[58] = b[59] = b[60] = 255; // palette entry 1: white
    std::copy(stream.begin(), stream.end(), b.begin() + 62);
    put32(2, uint32_t(b.size()));
    return b;
}

TEST(LyingPictures, RleBitmapEndingAtOnceButClaimingAHugePictureIsRefused) {
    const std::vector<uint8_t> b = rle8(16384, 4096, {0, 1}); // end of bitmap at once
    Surface out;
    std::string error;
    EXPECT_FALSE(decodeBmp(b.data(), b.size(), out, error));
    EXPECT_NE(error.find("too small"), std::string::npos) << error;
}

TEST(LyingPictures, SmallRleBitmapEndingEarlyStillDecodes) {
    const std::vector<uint8_t> b = rle8(8, 4, {3, 1, 0, 1}); // three white pixels, then the end
    Surface out;
    std::string error;
    ASSERT_TRUE(decodeBmp(b.data(), b.size(), out, error)) << error;
    EXPECT_EQ(out.row(3)[0], 255); // bottom-up: the first run is on the last row
    EXPECT_EQ(out.row(0)[0], 0);
}

class LinkedFiles : public ::testing::Test {
  protected:
    fs::path dir;
    HeadlessPlatform p;
    void SetUp() override {
        char tmpl[] = "/tmp/vortalix-links-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    void TearDown() override { fs::remove_all(dir); }
    static std::string read(const fs::path& f) {
        std::ifstream in(f, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
};

TEST_F(LinkedFiles, WritingThroughALinkKeepsTheLinkAndChangesItsTarget) {
    fs::create_directories(dir / "real");
    std::ofstream(dir / "real" / "my.ini") << "old";
    fs::create_symlink(dir / "real" / "my.ini", dir / "VORTALIX.ini");
    std::string error;
    ASSERT_TRUE(p.writeFileAtomic((dir / "VORTALIX.ini").string(), "new", 3, error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "VORTALIX.ini"));
    EXPECT_EQ(read(dir / "real" / "my.ini"), "new");
}

TEST_F(LinkedFiles, ARewrittenFileKeepsItsPermissions) {
    const fs::path f = dir / "score.vtx";
    std::ofstream(f) << "old";
    ASSERT_EQ(::chmod(f.c_str(), 0600), 0);
    std::string error;
    ASSERT_TRUE(p.writeFileAtomic(f.string(), "new", 3, error)) << error;
    struct stat st;
    ASSERT_EQ(::stat(f.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(read(f), "new");
}

} // namespace
