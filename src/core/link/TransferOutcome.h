// How a radio transfer ended, and the one table that says what each ending
// shows: the message box's text, the status line and kqtool's exit status.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kq {

enum class TransferOutcome {
    Done,
    NoRadio,       // no port answered the probe
    LinkFailed,    // a word got no answer, the port died
    VerifyFailed,  // a written word read back otherwise
    NotInitiated,  // word 0 read is not 0xC500
    ModelDeclined, // model mismatch not confirmed
    TableInvalid,  // the codec refused the table or the radio's words
    Cancelled,
    PortBusy,     // no radio answered and a port was held by another program
    BackupFailed, // the radio's table could not be kept on disk: nothing written
};

enum class TransferDirection { Read, Write };

// What a finished transfer hands back.
struct TransferResult {
    TransferOutcome outcome = TransferOutcome::Done;
    TransferDirection dir = TransferDirection::Read;
    // A read's words: all of them on Done and NotInitiated, else those read
    // before the failure. Empty for a write.
    std::vector<int32_t> words;
    int wordsDone = 0, wordsTotal = 0;
    std::string device;      // where the radio answered ("" when none did)
    std::string detail;      // what happened, in a few words
    std::string fallBack;    // why a fast link fell back ("" if it did not)
    std::string portProblem; // what the user can do about the port
    // A write: words whose frame has gone out to the radio (the radio may
    // hold them), whatever the progress bar shows.
    int wordsWritten = 0;
    int askedAgain = 0;      // exchanges repeated after a late or odd answer
    std::string backupFile;  // where the radio's table was kept before a write
};

// The message box's text ("" for none).
std::string MessageOf(const TransferResult& r);
// One line on what happened, for a status bar; ports: those searched.
std::string StatusOf(const TransferResult& r, const std::string& ports);
// The same for a terminal, with the box's text when the line does not say
// it already, and what the command line can do about it.
std::string TerminalLineOf(const TransferResult& r, const std::string& ports);
int ExitCodeOf(TransferOutcome o);

} // namespace kq
