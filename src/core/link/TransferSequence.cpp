#include "TransferSequence.h"

#include "KqErrors.h"

#include <cmath>
#include <cstdio>

namespace kq {

namespace {
std::string Hex4(int w) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(w) & 0xFFFFu);
    return buf;
}

int StepOf(int words) {
    const int step = static_cast<int>(std::nearbyint(words / 16.0)); // ties to even
    return step < 1 ? 1 : step;
}

} // namespace

WriteJob PrepareWrite(ClassKQxx53& device) {
    WriteJob job;
    job.model = device.Model();
    // Converted before the radio is touched: a table the codec refuses sends
    // nothing.
    try {
        device.Para_to_EEWord();
    } catch (const KqError& e) {
        job.refused = e.what();
        return job;
    }
    for (int16_t a = 0; a < device.TotalEEWords(); ++a) job.image.push_back(device.EEWord(a));
    return job;
}

std::optional<ClassKQxx53> RadioTable(TransferResult& r, const ClassKQxx53& device) {
    if (r.dir != TransferDirection::Read || r.outcome != TransferOutcome::Done) return std::nullopt;
    // A copy: a foreign image the codec refuses must not end up in the
    // device, where the next save or write would mix it with the table.
    ClassKQxx53 copy = device;
    try {
        for (size_t a = 0; a < r.words.size(); ++a)
            copy.EEWord(static_cast<int16_t>(a), r.words[a]);
        copy.EEWord_to_Para();
    } catch (const KqError& e) {
        r.outcome = TransferOutcome::TableInvalid;
        r.detail = e.what();
        return std::nullopt;
    }
    return copy;
}

TransferSequence::TransferSequence(int words)
    : m_Dir(Direction::Read), m_WordsTotal(words), m_Step(StepOf(words)) {}

TransferSequence::TransferSequence(WriteJob job)
    : m_Dir(Direction::Write), m_WordsTotal(static_cast<int>(job.image.size())),
      m_Step(StepOf(m_WordsTotal)), m_Model(job.model), m_Refused(std::move(job.refused)),
      m_Image(std::move(job.image)) {}

int TransferSequence::Progress() const {
    const int v = m_WordsDone / m_Step + (m_Dir == Direction::Write ? 1 : 0);
    return v > 15 ? 15 : v;
}

TransferResult TransferSequence::Run(WordLink& link) {
    if (Refused()) return Result(Outcome::TableInvalid);
    m_WordsDone = 0;
    m_Device = link.ActDevice();
    m_Where = PortName(link.ActComPort(), m_Device);
    m_PortProblem = link.PortProblem();
    if (link.ActComPort() == 0) return Result(Outcome::NoRadio);
    Outcome out;
    if (!link.InitActPort())
        out = Outcome::LinkFailed;
    else
        out = m_Dir == Direction::Write ? WriteAll(link) : ReadAll(link);
    m_PortProblem = link.PortProblem();
    m_Surprise = link.Surprise();
    return Result(out);
}

TransferResult TransferSequence::Result(Outcome o) const {
    TransferResult r;
    r.outcome = o;
    r.dir = m_Dir;
    if (m_Dir == Direction::Read) r.words = m_Image;
    r.wordsDone = m_WordsDone;
    r.wordsTotal = m_WordsTotal;
    r.device = m_Device;
    r.detail = Detail(o);
    r.fallBack = m_Surprise;
    r.portProblem = m_PortProblem;
    return r;
}

void TransferSequence::Failed(int addr, int got, int want) {
    m_FailAddr = addr;
    m_FailGot = got;
    m_FailWant = want;
}

TransferSequence::Outcome TransferSequence::Verified(const WordLink& link, int addr, int got,
                                                     int want) {
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

TransferSequence::Outcome TransferSequence::ReadAll(WordLink& link) {
    m_Image.assign(static_cast<size_t>(m_WordsTotal), 0);
    for (int a = 0; a < m_WordsTotal; ++a) {
        if (m_Cancel) return Outcome::Cancelled;
        const int w = link.ReadByte(static_cast<short>(a));
        if (w < 0 || link.PortFailed()) {
            Failed(a, -1, -1);
            m_Image.resize(static_cast<size_t>(a));
            return Outcome::LinkFailed;
        }
        m_Image[static_cast<size_t>(a)] = w;
        ++m_WordsDone;
    }
    if (m_WordsTotal > 0 && m_Image[0] != InitialisedEepromID) return Outcome::NotInitiated;
    return Outcome::Done;
}

TransferSequence::Outcome TransferSequence::WriteAll(WordLink& link) {
    if (!link.InitActPort()) return Outcome::LinkFailed;
    const int w1 = link.ReadByte(1);
    if (link.PortFailed()) return Outcome::LinkFailed;
    const int radioModel = w1 < 0 ? -1 : w1 / 256;
    if (radioModel != m_Model) {
        if (!confirmModelMismatch || !confirmModelMismatch(radioModel))
            return Outcome::ModelDeclined;
    }
    if (!link.FastMode()) return WriteWords(link);
    // Fast: every word sent with its echo checked and the radio given its
    // programming time, then the whole image read back. On any difference
    // the image is written and verified again in the default pacing, which
    // decides the outcome.
    Outcome out = SendWords(link);
    if (out == Outcome::Done) out = ReadBack(link);
    if ((out != Outcome::VerifyFailed && out != Outcome::LinkFailed) || link.PortFailed())
        return out;
    link.FallBack(Detail(out) + " in the read-back");
    m_FailAddr = -1;
    m_WordsDone = 0;
    return WriteWords(link);
}

TransferSequence::Outcome TransferSequence::SendWords(WordLink& link) {
    for (int a = 0; a < m_WordsTotal; ++a) {
        if (m_Cancel) return Outcome::Cancelled;
        const int w = m_Image[static_cast<size_t>(a)];
        link.WriteByte(w, static_cast<short>(a));
        if (link.PortFailed()) {
            Failed(a, -1, w);
            return Outcome::LinkFailed;
        }
        // The bar: half for sending, half for reading back.
        m_WordsDone = (a + 1) / 2;
    }
    return Outcome::Done;
}

TransferSequence::Outcome TransferSequence::WriteWords(WordLink& link) {
    for (int a = 0; a < m_WordsTotal; ++a) {
        if (m_Cancel) return Outcome::Cancelled;
        const int w = m_Image[static_cast<size_t>(a)];
        link.WriteByte(w, static_cast<short>(a));
        if (const Outcome o = Verified(link, a, link.ReadByte(static_cast<short>(a)), w);
            o != Outcome::Done)
            return o;
        ++m_WordsDone;
    }
    return Outcome::Done;
}

TransferSequence::Outcome TransferSequence::ReadBack(WordLink& link) {
    for (int a = 0; a < m_WordsTotal; ++a) {
        if (m_Cancel) return Outcome::Cancelled;
        const int w = m_Image[static_cast<size_t>(a)];
        if (const Outcome o = Verified(link, a, link.ReadByte(static_cast<short>(a)), w);
            o != Outcome::Done)
            return o;
        m_WordsDone = (m_WordsTotal + a + 1) / 2;
    }
    return Outcome::Done;
}

std::string TransferSequence::Detail(Outcome o) const {
    const std::string total = std::to_string(m_WordsTotal);
    std::string s;
    switch (o) {
    case Outcome::Done:
        s = m_Dir == Direction::Write ? "wrote and verified " + total + " words on " + m_Where
                                      : "read " + total + " words from " + m_Where;
        break;
    case Outcome::NoRadio: s = "no radio answered"; break;
    case Outcome::LinkFailed:
        if (m_FailAddr < 0)
            s = "the port " + m_Where + " could not be prepared";
        else
            s = "the radio stopped answering at word " + std::to_string(m_FailAddr) + " (" +
                std::to_string(m_WordsDone) + " of " + total + " words done)";
        break;
    case Outcome::VerifyFailed:
        s = "word " + std::to_string(m_FailAddr) + " read back as " + Hex4(m_FailGot) +
            " instead of " + Hex4(m_FailWant);
        break;
    case Outcome::NotInitiated:
        s = "EEPROM must be initiated! (word 0 is " + Hex4(m_Image.empty() ? 0 : m_Image[0]) +
            ", not 0xC500)";
        break;
    case Outcome::ModelDeclined: s = "the radio is of another model; nothing was written"; break;
    case Outcome::TableInvalid: s = m_Refused; break;
    case Outcome::Cancelled:
        s = "cancelled after " + std::to_string(m_WordsDone) + " of " + total + " words";
        break;
    }
    if (!m_PortProblem.empty() && (o == Outcome::NoRadio || o == Outcome::LinkFailed))
        s += "; " + m_PortProblem;
    return s;
}

} // namespace kq
