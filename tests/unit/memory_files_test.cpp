// The browser build's file layer (src/platform/web/memory_files.h), where
// the game's fopen, fread, fseek and fprintf land in the page.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

#include "platform/web/memory_files.h"
#include "support.h"

namespace {

// vale.data's layout: a count, then each file's path, size and bytes.
Bytes archive(const std::vector<std::pair<std::string, std::string>>& files) {
    Bytes b;
    put32(b, static_cast<uint32_t>(files.size()));
    for (const auto& [path, text] : files) {
        put32(b, static_cast<uint32_t>(path.size()));
        b.insert(b.end(), path.begin(), path.end());
        put32(b, static_cast<uint32_t>(text.size()));
        b.insert(b.end(), text.begin(), text.end());
    }
    return b;
}

std::string read(MemoryFiles& files, const char* path) {
    const int fd = files.open(path, O_RDONLY);
    if (fd < 0) return "(fails: " + std::to_string(-fd) + ")";
    std::string text;
    uint8_t chunk[3];
    for (long long got; (got = files.read(fd, chunk, sizeof chunk)) > 0;) text.append(chunk, chunk + got);
    files.close(fd);
    return text;
}

const std::string kMissing = "(fails: " + std::to_string(ENOENT) + ")";

}  // namespace

// An archive of the one Config.cfg, mounted as data/.
struct BrowserFiles : testing::Test {
    void SetUp() override {
        data = archive({{"Config.cfg", "sound 1\n"}, {"Textures/Ball.tga", ""}});
        ASSERT_TRUE(files.mount(data.data(), data.size(), "data/"));
    }
    Bytes data;
    MemoryFiles files;
};

TEST_F(BrowserFiles, TheArchiveMountsAsData) {
    EXPECT_EQ("sound 1\n", read(files, "data/Config.cfg"));
    EXPECT_EQ("", read(files, "/data/Textures/Ball.tga"));
    EXPECT_EQ(kMissing, read(files, "Config.cfg"));
}

TEST_F(BrowserFiles, AnArchiveCutShortOrWithBytesAfterItMountsNothing) {
    Bytes longer = data;
    longer.push_back(0);
    for (const Bytes& damaged : {Bytes(data.begin(), data.end() - 1), Bytes(data.begin(), data.begin() + 9), longer}) {
        MemoryFiles other;
        EXPECT_FALSE(other.mount(damaged.data(), damaged.size(), "data/")) << damaged.size() << " bytes";
        EXPECT_EQ(kMissing, read(other, "data/Config.cfg"));
    }
}

TEST_F(BrowserFiles, AFileMissingOrRemovedFailsToOpen) {
    EXPECT_EQ(kMissing, read(files, "data/fps.txt"));
    EXPECT_EQ(0, files.unlink("data/Config.cfg"));
    EXPECT_EQ(kMissing, read(files, "data/Config.cfg"));
}

TEST_F(BrowserFiles, AFileWrittenReadsBackAndStartsAnewWhenWrittenAgain) {
    for (const char* text : {"average: 60", "low"}) {
        const int fd = files.open("data/fps.txt", O_WRONLY | O_CREAT | O_TRUNC);
        ASSERT_GE(fd, MemoryFiles::kFirstFile);
        EXPECT_EQ(-EBADF, files.read(fd, nullptr, 1));
        EXPECT_EQ(static_cast<long long>(std::strlen(text)), files.write(fd, reinterpret_cast<const uint8_t*>(text), std::strlen(text)));
        EXPECT_EQ(0, files.close(fd));
        EXPECT_EQ(text, read(files, "data/fps.txt"));
    }
    std::memcpy(files.replace("data/Config.cfg", 7), "sound 0", 7);  // as the page writes the form's
    EXPECT_EQ("sound 0", read(files, "data/Config.cfg"));
}

TEST_F(BrowserFiles, ReadingAtTheEndGivesNothing) {
    const int fd = files.open("data/log", O_RDWR | O_CREAT);
    EXPECT_EQ(2, files.write(fd, reinterpret_cast<const uint8_t*>("ab"), 2));
    uint8_t byte = 0;
    EXPECT_EQ(0, files.read(fd, &byte, 1));
    EXPECT_EQ(4, files.seek(fd, 2, SEEK_END));
    EXPECT_EQ(0, files.read(fd, &byte, 1));
}

TEST_F(BrowserFiles, AWriteBeyondTheEndFillsTheGapWithZeros) {
    const int fd = files.open("data/log", O_RDWR | O_CREAT);
    EXPECT_EQ(2, files.write(fd, reinterpret_cast<const uint8_t*>("ab"), 2));
    EXPECT_EQ(4, files.seek(fd, 2, SEEK_END));
    EXPECT_EQ(1, files.write(fd, reinterpret_cast<const uint8_t*>("c"), 1));
    EXPECT_EQ(-EINVAL, files.seek(fd, -6, SEEK_CUR));
    EXPECT_EQ(1, files.seek(fd, -4, SEEK_CUR));
    EXPECT_EQ(0, files.close(fd));
    EXPECT_EQ(-EBADF, files.close(fd));
    EXPECT_EQ(std::string("ab\0\0c", 5), read(files, "data/log"));
}
