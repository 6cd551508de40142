// The radio tables kept before writes: names, contents, order, pruning, place.
#include "ChannelFile.h"
#include "CoreTestSupport.h"
#include "RadioBackups.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <stdlib.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class Backups : public ::testing::Test {
protected:

    static std::tm At(int day, int h, int m, int s) {
        std::tm t{};
        t.tm_year = 2026 - 1900, t.tm_mon = 11, t.tm_mday = day, t.tm_hour = h, t.tm_min = m, t.tm_sec = s;
        return t;
    }
    // 64 words of a radio of model code, word 0 as given.
    static std::vector<int32_t> Words(int code, int32_t word0 = 0xC500) {
        std::vector<int32_t> w(64);
        for (size_t k = 0; k < w.size(); ++k) w[k] = static_cast<int32_t>(k * 997 % 65536);
        w[0] = word0;
        w[1] = code * 256 + 7;
        return w;
    }
    static std::vector<std::string> Names(const std::vector<kq::BackupEntry>& list) {
        std::vector<std::string> n;
        for (const auto& e : list) n.push_back(fs::path(e.file).filename().string());
        return n;
    }

    kqtest::TempDir tmp{"kqbackup"};
    const fs::path dir = tmp.path;
};

} // namespace

TEST_F(Backups, NamedByTimeModelAndPortHoldingTheWordsAsReadNewestFirst) {
    const kq::RadioBackups b((dir / "state" / "backups").string()); // made on the first backup
    EXPECT_TRUE(b.List().empty());
    EXPECT_EQ(b.Newest(), "");
    // A never-initiated radio is kept as it is: the codec is not asked.
    const std::vector<int32_t> odd = Words(2, 0x1234);
    const std::string first = b.Keep(odd, "/dev/ttyUSB0", At(7, 19, 4, 5));
    EXPECT_EQ(fs::path(first).filename(), "2026-12-07T19-04-05_KQ-0453_ttyUSB0.KQ");
    EXPECT_EQ(kq::ChannelFileWords(kqtest::readAll(first), first, 64), odd);
    // The same second again, an unknown model, other ports, an earlier day.
    b.Keep(Words(2), "/dev/ttyUSB0", At(7, 19, 4, 5));
    b.Keep(Words(9), "/dev/pts/3", At(7, 19, 4, 6));
    b.Keep(Words(0), "/dev/serial/by-id/usb-FTDI_FT232R-if00", At(6, 23, 59, 59));
    const std::vector<kq::BackupEntry> list = b.List();
    EXPECT_EQ(Names(list), (std::vector<std::string>{"2026-12-07T19-04-06_unknown_pts-3.KQ",
                                                     "2026-12-07T19-04-05_KQ-0453_ttyUSB0.2.KQ",
                                                     "2026-12-07T19-04-05_KQ-0453_ttyUSB0.KQ",
                                                     "2026-12-06T23-59-59_KQ-0253_serial-by-id-usb-FTDI_FT232R-if00.KQ"}));
    EXPECT_EQ(list[1].time + " " + list[1].model + " " + list[1].port, "2026-12-07 19:04:05 KQ-0453 ttyUSB0");
    EXPECT_EQ(list[3].port, "serial-by-id-usb-FTDI_FT232R-if00");
    EXPECT_EQ(b.Newest(), list[0].file);
    // A file read as a table shows the model of its header.
    kq::ClassKQxx53 dev;
    kq::OpenChannelFile(dev, list[1].file);
    EXPECT_EQ(dev.ModelName(), "KQ-0453");
}

TEST_F(Backups, TheNewestAreKeptOtherFilesAreLeftAndFailuresLeaveNothing) {
    const kq::RadioBackups b(dir.string(), 3);
    kqtest::writeAll(dir / "notes.txt", "mine");
    kqtest::writeAll(dir / "2020-01-01T00-00-00_mine.KQ", "not a backup name");
    for (int s = 0; s < 6; ++s) b.Keep(Words(1), "ttyS0", At(1, 0, 0, s));
    EXPECT_EQ(Names(b.List()), (std::vector<std::string>{"2026-12-01T00-00-05_KQ-0353_ttyS0.KQ",
                                                         "2026-12-01T00-00-04_KQ-0353_ttyS0.KQ",
                                                         "2026-12-01T00-00-03_KQ-0353_ttyS0.KQ"}));
    EXPECT_TRUE(fs::exists(dir / "notes.txt") && fs::exists(dir / "2020-01-01T00-00-00_mine.KQ"));
    EXPECT_EQ(kq::BackupsKept, 200u);
    // A word beyond 16 bits, and a folder that is a file: an error, no file.
    std::vector<int32_t> bad = Words(1);
    bad[5] = 0x10000;
    EXPECT_NE(kqtest::ErrorOf<kq::KqError>([&] { b.Keep(bad, "ttyS0", At(2, 0, 0, 0)); }), "");
    kqtest::writeAll(dir / "plain", "x");
    const std::string e = kqtest::ErrorOf<kq::KqError>(
        [&] { kq::RadioBackups((dir / "plain" / "b").string()).Keep(Words(1), "ttyS0", At(2, 0, 0, 0)); });
    EXPECT_NE(e.find("backup folder"), std::string::npos) << e;
    EXPECT_EQ(b.List().size(), 3u);
}

TEST(BackupFolder, XdgStateHomeWhenAbsoluteElseHomeElseAnError) {
    const char* home = getenv("HOME");
    const std::string savedHome = home ? home : "";
    setenv("HOME", "/home/tech", 1);
    setenv("XDG_STATE_HOME", "/var/xdg", 1);
    EXPECT_EQ(kq::BackupFolder(), "/var/xdg/kqprogrammer/backups");
    setenv("XDG_STATE_HOME", "relative/state", 1);
    EXPECT_EQ(kq::BackupFolder(), "/home/tech/.local/state/kqprogrammer/backups");
    unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(kq::BackupFolder(), "/home/tech/.local/state/kqprogrammer/backups");
    unsetenv("HOME");
    EXPECT_NE(kqtest::ErrorOf<kq::KqError>([] { kq::BackupFolder(); }), "");
    if (home) setenv("HOME", savedHome.c_str(), 1);
}
