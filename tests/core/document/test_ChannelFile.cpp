#include "ChannelFile.h"
#include "CoreTestSupport.h"
#include "SystemOption.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using kq::ClassKQxx53;

namespace {

// The lines of text; a last line without CR LF is marked so that it fails.
std::vector<std::string> splitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < text.size(); start = end + 2) {
        end = text.find("\r\n", start);
        if (end == std::string::npos) return lines.push_back(text.substr(start) + "<no end>"), lines;
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string t;
    for (const auto& l : lines) t += l + "\r\n";
    return t;
}

// A device of model code m whose channels all differ.
ClassKQxx53 sampleDevice(int m = 2) {
    ClassKQxx53 dev = kqtest::MarkedDevice();
    kq::ApplySystemOption(dev, m);
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

// Lines from..to-1 of a channel file, joined by blanks.
std::string span(const std::vector<std::string>& lines, std::size_t from, std::size_t to) {
    std::string t;
    for (std::size_t i = from; i < to && i < lines.size(); ++i) t += (i > from ? " " : "") + lines[i];
    return t;
}

} // namespace

TEST(ChannelFileText, FreshDeviceGivesTheExactLayoutWithHeaderTextsCutToTheirFields) {
    ClassKQxx53 dev;
    dev.EEWord(2, 0x00FF); // words the conversion leaves alone
    dev.EEWord(10, 0xABCD);
    const std::string text = kq::ChannelFileText(dev);
    EXPECT_EQ(text.find_first_not_of("0123456789\r\n"), std::string::npos);
    const auto lines = splitCrLf(text);
    ASSERT_EQ(lines.size(), 384u);
    EXPECT_EQ(joinLines(lines), text); // CR LF and nothing else as line ends
    // Model name "KQ-0453" as UTF-16LE, then "Ver1.10", then zeros.
    EXPECT_EQ(span(lines, 0, 32), "14 75 0 81 0 45 0 48 0 52 0 53 0 51 0 0 "
                                  "14 86 0 101 0 114 0 49 0 46 0 49 0 48 0 0");
    EXPECT_EQ(span(lines, 32, 256), span(std::vector<std::string>(256, "0"), 32, 256));
    // Words 0 (0xC500), 1 (model code 2), 2 and 10.
    EXPECT_EQ(span(lines, 256, 262), "197 0 2 0 0 255");
    EXPECT_EQ(span(lines, 276, 278), "171 205");
    for (int32_t w : {70000, -1}) EXPECT_THROW(kq::ChannelFileText((dev.EEWord(3, w), dev)), kq::OverflowError);

    // The header's texts are cut to their fields without touching the next.
    auto bytes = [](const kq::ChannelFileHeader& h, int n) { return std::vector<int>(h.begin(), h.begin() + n); };
    // The eighth character "-" has no room; the version's length stays.
    EXPECT_EQ(bytes(kq::MakeChannelFileHeader("KQ-0453-EXTRA-LONG"), 18),
              (std::vector<int>{14, 'K', 0, 'Q', 0, '-', 0, '0', 0, '4', 0, '5', 0, '3', 0, 0, 14, 'V'}));
    EXPECT_EQ(bytes(kq::MakeChannelFileHeader("K\xC3\xA9"), 6), (std::vector<int>{4, 'K', 0, 0xE9, 0, 0}));
    // Six BMP characters and one outside it: the pair would not fit whole.
    EXPECT_EQ(kq::MakeChannelFileHeader("ABCDEF\xF0\x9F\x93\xBB")[0], 12);
    kq::ChannelFileHeader small{};
    kq::PutStringBytes("AB", small, 254); // never writes beyond the header
    EXPECT_EQ(std::make_pair(small[254], small[255]), std::make_pair(uint8_t('A'), uint8_t(0)));
    EXPECT_EQ(kq::Utf16LeBytes("\xFF\x41"), std::string("\xFD\xFF\x41\x00", 4));
}

// Saving what was read gives the same bytes again, for every model; the
// header is not read, and other separators are accepted.
TEST(ChannelFileRead, RoundTripIgnoresTheHeaderAndAcceptsOtherSeparators) {
    for (int m = 0; m < kq::KnownModelCount; ++m) {
        ClassKQxx53 src = sampleDevice(m), reference;
        const std::string text = kq::ChannelFileText(src);
        kq::ReadChannelFileText(reference, text, "a.KQ");
        EXPECT_EQ(kq::ChannelFileText(reference), text) << m;

        auto lines = splitCrLf(text), zeroHeader = lines;
        for (std::size_t i = 0; i < 256; ++i) zeroHeader[i] = "0";
        // LF only, commas, blanks, leading zeros, trailing blank lines, no last line end.
        std::string mixed;
        for (std::size_t i = 0; i < lines.size(); ++i)
            mixed += (i % 3 == 0 ? "  0" : "") + lines[i] + (i % 5 == 0 ? " , " : i % 7 == 0 ? "\t" : "\n");
        mixed += "\n\r\n  \n";
        for (const std::string& variant : {joinLines(zeroHeader), mixed, text.substr(0, text.size() - 2)}) {
            ClassKQxx53 d;
            kq::ReadChannelFileText(d, variant, "b.KQ");
            EXPECT_EQ(snapshot(d), snapshot(reference)) << m;
        }
    }
}

// A table saved opens again. Every kind of damage gives an error that names
// the path and the line, and leaves the device exactly as it was.
TEST(ChannelFileDisk, SavedFilesOpenAndDamagedFilesLoadNothing) {
    ClassKQxx53 good = sampleDevice(1);
    const auto lines = splitCrLf(kq::ChannelFileText(good));

    // The file with line i set to v (or v inserted before it), or its first n lines.
    auto with = [&](std::size_t i, const std::string& v, bool insert = false) {
        auto l = lines;
        if (insert)
            l.insert(l.begin() + static_cast<long>(i), v);
        else
            l[i] = v;
        return joinLines(l);
    };
    auto firstN = [&](std::size_t n) { return joinLines({lines.begin(), lines.begin() + static_cast<long>(n)}); };
    struct Case {
        std::string text, expectLine, expectWords; // "line N" and words the message must carry
    };
    const std::vector<Case> cases = {
        {"", "line 1", "header"},
        {firstN(255), "line 255", "header"},
        {firstN(256), "line 256", "0 of its 64 words"},
        {firstN(256 + 2 * 40), "line 336", "40 of its 64 words"},
        {firstN(383), "line 383", "low byte"},
        {with(300, "abc"), "line 301", "\"abc\""},
        {with(20, "x1"), "line 21", "\"x1\""},
        {with(270, "256"), "line 271", "\"256\""},
        {with(270, "-1"), "line 271", "\"-1\""},
        {with(270, "1.5"), "line 271", "\"1.5\""},
        {with(270, "99999999999999999999999"), "line 271", "\"9999999999999999...\""},
        {with(280, std::string("\x1b[2J\xff", 5)), "line 281", "\"\\x1B[2J\\xFF\""},
        {with(300, "", true), "line 301", "is missing"},
        {joinLines(lines) + joinLines(std::vector<std::string>(130, "7")), "line 513", "more than 128"},
        // Read from disk, so that files that cannot be opened go through the same checks.
        {"<huge>", "", "too large"},
        {"<missing>", "", "does not exist"},
        {"<folder>", "", "folder"},
    };
    const kqtest::TempDir tmp("kqfile");
    const fs::path bad = tmp.path / "bad.KQ";
    for (const Case& c : cases) {
        ClassKQxx53 dev = sampleDevice(3);
        dev.NowCHNum = 9;
        const std::string before = snapshot(dev);
        fs::remove_all(bad);
        if (c.text == "<folder>")
            fs::create_directory(bad);
        else if (c.text != "<missing>")
            std::ofstream(bad, std::ios::binary) << (c.text == "<huge>" ? std::string(2 << 20, '0') : c.text);
        const std::string msg = kqtest::ErrorOf<kq::FileError>([&] { kq::OpenChannelFile(dev, bad.string()); });
        EXPECT_EQ(msg.rfind(bad.string() + ": " + c.expectLine, 0), 0u) << c.expectWords << ": " << msg;
        EXPECT_NE(msg.find(c.expectWords), std::string::npos) << msg;
        EXPECT_EQ(snapshot(dev), before) << c.expectWords;
        EXPECT_EQ(dev.NowCHNum, 9) << c.expectWords;
    }

    const std::string p = (tmp.path / "table.KQ").string();
    ClassKQxx53 src = sampleDevice(0), unfit = src, dst;
    kq::SaveChannelFile(src, p);
    unfit.TheRxFreq(3, 20000.0); // a frequency the image cannot hold saves nothing
    EXPECT_THROW(kq::SaveChannelFile(unfit, p), kq::FileError);
    EXPECT_THROW(kq::SaveChannelFile(unfit, ""), kq::FileError);
    kq::OpenChannelFile(dst, p);
    EXPECT_EQ(kq::ChannelFileText(dst), kq::ChannelFileText(src));
}
