// kqtool fill: evenly spaced frequencies over a channel range of a file,
// the same all-or-nothing fill as the auto frequency dialog.
#include "Args.h"
#include "Commands.h"
#include "FileArgs.h"

#include "AutoFill.h"
#include "ChannelFile.h"
#include "ChannelText.h"

#include <iostream>

namespace kqtool {

namespace {

int cmdFill(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {"--from", "--to", "--start", "--step"}, 1, {"--rx", "--tx"});
    if (a.flag("--rx") && a.flag("--tx")) throw UsageError{"give --rx or --tx, not both"};
    kq::AutoFillFields f;
    auto need = [&a](const char* name) {
        const std::string* v = a.option(name);
        if (!v) throw UsageError{std::string("option '") + name + "' is required"};
        return *v;
    };
    f.StartCH = need("--from");
    f.StopCH = need("--to");
    f.StartFreq = need("--start");
    f.SpaceFreq = need("--step");
    f.FillMode = a.flag("--rx") ? kq::FillRxOnly : a.flag("--tx") ? kq::FillTxOnly : kq::FillRxTx;

    const std::string& path = a.positional[0];
    if (IsStdStream(path)) throw UsageError{"fill changes a file in place; '-' is not one"};
    // Held from reading to saving, so that fills of one file at once each
    // start from the other's result instead of losing it.
    const FileLock lock(path);
    kq::ClassKQxx53 dev;
    kq::OpenChannelFile(dev, path);
    kq::AutoFill(dev, f);
    kq::SaveChannelFile(dev, path);
    for (int16_t ch = kq::ClassKQxx53::FirstCHNumber(); ch <= kq::ClassKQxx53::LastCHNumber(); ++ch)
        std::cout << kq::ChannelRow(dev, ch) << "\n";
    return ExitOk;
}

} // namespace

void RegisterFillCommands() {
    AddCommand({"fill",
                "fill FILE.KQ --from CH --to CH --start MHZ --step KHZ [--rx|--tx]",
                "fill channels with evenly spaced frequencies (receive and transmit, or one side); "
                "nothing is written unless every channel passes; the file is locked (flock) while "
                "it changes",
                cmdFill,
                {{"--from CH", "the first channel to fill, 0 to 15"},
                 {"--to CH", "the last channel to fill, 0 to 15"},
                 {"--start MHZ", "the first channel's frequency in MHz"},
                 {"--step KHZ", "the spacing from one channel to the next in kHz"},
                 {"--rx", "fill only the receive frequencies"},
                 {"--tx", "fill only the transmit frequencies"}}});
}

} // namespace kqtool
