// Moving a whole EEPROM image between the program and the radio over a
// WordLink, word by word, as the reading and writing windows and kqtool do.
// A transfer is given what it needs by value and hands back a result; it
// never sees a document, so it may run on a worker thread while the table's
// window goes on working.
//
//   kq::TransferSequence read(64);                       // the radio's words
//   kq::TransferSequence write(kq::PrepareWrite(device)); // on the UI thread
//   write.confirmModelMismatch = [](int radioModel) { return askTheUser(); };
//   kq::Form_QVCom link(line, time, settings);         // runs the port search
//   kq::TransferResult r = write.Run(link);
//
// Progress() and Cancel() may be called from another thread than Run().
//
// A write with keepBackup set first reads the whole radio and hands its
// words over to be kept on disk; only then is a word written.
//
// What the radio holds after a write: NoRadio, PortBusy, ModelDeclined,
// NotInitiated, TableInvalid, BackupFailed: untouched. LinkFailed,
// VerifyFailed: the new words below the failing address, that word possibly
// changed, its old words above. Cancelled: the words written so far.
#pragma once

#include "ClassKQxx53.h"
#include "TransferOutcome.h"
#include "WordLink.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kq {

// What a write sends: the table's words and its model.
struct WriteJob {
    std::vector<int32_t> image;
    int model = 0;
    // The codec's message when it refused the table: nothing is sent.
    std::string refused;
};

// Converts device's table into the words a write sends (Para_to_EEWord
// rewrites the device's image); done before any port is opened.
WriteJob PrepareWrite(ClassKQxx53& device);

// A finished read's words in a copy of device, whose parameters are then the
// radio's. Nothing when the read did not end with Done, or when the codec
// refuses the words (r then ends with TableInvalid and the codec's message).
std::optional<ClassKQxx53> RadioTable(TransferResult& r, const ClassKQxx53& device);

class TransferSequence {
public:
    using Outcome = TransferOutcome;
    using Direction = TransferDirection;

    // Read: the radio's first words.
    explicit TransferSequence(int words = 64);
    // Write: the image, checked against the radio's model first.
    explicit TransferSequence(WriteJob job);

    // The radio's model code (a word 1 unanswered fails the write instead);
    // true = overwrite. Called on the thread of Run(). Unset: the mismatch
    // is declined.
    std::function<bool(int radioModel)> confirmModelMismatch;
    // A write's backup: the radio's words, read before anything is written;
    // returns where they were kept, or throws KqError when they could not be
    // (nothing is written then). Unset: no backup read, word 1 alone is read
    // for the model check. Called on the thread of Run().
    std::function<std::string(const std::vector<int32_t>& radioWords)> keepBackup;
    // The backup read found word 0 other than 0xC500, a radio never
    // initiated; true = write it all the same. Unset: not written. Set
    // without keepBackup, word 0 is read after word 1 to ask it.
    std::function<bool(int word0)> confirmUninitiated;

    TransferResult Run(WordLink& link);
    // A write whose table the codec refused: Run() would send nothing.
    bool Refused() const { return !m_Refused.empty(); }
    // The result of a transfer that ends with o now; not while Run() runs
    // on another thread.
    TransferResult Result(Outcome o) const;

    // Thread-safe: the transfer stops before its next word.
    void Cancel() { m_Cancel = true; }
    // Thread-safe: 0..15 as the window's bar shows it (a write's runs one
    // step ahead).
    int Progress() const;
    int WordsDone() const { return m_WordsDone; }

private:
    Outcome ReadAll(WordLink& link);
    Outcome WriteAll(WordLink& link);
    // Each word written and read back, as the default pacing does.
    Outcome WriteWords(WordLink& link);
    // Fast: each word written without a read; then all read back.
    Outcome SendWords(WordLink& link);
    Outcome ReadBack(WordLink& link);
    // Reads the first count words into words; LinkFailed at the first word
    // without an answer (words then holds those before it).
    Outcome ReadWords(WordLink& link, int count, std::vector<int32_t>& words, bool counted);
    // The model check and the backup, before the first word is written.
    Outcome BeforeWriting(WordLink& link);
    // Writes word a and reads it back, writing it again while the read-back
    // differs (at most three times more).
    Outcome WriteVerified(WordLink& link, int a);
    // Word a went out to the radio (a port that died meanwhile sent nothing).
    void Sent(int a) { m_WordsWritten = std::max(m_WordsWritten.load(), a + 1); }
    void Failed(int addr, int got, int want);
    // A word read back as got where want was written: Done, or the failure
    // it is (no answer or a dead port, or another value), recorded.
    Outcome Verified(const WordLink& link, int addr, int got, int want);
    std::string Detail(Outcome o) const;

    const Direction m_Dir;
    const int m_WordsTotal;
    const int m_Step; // words per step of the bar
    const int m_Model = 0;
    const std::string m_Refused;
    std::atomic<bool> m_Cancel{false};
    std::atomic<int> m_WordsDone{0};
    std::atomic<int> m_WordsWritten{0};
    int m_Rewritten = 0; // words written again after a read-back that differed
    std::vector<int32_t> m_Backup;
    std::string m_BackupFile;
    bool m_BackupRead = false; // the failure came during the backup read
    std::string m_Reply;       // what the failing exchange got back
    std::string m_BackupProblem;
    int m_AskedAgain = 0;
    // The words to write, or those read.
    std::vector<int32_t> m_Image;
    std::string m_Device, m_Where, m_PortProblem, m_Surprise;
    int m_FailAddr = -1, m_FailGot = -1, m_FailWant = -1;
};

} // namespace kq
