#include "KqTransfer.h"

#include <cmath>

namespace kq {

QString KqTransfer::Message(Outcome o)
{
    switch (o) {
    case Outcome::NoRadio:
    case Outcome::LinkFailed:
        return " ComPort Error! ";
    case Outcome::NotInitiated:
        return "EEPROM must be initiated!";
    default:
        return {};
    }
}

KqTransfer::KqTransfer(ClassKQxx53& device, Direction dir, Form_QVCom::Options link)
    : dev_(device), dir_(dir), link_(link)
{
}

int KqTransfer::Progress() const
{
    const int v = wordsDone_ / step_ + (dir_ == Direction::Write ? 1 : 0);
    return v > 15 ? 15 : v;
}

void KqTransfer::WordDone()
{
    ++wordsDone_;
    const int p = Progress();
    if (p != lastProgress_ && hooks.progress)
        hooks.progress(p);
    lastProgress_ = p;
}

KqTransfer::Outcome KqTransfer::Run()
{
    if (running_)
        return Outcome::Cancelled; // one transfer at a time
    // Converted before the radio is touched: a table the codec refuses
    // throws here and nothing is sent.
    if (dir_ == Direction::Write)
        dev_.Para_to_EEWord();
    running_ = true;
    cancel_ = false;
    wordsDone_ = 0;
    wordsTotal_ = dev_.TotalEEWords();
    step_ = static_cast<int>(std::nearbyint(wordsTotal_ / 16.0)); // ties to even
    if (step_ < 1)
        step_ = 1;
    lastProgress_ = -1;
    Outcome out;
    {
        Form_QVCom com(link_);
        if (com.ActComPort() == 0) {
            running_ = false;
            return Outcome::NoRadio;
        }
        device_path_ = com.ActDevice();
        if (hooks.portFound)
            hooks.portFound(device_path_);
        lastProgress_ = Progress();
        if (hooks.progress)
            hooks.progress(lastProgress_);
        if (!com.InitActPort())
            out = Outcome::LinkFailed;
        else
            out = dir_ == Direction::Read ? ReadAll(com) : WriteAll(com);
    }
    running_ = false;
    return out;
}

KqTransfer::Outcome KqTransfer::ReadAll(Form_QVCom& com)
{
    // Read into a copy: a half-read or foreign image must not end up in the
    // device, where the next save or write would mix it with the table.
    ClassKQxx53 image = dev_;
    for (int a = 0; a < wordsTotal_; ++a) {
        if (cancel_)
            return Outcome::Cancelled;
        const int w = com.ReadByte(static_cast<short>(a));
        if (w < 0 || com.PortFailed())
            return Outcome::LinkFailed;
        image.EEWord(static_cast<int16_t>(a), w);
        WordDone();
    }
    if (image.EEWord(0) != 50432)
        return Outcome::NotInitiated;
    image.EEWord_to_Para();
    dev_ = image;
    return Outcome::Done;
}

KqTransfer::Outcome KqTransfer::WriteAll(Form_QVCom& com)
{
    if (!com.InitActPort())
        return Outcome::LinkFailed;
    const int w1 = com.ReadByte(1);
    const int radioModel = w1 < 0 ? -1 : w1 / 256;
    if (radioModel != dev_.Model()) {
        if (!hooks.confirmModelMismatch || !hooks.confirmModelMismatch(radioModel))
            return Outcome::ModelDeclined;
    }
    for (int a = 0; a < wordsTotal_; ++a) {
        if (cancel_)
            return Outcome::Cancelled;
        const int w = dev_.EEWord(static_cast<int16_t>(a));
        com.WriteByte(w, static_cast<short>(a));
        const int r = com.ReadByte(static_cast<short>(a));
        if (r < 0 || r != w || com.PortFailed())
            return Outcome::LinkFailed;
        WordDone();
    }
    return Outcome::Done;
}

} // namespace kq
