#include "TransferSequence.h"

#include "KqErrors.h"

#include <cmath>
#include <cstdio>

namespace kq {

namespace {
std::string Hex4(int w)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(w) & 0xFFFFu);
    return buf;
}
} // namespace

TransferSequence::TransferSequence(ClassKQxx53& device, Direction dir) : dev_(&device), dir_(dir)
{
    wordsTotal_ = device.TotalEEWords();
}

TransferSequence::TransferSequence(int words) : dir_(Direction::ReadImage) { wordsTotal_ = words; }

TransferSequence::Outcome TransferSequence::Prepare()
{
    prepared_ = true;
    if (dir_ != Direction::Write)
        return Outcome::Done;
    // Converted before the radio is touched: a table the codec refuses sends
    // nothing.
    try {
        dev_->Para_to_EEWord();
    } catch (const KqError& e) {
        codecError_ = e.what();
        return Outcome::TableInvalid;
    }
    return Outcome::Done;
}

int TransferSequence::Progress() const
{
    const int v = wordsDone_ / step_ + (dir_ == Direction::Write ? 1 : 0);
    return v > 15 ? 15 : v;
}

TransferSequence::Outcome TransferSequence::Run(WordLink& link)
{
    if (!prepared_ && Prepare() != Outcome::Done)
        return Outcome::TableInvalid;
    if (!codecError_.empty())
        return Outcome::TableInvalid;
    wordsDone_ = 0;
    step_ = static_cast<int>(std::nearbyint(wordsTotal_ / 16.0)); // ties to even
    if (step_ < 1)
        step_ = 1;
    device_ = link.ActDevice();
    portProblem_ = link.PortProblem();
    if (link.ActComPort() == 0)
        return Outcome::NoRadio;
    Outcome out;
    if (!link.InitActPort())
        out = Outcome::LinkFailed;
    else
        out = dir_ == Direction::Write ? WriteAll(link) : ReadAll(link);
    portProblem_ = link.PortProblem();
    surprise_ = link.Surprise();
    return out;
}

void TransferSequence::Failed(int addr, int got, int want)
{
    failAddr_ = addr;
    failGot_ = got;
    failWant_ = want;
}

TransferSequence::Outcome TransferSequence::Verified(const WordLink& link, int addr, int got, int want)
{
    if (got < 0 || link.PortFailed()) {
        Failed(addr, -1, want);
        return Outcome::LinkFailed;
    }
    if (got != want) {
        Failed(addr, got, want);
        return Outcome::VerifyFailed;
    }
    return Outcome::Done;
}

TransferSequence::Outcome TransferSequence::ReadAll(WordLink& link)
{
    // Read into a copy: a half-read or foreign image must not end up in the
    // device, where the next save or write would mix it with the table.
    image_.assign(static_cast<size_t>(wordsTotal_), 0);
    for (int a = 0; a < wordsTotal_; ++a) {
        if (cancel_)
            return Outcome::Cancelled;
        const int w = link.ReadByte(static_cast<short>(a));
        if (w < 0 || link.PortFailed()) {
            Failed(a, -1, -1);
            image_.resize(static_cast<size_t>(a));
            return Outcome::LinkFailed;
        }
        image_[static_cast<size_t>(a)] = w;
        ++wordsDone_;
    }
    if (image_[0] != InitialisedEepromID)
        return Outcome::NotInitiated;
    if (dir_ == Direction::ReadImage)
        return Outcome::Done;
    ClassKQxx53 copy = *dev_;
    for (int a = 0; a < wordsTotal_; ++a)
        copy.EEWord(static_cast<int16_t>(a), image_[static_cast<size_t>(a)]);
    try {
        copy.EEWord_to_Para();
    } catch (const KqError& e) {
        codecError_ = e.what();
        return Outcome::TableInvalid;
    }
    *dev_ = copy;
    return Outcome::Done;
}

TransferSequence::Outcome TransferSequence::WriteAll(WordLink& link)
{
    if (!link.InitActPort())
        return Outcome::LinkFailed;
    const int w1 = link.ReadByte(1);
    if (link.PortFailed())
        return Outcome::LinkFailed;
    const int radioModel = w1 < 0 ? -1 : w1 / 256;
    if (radioModel != dev_->Model()) {
        if (!confirmModelMismatch || !confirmModelMismatch(radioModel))
            return Outcome::ModelDeclined;
    }
    Outcome out = WriteWords(link);
    if (out != Outcome::Done || !link.FastMode())
        return out;
    // A fast write is read back as a whole: a word that a later exchange
    // disturbed shows here. On a difference the whole image is written and
    // verified again in the default pacing, which decides the outcome.
    out = ReadBack(link);
    if (out != Outcome::VerifyFailed && out != Outcome::LinkFailed)
        return out;
    link.FallBack(Detail(out) + " in the final read-back");
    failAddr_ = -1;
    wordsDone_ = 0;
    return WriteWords(link);
}

TransferSequence::Outcome TransferSequence::WriteWords(WordLink& link)
{
    for (int a = 0; a < wordsTotal_; ++a) {
        if (cancel_)
            return Outcome::Cancelled;
        const int w = dev_->EEWord(static_cast<int16_t>(a));
        link.WriteByte(w, static_cast<short>(a));
        int r = link.ReadByte(static_cast<short>(a));
        if (r != w && r >= 0 && link.FastMode() && link.Surprise().empty() && !link.PortFailed()) {
            // The default pacing would have given the radio more time:
            // this word and the rest go at that pace.
            link.FallBack("word " + std::to_string(a) + " read back as " + Hex4(r) + " instead of " + Hex4(w));
            link.WriteByte(w, static_cast<short>(a));
            r = link.ReadByte(static_cast<short>(a));
        }
        if (const Outcome o = Verified(link, a, r, w); o != Outcome::Done)
            return o;
        ++wordsDone_;
    }
    return Outcome::Done;
}

TransferSequence::Outcome TransferSequence::ReadBack(WordLink& link)
{
    for (int a = 0; a < wordsTotal_; ++a) {
        if (cancel_)
            return Outcome::Cancelled;
        const int w = dev_->EEWord(static_cast<int16_t>(a));
        if (const Outcome o = Verified(link, a, link.ReadByte(static_cast<short>(a)), w); o != Outcome::Done)
            return o;
    }
    return Outcome::Done;
}

std::string TransferSequence::Message(Outcome o) const
{
    switch (o) {
    case Outcome::NoRadio:
    case Outcome::LinkFailed:
    case Outcome::VerifyFailed:
        return " ComPort Error! ";
    case Outcome::NotInitiated:
        return "EEPROM must be initiated!";
    case Outcome::TableInvalid:
        return codecError_;
    default:
        return {};
    }
}

std::string TransferSequence::Detail(Outcome o) const
{
    const std::string total = std::to_string(wordsTotal_);
    std::string s;
    switch (o) {
    case Outcome::Done:
        s = dir_ == Direction::Write ? "wrote and verified " + total + " words on " + device_
                                     : "read " + total + " words from " + device_;
        break;
    case Outcome::NoRadio:
        s = "no radio answered";
        break;
    case Outcome::LinkFailed:
        if (failAddr_ < 0)
            s = "the port " + device_ + " could not be prepared";
        else
            s = "the radio stopped answering at word " + std::to_string(failAddr_) + " (" +
                std::to_string(wordsDone_) + " of " + total + " words done)";
        break;
    case Outcome::VerifyFailed:
        s = "word " + std::to_string(failAddr_) + " read back as " + Hex4(failGot_) + " instead of " +
            Hex4(failWant_);
        break;
    case Outcome::NotInitiated:
        s = "EEPROM must be initiated! (word 0 is " + Hex4(image_.empty() ? 0 : image_[0]) + ", not 0xC500)";
        break;
    case Outcome::ModelDeclined:
        s = "the radio is of another model; nothing was written";
        break;
    case Outcome::TableInvalid:
        s = codecError_;
        break;
    case Outcome::Cancelled:
        s = "cancelled after " + std::to_string(wordsDone_) + " of " + total + " words";
        break;
    }
    if (!portProblem_.empty() && (o == Outcome::NoRadio || o == Outcome::LinkFailed))
        s += "; " + portProblem_;
    return s;
}

} // namespace kq
