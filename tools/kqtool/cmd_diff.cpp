// kqtool diff: how two channel files differ, as channel rows and words.
#include "Commands.h"
#include "Args.h"

#include "ChannelFile.h"
#include "ChannelText.h"

#include <cstdio>
#include <iostream>

namespace kqtool {

namespace {

// Not 1, which means "the files differ": a script comparing files must not
// take a missing or damaged file for a difference.
constexpr int ExitCannotRead = 8;

// Words 16 + 3c .. 18 + 3c hold channel c; the words before them are the
// image's header (identification, model, reference divider).
constexpr int kFirstChannelWord = 16;

std::string wordText(int k, int32_t w) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "word %02X: %04X", static_cast<unsigned>(k), static_cast<unsigned>(w));
    return buf;
}

int cmdDiff(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {}, 2);
    kq::ClassKQxx53 dev[2];
    for (int i = 0; i < 2; ++i) {
        try {
            kq::OpenChannelFile(dev[i], a.positional[static_cast<std::size_t>(i)]);
        } catch (const std::exception& e) {
            std::cerr << "kqtool diff: " << e.what() << "\n";
            return ExitCannotRead;
        }
    }
    std::string out;
    auto pair = [&out](const std::string& left, const std::string& right) {
        out += "< " + left + "\n> " + right + "\n";
    };
    const int n = std::max(dev[0].TotalEEWords(), dev[1].TotalEEWords());
    for (int k = 0; k < std::min(n, kFirstChannelWord); ++k) {
        const int32_t w0 = dev[0].EEWord(static_cast<int16_t>(k)), w1 = dev[1].EEWord(static_cast<int16_t>(k));
        if (w0 != w1) pair(wordText(k, w0), wordText(k, w1));
    }
    bool heading = false;
    for (int16_t ch = kq::ClassKQxx53::FirstCHNumber(); ch <= kq::ClassKQxx53::LastCHNumber(); ++ch) {
        std::string words[2];
        for (int k = kFirstChannelWord + 3 * ch; k < kFirstChannelWord + 3 * ch + 3 && k < n; ++k) {
            for (int i = 0; i < 2; ++i) words[i] += " " + wordText(k, dev[i].EEWord(static_cast<int16_t>(k))).substr(9);
        }
        if (words[0] == words[1]) continue;
        if (!heading) out += "  " + kq::ChannelHeading() + "\n";
        heading = true;
        const std::string rows[2] = {kq::ChannelRow(dev[0], ch), kq::ChannelRow(dev[1], ch)};
        // Words can differ in bits the row does not show; then the words tell.
        if (rows[0] != rows[1]) pair(rows[0], rows[1]);
        else pair(rows[0] + " words" + words[0], rows[1] + " words" + words[1]);
    }
    std::cout << out;
    std::cout.flush();
    return out.empty() ? ExitOk : 1;
}

} // namespace

void RegisterDiffCommands() {
    AddCommand({"diff", "diff A.KQ B.KQ",
                "print the header words and channel rows that differ (< A, > B); exit 0 same, "
                "1 different, 8 a file cannot be read",
                cmdDiff});
}

} // namespace kqtool
