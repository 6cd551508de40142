// kqtool diff: how two channel files differ, as channel rows and words.
#include "Args.h"
#include "Commands.h"
#include "FileArgs.h"

#include "ChannelFile.h"
#include "DiffText.h"

#include <iostream>

namespace kqtool {

namespace {

int cmdDiff(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {}, 2);
    if (IsStdStream(a.positional[0]) && IsStdStream(a.positional[1]))
        throw UsageError{"standard input can be only one side"};
    kq::ClassKQxx53 dev[2];
    for (int i = 0; i < 2; ++i) {
        try {
            dev[i] = OpenChannel(a.positional[static_cast<std::size_t>(i)]);
        } catch (const std::exception& e) {
            std::cerr << "kqtool diff: " << e.what() << "\n";
            return ExitCannotRead;
        }
    }
    const std::string out =
        DifferenceText(dev[0], dev[1], kq::CompareImages(dev[0], dev[1]), "< ", "> ");
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
