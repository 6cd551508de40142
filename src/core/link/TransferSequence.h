// Moving a whole EEPROM image between a device and the radio over a
// WordLink, word by word, as the reading and writing windows and kqtool do.
//
//   kq::TransferSequence seq(device, kq::TransferSequence::Direction::Read);
//   seq.confirmModelMismatch = [](int radioModel) { return askTheUser(); };
//   if (seq.Prepare() == Outcome::Done) {        // before any port is opened
//       Form_QVCom link(options);                 // runs the port search
//       outcome = seq.Run(link);
//   }
//   seq.Message(outcome);  // the box text, "" on Done and ModelDeclined
//   seq.Detail();          // one line for a status bar or a terminal
//
// Run() may be on another thread than the one that reads Progress() or calls
// Cancel(); the device must not be touched elsewhere until Run() returns.
//
// What remains on each outcome:
//   Read:  the device changes only on Done (image and parameters are then
//          the radio's); every other outcome leaves it untouched.
//   ReadImage: no device is touched; Image() holds the words read so far
//          (all of them on Done and NotInitiated).
//   Write: Prepare() rebuilds the image from the parameters (TableInvalid:
//          the codec refused, nothing sent). NoRadio, ModelDeclined: radio
//          untouched. LinkFailed, VerifyFailed: the radio holds the new words
//          below the failing address, that word possibly changed, its old
//          words above. Cancelled: the words written so far.
#pragma once

#include "ClassKQxx53.h"
#include "WordLink.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace kq {

class TransferSequence {
public:
    enum class Direction { Read, ReadImage, Write };
    enum class Outcome {
        Done,
        NoRadio,       // no port answered the probe:          " ComPort Error! "
        LinkFailed,    // a word got no answer, the port died: " ComPort Error! "
        VerifyFailed,  // a written word read back otherwise:  " ComPort Error! "
        NotInitiated,  // word 0 read is not 0xC500:           "EEPROM must be initiated!"
        ModelDeclined, // model mismatch not confirmed (no message of its own)
        TableInvalid,  // the codec refused the table: its own message
        Cancelled,
    };

    // Read or Write on device.
    TransferSequence(ClassKQxx53& device, Direction dir);
    // ReadImage: the radio's first words into a separate image, no device
    // changed.
    explicit TransferSequence(int words = 64);

    // Radio's model code (-1: word 1 not answered); true = overwrite. Called
    // on the thread of Run(). Unset: the mismatch is declined.
    std::function<bool(int radioModel)> confirmModelMismatch;

    // Write: converts the table into words (TableInvalid when the codec
    // refuses). Run() calls it when it was not called before.
    Outcome Prepare();
    Outcome Run(WordLink& link);

    // Thread-safe: the transfer stops before its next word.
    void Cancel() { m_Cancel = true; }
    // 0..15 as the window's bar shows it (a write's runs one step ahead).
    int Progress() const;
    int WordsDone() const { return m_WordsDone; }
    int WordsTotal() const { return m_WordsTotal; }
    Direction Dir() const { return m_Dir; }
    const std::vector<int32_t>& Image() const { return m_Image; }
    std::string Device() const { return m_Device; }
    // What the user can do about the port (permission, a vanished device).
    std::string PortProblem() const { return m_PortProblem; }
    // Why a fast link fell back to the default pacing ("" if it did not).
    std::string Surprise() const { return m_Surprise; }

    // The message box text of an outcome ("" for Done, ModelDeclined and
    // Cancelled); TableInvalid gives the codec's message.
    std::string Message(Outcome o) const;
    // One line on what happened, for a status bar or a terminal.
    std::string Detail(Outcome o) const;

private:
    Outcome ReadAll(WordLink& link);
    Outcome WriteAll(WordLink& link);
    Outcome WriteWords(WordLink& link);
    Outcome ReadBack(WordLink& link);
    void Failed(int addr, int got, int want);
    // A word read back as got where want was written: Done, or the failure
    // it is (no answer or a dead port, or another value), recorded.
    Outcome Verified(const WordLink& link, int addr, int got, int want);

    ClassKQxx53* m_Dev = nullptr;
    Direction m_Dir;
    bool m_Prepared = false;
    std::atomic<bool> m_Cancel{false};
    std::atomic<int> m_WordsDone{0};
    std::atomic<int> m_WordsTotal{64};
    int m_Step = 4;
    std::vector<int32_t> m_Image;
    std::string m_Device, m_PortProblem, m_CodecError, m_Surprise;
    int m_FailAddr = -1, m_FailGot = -1, m_FailWant = -1;
};

} // namespace kq
