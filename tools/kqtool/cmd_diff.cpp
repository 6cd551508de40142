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
    // Different is 1, as diff(1) has it.
    return out.empty() ? ExitOk : ExitFailure;
}

} // namespace

void RegisterDiffCommands() {
    AddCommand({"diff", "diff A.KQ B.KQ",
                "print the header words and channel rows that differ (< A, > B); " +
                    kq::ExitText({{ExitOk, "same"},
                                  {ExitFailure, "different"},
                                  {ExitCannotRead, "a file cannot be read"}}),
                cmdDiff});
}

} // namespace kqtool
