// Moving a whole EEPROM image between a device and the radio, word by word.
// One class for kqtool and the transfer windows alike:
//
//   kq::KqTransfer t(device, kq::KqTransfer::Direction::Read);
//   t.hooks.progress = [&](int v) { bar->setValue(v); };      // 0..15
//   t.hooks.confirmModelMismatch = [&](int radioModel) { ... return ok; };
//   auto outcome = t.Run();   // blocking; the Qt event loop keeps running
//   QString text = kq::KqTransfer::Message(outcome);         // "" when Done
//
// Run() must be called on the thread of a QCoreApplication/QApplication.
// While it runs, timers fire and buttons work, so a CANCEL button may call
// Cancel(); the transfer then stops before the next word.
//
// What remains on each outcome:
//   Read:  the device changes only on Done (image and parameters are then
//          the radio's); every other outcome leaves it untouched.
//   Write: the image is rebuilt from the parameters first (a table the
//          codec refuses throws its KqError before any port is opened). NoRadio and
//          ModelDeclined - radio untouched; LinkFailed - radio holds the new
//          words below the failing address; Cancelled - words written so far.
#pragma once

#include "ClassKQxx53.h"
#include "Form_QVCom.h"

#include <QString>

#include <functional>

namespace kq {

class KqTransfer {
public:
    enum class Direction { Read, Write };
    enum class Outcome {
        Done,
        NoRadio,       // no port answered the probe:     " ComPort Error! "
        LinkFailed,    // a word failed or the port died:  " ComPort Error! "
        NotInitiated,  // word 0 read is not 0xC500:       "EEPROM must be initiated!"
        ModelDeclined, // model mismatch not confirmed (no message of its own)
        Cancelled,
    };
    static QString Message(Outcome o);

    struct Hooks {
        std::function<void(int)> progress;  // called whenever the 0..15 value changes
        // Radio's model code (-1: word 1 not answered); true = overwrite.
        // Unset: the mismatch is declined.
        std::function<bool(int radioModel)> confirmModelMismatch;
        std::function<void(const QString& device)> portFound;
    };

    KqTransfer(ClassKQxx53& device, Direction dir, Form_QVCom::Options link = {});

    Outcome Run();
    void Cancel() { cancel_ = true; }
    bool Running() const { return running_; }

    int Progress() const; // 0..15 as the bar shows it
    int WordsDone() const { return wordsDone_; }
    int WordsTotal() const { return wordsTotal_; }
    QString Device() const { return device_path_; }

    Hooks hooks;

private:
    Outcome ReadAll(Form_QVCom& com);
    Outcome WriteAll(Form_QVCom& com);
    void WordDone();

    ClassKQxx53& dev_;
    Direction dir_;
    Form_QVCom::Options link_;
    bool cancel_ = false;
    bool running_ = false;
    int wordsDone_ = 0;
    int wordsTotal_ = 0;
    int step_ = 1;
    int lastProgress_ = -1;
    QString device_path_;
};

} // namespace kq
