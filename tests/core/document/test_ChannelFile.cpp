#include "ChannelFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <sstream>

namespace fs = std::filesystem;
using kq::ClassKQxx53;

namespace {

std::vector<std::string> splitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no line end>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines, const char* end = "\r\n") {
    std::string t;
    for (const auto& l : lines) t += l + end;
    return t;
}

// A device of model code m with a few channels in use.
ClassKQxx53 sampleDevice(int m = 2) {
    ClassKQxx53 dev;
    const kq::ModelInfo* info = kq::FindModel(m);
    dev.Model(static_cast<uint8_t>(m));
    dev.ModelName(info->ModelName);
    dev.RFIF(info->RFIF);
    dev.ReferOSC(info->ReferOSC);
    dev.PLLScaler(info->PLLScaler);
    dev.TheRxFreq(0, 150.0125);
    dev.TheTxFreq(0, 145.5);
    dev.TheRxCHSpace(0, -1);
    dev.TheRFPower(0, -1);
    dev.TheRxFreq(7, 440.00625);
    dev.TheTxFreq(7, 445.00625);
    dev.TheTxCHSpace(7, -1);
    dev.TheRxFreq(15, 136.005);
    dev.TheTxFreq(15, 174.995);
    return dev;
}

// Everything a load may change, to prove that a refused file changed nothing.
std::string snapshot(const ClassKQxx53& d) {
    std::ostringstream s;
    s.precision(17);
    s << int(d.Model()) << d.ModelName() << d.RFIF() << d.ReferOSC() << d.PLLScaler() << '|';
    for (int16_t k = 0; k < kq::WordSlots; ++k) s << d.EEWord(k) << ',';
    for (int16_t c = 0; c < 16; ++c) {
        const auto& p = d.Channel(c);
        s << p.RxFreq << ' ' << p.TxFreq << ' ' << p.RxCHSpace << p.TxCHSpace << p.RFPower << ';';
    }
    return s.str();
}

} // namespace

TEST(ChannelFileText, FreshDeviceGivesTheExactLayout) {
    ClassKQxx53 dev;
    const std::string text = kq::ChannelFileText(dev);
    EXPECT_EQ(text.find_first_not_of("0123456789\r\n"), std::string::npos);
    const auto lines = splitCrLf(text);
    ASSERT_EQ(lines.size(), 384u);
    // The text has CR LF and nothing else as line ends.
    EXPECT_EQ(joinLines(lines), text);

    // Model name "KQ-0453" as UTF-16LE, then "Ver1.10".
    const std::vector<std::string> model = {"14", "75", "0", "81", "0", "45", "0", "48",
                                            "0",  "52", "0", "53", "0", "51", "0", "0"};
    const std::vector<std::string> version = {"14", "86", "0", "101", "0", "114", "0", "49",
                                              "0",  "46", "0", "49",  "0", "48",  "0", "0"};
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 16), model);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 16, lines.begin() + 32), version);
    for (std::size_t i = 32; i < 256; ++i) EXPECT_EQ(lines[i], "0") << "line " << i + 1;

    EXPECT_EQ(lines[256], "197"); // word 0 = 0xC500
    EXPECT_EQ(lines[257], "0");
    EXPECT_EQ(lines[258], "2");   // model code 2 in the high byte of word 1
    EXPECT_EQ(lines[259], "0");

    dev.EEWord(2, 0x00FF); // words the conversion leaves alone
    dev.EEWord(10, 0xABCD);
    const auto words = splitCrLf(kq::ChannelFileText(dev));
    EXPECT_EQ(std::vector<std::string>(words.begin() + 260, words.begin() + 262),
              (std::vector<std::string>{"0", "255"}));
    EXPECT_EQ(std::vector<std::string>(words.begin() + 276, words.begin() + 278),
              (std::vector<std::string>{"171", "205"}));
}

TEST(ChannelFileText, RefusesAWordBeyondSixteenBits) {
    ClassKQxx53 dev;
    dev.EEWord(3, 70000);
    EXPECT_THROW(kq::ChannelFileText(dev), kq::OverflowError);
    dev.EEWord(3, -1);
    EXPECT_THROW(kq::ChannelFileText(dev), kq::OverflowError);
}

TEST(ChannelFileHeader, TextsAreCutToTheirFieldsWithoutTouchingTheNext) {
    auto h = kq::MakeChannelFileHeader("KQ-0453-EXTRA-LONG");
    EXPECT_EQ(h[0], 14);
    EXPECT_EQ(h[13], '3');
    EXPECT_EQ(h[15], 0); // the eighth character "-" has no room
    EXPECT_EQ(h[16], 14);
    EXPECT_EQ(h[17], 'V');

    h = kq::MakeChannelFileHeader("K\xC3\xA9"); // "Ké"
    EXPECT_EQ(h[0], 4);
    EXPECT_EQ(h[3], 0xE9);
    EXPECT_EQ(h[4], 0x00);

    // Six BMP characters and one outside it: the pair would not fit whole.
    h = kq::MakeChannelFileHeader("ABCDEF\xF0\x9F\x93\xBB");
    EXPECT_EQ(h[0], 12);
    EXPECT_EQ(h[13], 0);

    kq::ChannelFileHeader small{};
    kq::PutStringBytes("AB", small, 254); // never writes beyond the header
    EXPECT_EQ(small[254], 'A');
    EXPECT_EQ(small[255], 0);
    EXPECT_EQ(kq::Utf16LeBytes("\xFF" "A"), std::string("\xFD\xFF" "A\0", 4));
}

TEST(ChannelFileRead, RoundTripKeepsModelAndChannelsForEveryModel) {
    for (int m = 0; m < kq::KnownModelCount; ++m) {
        ClassKQxx53 src = sampleDevice(m);
        const std::string text = kq::ChannelFileText(src);
        ClassKQxx53 dst;
        kq::ReadChannelFileText(dst, text, "mem.KQ");
        EXPECT_EQ(dst.Model(), m);
        EXPECT_EQ(dst.ModelName(), kq::FindModel(m)->ModelName);
        EXPECT_EQ(dst.RFIF(), kq::FindModel(m)->RFIF);
        for (int16_t c = 0; c < 16; ++c) {
            const auto& a = src.Channel(c);
            const auto& b = dst.Channel(c);
            EXPECT_NEAR(a.RxFreq, b.RxFreq, 1e-9) << "model " << m << " ch " << c;
            EXPECT_NEAR(a.TxFreq, b.TxFreq, 1e-9) << "model " << m << " ch " << c;
            EXPECT_EQ(a.RxCHSpace, b.RxCHSpace);
            EXPECT_EQ(a.TxCHSpace, b.TxCHSpace);
            EXPECT_EQ(a.RFPower, b.RFPower);
        }
        // Saving what was read gives the same bytes again.
        EXPECT_EQ(kq::ChannelFileText(dst), text);
    }
}

TEST(ChannelFileRead, IgnoresTheHeaderAndAcceptsOtherSeparators) {
    ClassKQxx53 src = sampleDevice(0);
    auto lines = splitCrLf(kq::ChannelFileText(src));
    ClassKQxx53 reference;
    kq::ReadChannelFileText(reference, joinLines(lines), "a.KQ");

    auto zeroHeader = lines;
    for (std::size_t i = 0; i < 256; ++i) zeroHeader[i] = "0";
    ClassKQxx53 d1;
    kq::ReadChannelFileText(d1, joinLines(zeroHeader), "b.KQ");
    EXPECT_EQ(snapshot(d1), snapshot(reference));

    // LF only, commas, blanks, leading zeros, trailing blank lines, no last line end.
    std::string mixed;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        mixed += (i % 3 == 0 ? "  0" : "") + lines[i] + (i % 5 == 0 ? " , " : i % 7 == 0 ? "\t" : "\n");
    }
    mixed += "\n\r\n  \n";
    ClassKQxx53 d2;
    kq::ReadChannelFileText(d2, mixed, "c.KQ");
    EXPECT_EQ(snapshot(d2), snapshot(reference));

    std::string noLastEnd = joinLines(lines);
    noLastEnd.resize(noLastEnd.size() - 2);
    ClassKQxx53 d3;
    kq::ReadChannelFileText(d3, noLastEnd, "d.KQ");
    EXPECT_EQ(snapshot(d3), snapshot(reference));
}

// Every kind of damage gives an error that names the path and the line, and
// leaves the device exactly as it was.
TEST(ChannelFileRead, DamagedFilesLoadNothing) {
    ClassKQxx53 good = sampleDevice(1);
    const auto lines = splitCrLf(kq::ChannelFileText(good));

    auto with = [&](std::size_t index, const std::string& value) {
        auto l = lines;
        l[index] = value;
        return joinLines(l);
    };
    auto firstN = [&](std::size_t n) {
        return joinLines(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(n)));
    };
    auto extraPairs = [&](int pairs) {
        auto l = lines;
        for (int i = 0; i < 2 * pairs; ++i) l.push_back("7");
        return joinLines(l);
    };
    auto blankAt = [&](std::size_t index) {
        auto l = lines;
        l.insert(l.begin() + static_cast<long>(index), "");
        return joinLines(l);
    };

    struct Case {
        const char* name;
        std::string text;
        std::string expectLine; // "line N" the message must carry
        std::string expectWords;
    };
    const std::vector<Case> cases = {
        {"empty file", "", "line 1", "header"},
        {"header cut short", firstN(255), "line 255", "header"},
        {"only the header", firstN(256), "line 256", "0 of its 64 words"},
        {"truncated save", firstN(256 + 2 * 40), "line 336", "40 of its 64 words"},
        {"odd count", firstN(383), "line 383", "low byte"},
        {"text in the image", with(300, "abc"), "line 301", "\"abc\""},
        {"text in the header", with(20, "x1"), "line 21", "\"x1\""},
        {"byte too large", with(270, "256"), "line 271", "\"256\""},
        {"negative number", with(270, "-1"), "line 271", "\"-1\""},
        {"decimal point", with(270, "1.5"), "line 271", "\"1.5\""},
        {"huge number", with(270, "99999999999999999999999"), "line 271", "..."},
        {"control and binary bytes", with(280, std::string("\x1b[2J\xff", 5)), "line 281",
         "\"\\x1B[2J\\xFF\""},
        {"gap in the numbers", blankAt(300), "line 301", "missing"},
        {"more than 128 words", extraPairs(65), "line 513", "more than 128"},
    };
    for (const Case& c : cases) {
        ClassKQxx53 dev = sampleDevice(3);
        dev.NowCHNum = 9;
        const std::string before = snapshot(dev);
        try {
            kq::ReadChannelFileText(dev, c.text, "/some/where/bad.KQ");
            ADD_FAILURE() << c.name << ": no error";
        } catch (const kq::FileError& e) {
            const std::string msg = e.what();
            EXPECT_NE(msg.find("/some/where/bad.KQ"), std::string::npos) << c.name << ": " << msg;
            EXPECT_NE(msg.find(c.expectLine + ":"), std::string::npos) << c.name << ": " << msg;
            EXPECT_NE(msg.find(c.expectWords), std::string::npos) << c.name << ": " << msg;
        }
        EXPECT_EQ(snapshot(dev), before) << c.name;
        EXPECT_EQ(dev.NowCHNum, 9) << c.name;
    }
}

TEST(ChannelFileDisk, SaveThenOpenAndFilesThatCannotBeOpened) {
    std::string tmpl = (fs::temp_directory_path() / "kqfileXXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    const fs::path dir = tmpl;
    ClassKQxx53 src = sampleDevice(0);
    const std::string p = (dir / "table.KQ").string();
    kq::SaveChannelFile(src, p);
    ClassKQxx53 dst;
    kq::OpenChannelFile(dst, p);
    EXPECT_EQ(kq::ChannelFileText(dst), kq::ChannelFileText(src));

    std::ofstream(dir / "huge.KQ", std::ios::binary) << std::string(2 << 20, '0');
    std::ofstream(dir / "bad.KQ", std::ios::binary) << "1\r\n2\r\n";
    const std::string before = snapshot(dst);
    for (const auto& [name, part] : std::vector<std::pair<std::string, std::string>>{
             {"missing.KQ", "does not exist"}, {"", "folder"}, {"huge.KQ", "too large"},
             {"bad.KQ", "bad.KQ: line 2:"}}) {
        try {
            kq::OpenChannelFile(dst, (dir / name).string());
            ADD_FAILURE() << name << ": no error";
        } catch (const kq::FileError& e) {
            EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(snapshot(dst), before);
    fs::remove_all(dir);
}
