#include "TransferOutcome.h"

#include "ExitStatus.h"

#include <iterator>

namespace kq {

namespace {

struct OutcomeRow {
    TransferOutcome outcome;
    // "{detail}" stands for the result's detail, "{ports}" for the ports
    // searched.
    const char* box;
    const char* status;
    ExitStatus exitCode;
    const char* terminalHint;
};

const OutcomeRow kOutcomes[] = {
    {TransferOutcome::Done, "", "{detail}", ExitOk, ""},
    {TransferOutcome::NoRadio, " ComPort Error! ", "no radio answered on {ports}", ExitLinkFailed, ""},
    {TransferOutcome::LinkFailed, " ComPort Error! ", "{detail}", ExitLinkFailed, ""},
    {TransferOutcome::VerifyFailed, " ComPort Error! ", "{detail}", ExitLinkFailed, ""},
    {TransferOutcome::NotInitiated, "EEPROM must be initiated!", "{detail}", ExitNotInitiated, ""},
    {TransferOutcome::ModelDeclined, "", "{detail}", ExitModelDeclined, " (--yes overwrites it)"},
    {TransferOutcome::TableInvalid, "{detail}", "{detail}", ExitFailure, ""},
    {TransferOutcome::Cancelled, "", "{detail}", ExitCancelled, ""},
    {TransferOutcome::PortBusy, " ComPort Error! ", "{detail}", ExitPortBusy, ""},
    {TransferOutcome::BackupFailed, "{detail}", "{detail}", ExitFailure, " (--no-backup writes without one)"},
};

const OutcomeRow& RowOf(TransferOutcome o) {
    for (const OutcomeRow& row : kOutcomes)
        if (row.outcome == o) return row;
    return kOutcomes[std::size(kOutcomes) - 1];
}

std::string Filled(const char* pattern, const TransferResult& r, const std::string& ports) {
    std::string s = pattern;
    for (const auto& [key, value] :
         {std::pair<std::string, const std::string&>{"{detail}", r.detail}, {"{ports}", ports}})
        if (const auto at = s.find(key); at != std::string::npos) s.replace(at, key.size(), value);
    return s;
}

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

} // namespace

std::string MessageOf(const TransferResult& r) { return Filled(RowOf(r.outcome).box, r, {}); }

std::string StatusOf(const TransferResult& r, const std::string& ports) {
    using O = TransferOutcome;
    std::string s = Filled(RowOf(r.outcome).status, r, ports);
    // The detail of a failed link already names the port's problem.
    if (r.outcome == O::NoRadio && !r.portProblem.empty()) s += "; " + r.portProblem;
    if (r.outcome == O::TableInvalid)
        s += r.dir == TransferDirection::Write ? "; nothing was sent" : "; the table is unchanged";
    const bool partly = (r.outcome == O::LinkFailed || r.outcome == O::VerifyFailed ||
                         r.outcome == O::Cancelled) &&
                        r.wordsWritten > 0;
    if (r.dir == TransferDirection::Write && partly)
        s += r.backupFile.empty()
                 ? "; the radio may hold a partly written table, write it again"
                 : "; the radio may hold a partly written table, write it again or restore "
                   "what it held: kqtool restore '" + r.backupFile + "'";
    if (!r.fallBack.empty()) s += "; the fast link fell back to the default pacing: " + r.fallBack;
    return s;
}

std::string TerminalLineOf(const TransferResult& r, const std::string& ports) {
    const std::string status = StatusOf(r, ports);
    const std::string box = Trimmed(MessageOf(r));
    const std::string said =
        box.empty() || status.find(box) != std::string::npos ? status : box + " " + status;
    return said + RowOf(r.outcome).terminalHint;
}

int ExitCodeOf(TransferOutcome o) { return RowOf(o).exitCode; }

} // namespace kq
