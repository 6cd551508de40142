#include "ExitStatus.h"

#include "TextFill.h"

#include <algorithm>

namespace kq {

const std::vector<ExitStatusRow>& ExitStatuses() {
    static const std::vector<ExitStatusRow> rows = {
        {ExitOk, "ok", "Done."},
        {ExitFailure, "failure",
         "Failure, with a message (for diff: the files differ; for a write: the radio's table "
         "could not be kept as a backup, and nothing was written)."},
        {ExitUsage, "usage", "Bad command line."},
        {ExitLinkFailed, "link-failed",
         "No radio answered, or the link failed, or a written word read back otherwise."},
        {ExitNotInitiated, "not-initiated",
         "The radio's EEPROM was never initialised (a write writes it only with --yes)."},
        {ExitModelDeclined, "model-declined",
         "The radio is of another model and was not overwritten."},
        {ExitCancelled, "cancelled", "Cancelled (Ctrl+C or SIGTERM during a transfer)."},
        {ExitDiffers, "differs", "verify found differences."},
        {ExitCannotRead, "cannot-read", "diff, verify or replay: a file cannot be read."},
        {ExitPortBusy, "port-busy",
         "The port is held by another program (named with its pid where /proc shows it); "
         "nothing was sent."},
        {ExitDiverged, "diverged", "replay: the program's frames differ from the log."},
    };
    return rows;
}

std::string ExitText(const ExitCases& cases) {
    std::string out = "exit";
    for (const auto& [code, meaning] : cases)
        out += (out.size() > 4 ? ", " : " ") + std::to_string(static_cast<int>(code)) + " " + meaning;
    return out;
}

std::string ExitStatusHelp(const ExitCases& cases, std::size_t width) {
    std::string out = "\nExit status:\n";
    for (const auto& [code, meaning] : cases) {
        const auto row = std::find_if(ExitStatuses().begin(), ExitStatuses().end(),
                                      [code = code](const ExitStatusRow& r) { return r.code == code; });
        const std::string number = std::to_string(static_cast<int>(code));
        out += "  " + number + std::string(4 - number.size(), ' ') +
               FillText(meaning.empty() ? row->meaning : meaning, 6, 6, width).substr(6);
    }
    return out;
}

} // namespace kq
