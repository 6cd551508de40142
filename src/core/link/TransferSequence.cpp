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
    ClassKQxx53 copy;
    try {
        copy = DecodeWords(device, r.words);
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
    m_WordsWritten = 0;
    m_Device = link.ActDevice();
    m_Where = PortName(link.ActComPort(), m_Device);
    m_PortProblem = link.PortProblem();
    if (link.ActComPort() == 0) return Result(link.PortBusy() ? Outcome::PortBusy : Outcome::NoRadio);
    Outcome out;
    if (!link.InitActPort())
        out = Outcome::LinkFailed;
    else
        out = m_Dir == Direction::Write ? WriteAll(link) : ReadAll(link);
    m_PortProblem = link.PortProblem();
    m_Surprise = link.Surprise();
    m_AskedAgain = link.AskedAgain() + m_Rewritten;
    if (out != Outcome::Done) m_Reply = link.LastReply();
    return Result(out);
}

TransferResult TransferSequence::Result(Outcome o) const {
    TransferResult r;
    r.outcome = o;
    r.dir = m_Dir;
    if (m_Dir == Direction::Read) r.words = m_Image;
    r.wordsDone = m_WordsDone;
    r.wordsTotal = m_WordsTotal;
    r.wordsWritten = m_WordsWritten;
    r.askedAgain = m_AskedAgain;
    r.backupFile = m_BackupFile;
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

TransferSequence::Outcome TransferSequence::ReadWords(WordLink& link, int count,
                                                      std::vector<int32_t>& words, bool counted) {
    words.assign(static_cast<size_t>(count), 0);
    for (int a = 0; a < count; ++a) {
        if (m_Cancel) return Outcome::Cancelled;
        const int w = link.ReadByte(static_cast<short>(a));
        if (w < 0 || link.PortFailed()) {
            Failed(a, -1, -1);
            words.resize(static_cast<size_t>(a));
            return Outcome::LinkFailed;
        }
        words[static_cast<size_t>(a)] = w;
        if (counted) ++m_WordsDone;
    }
    return Outcome::Done;
}

TransferSequence::Outcome TransferSequence::ReadAll(WordLink& link) {
    const Outcome out = ReadWords(link, m_WordsTotal, m_Image, true);
    if (out != Outcome::Done) return out;
    if (m_WordsTotal > 0 && m_Image[0] != InitialisedEepromID) return Outcome::NotInitiated;
    return Outcome::Done;
}

TransferSequence::Outcome TransferSequence::BeforeWriting(WordLink& link) {
    int w1 = -1;
    if (keepBackup) {
        // The whole radio first: its word 1 serves the model check, and the
        // table it held is kept before anything is overwritten.
        m_BackupRead = true;
        const Outcome read = ReadWords(link, RadioEEWords, m_Backup, false);
        m_BackupRead = read != Outcome::Done;
        if (read != Outcome::Done) return read;
        w1 = m_Backup[1];
    } else {
        // No answer is no model: a radio of the table's model must not be
        // taken for another, nor a dead line asked about.
        const auto answered = [&](short addr, int& w) {
            w = link.ReadByte(addr);
            if (w >= 0 && !link.PortFailed()) return true;
            Failed(addr, -1, -1);
            return false;
        };
        if (!answered(1, w1)) return Outcome::LinkFailed;
        // Without a backup, word 0 is read when someone is there to be asked
        // about a radio never initiated: it is not written unasked either.
        int w0 = -1;
        if (confirmUninitiated) {
            if (!answered(0, w0)) return Outcome::LinkFailed;
            m_Backup = {w0, w1};
        }
    }
    const int radioModel = w1 / 256; // word 1 was answered in both ways
    if (radioModel != m_Model) {
        if (!confirmModelMismatch || !confirmModelMismatch(radioModel))
            return Outcome::ModelDeclined;
    }
    if (!m_Backup.empty() && m_Backup[0] != InitialisedEepromID &&
        (!confirmUninitiated || !confirmUninitiated(m_Backup[0])))
        return Outcome::NotInitiated;
    if (!keepBackup) return Outcome::Done;
    if (m_Cancel) return Outcome::Cancelled;
    try {
        m_BackupFile = keepBackup(m_Backup);
    } catch (const std::exception& e) {
        m_BackupProblem = e.what();
        return Outcome::BackupFailed;
    }
    return Outcome::Done;
}

TransferSequence::Outcome TransferSequence::WriteAll(WordLink& link) {
    if (!link.InitActPort()) return Outcome::LinkFailed;
    if (const Outcome o = BeforeWriting(link); o != Outcome::Done) return o;
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
        Sent(a);
        // The bar: half for sending, half for reading back.
        m_WordsDone = (a + 1) / 2;
    }
    return Outcome::Done;
}

TransferSequence::Outcome TransferSequence::WriteVerified(WordLink& link, int a) {
    const int w = m_Image[static_cast<size_t>(a)];
    Outcome o = Outcome::Done;
    // A word that reads back otherwise is written again: the radio may have
    // lost the frame while it was busy. Three more tries, then it fails.
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (attempt > 0) {
            if (m_Cancel) return Outcome::Cancelled;
            ++m_Rewritten;
        }
        link.WriteByte(w, static_cast<short>(a));
        if (!link.PortFailed()) Sent(a);
        o = Verified(link, a, link.ReadByte(static_cast<short>(a)), w);
        if (o == Outcome::Done || link.PortFailed()) return o;
    }
    return o;
}

TransferSequence::Outcome TransferSequence::WriteWords(WordLink& link) {
    for (int a = 0; a < m_WordsTotal; ++a) {
        if (m_Cancel) return Outcome::Cancelled;
        if (const Outcome o = WriteVerified(link, a); o != Outcome::Done) return o;
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
    // A write counts the words sent into the radio, not the bar's position.
    const std::string done =
        std::to_string(m_Dir == Direction::Write ? m_WordsWritten.load() : m_WordsDone.load());
    const std::string got = m_Reply.empty() ? std::string() : " (got " + m_Reply + ")";
    std::string s;
    switch (o) {
    case Outcome::Done:
        s = m_Dir == Direction::Write ? "wrote and verified " + total + " words on " + m_Where
                                      : "read " + total + " words from " + m_Where;
        break;
    case Outcome::NoRadio: s = "no radio answered"; break;
    case Outcome::PortBusy: s = m_PortProblem; break;
    case Outcome::LinkFailed:
        if (m_FailAddr < 0)
            s = "the port " + m_Where + " could not be prepared";
        else if (m_BackupRead)
            s = "the radio stopped answering at word " + std::to_string(m_FailAddr) + got +
                " while its table was read for the backup; nothing was written";
        else
            s = "the radio stopped answering at word " + std::to_string(m_FailAddr) + got + " (" +
                done + " of " + total + " words done)";
        break;
    case Outcome::VerifyFailed:
        s = "word " + std::to_string(m_FailAddr) + " read back as " + Hex4(m_FailGot) +
            " instead of " + Hex4(m_FailWant);
        break;
    case Outcome::NotInitiated: {
        const std::vector<int32_t>& img = m_Dir == Direction::Write ? m_Backup : m_Image;
        s = "EEPROM must be initiated! (word 0 is " + Hex4(img.empty() ? 0 : img[0]) +
            ", not 0xC500)";
        if (m_Dir == Direction::Write) s += "; nothing was written";
        break;
    }
    case Outcome::ModelDeclined: s = "the radio is of another model; nothing was written"; break;
    case Outcome::TableInvalid: s = m_Refused; break;
    case Outcome::BackupFailed:
        s = "the radio's table could not be kept as a backup: " + m_BackupProblem +
            "; nothing was written";
        break;
    case Outcome::Cancelled:
        s = "cancelled after " + done + " of " + total + " words";
        break;
    }
    if (!m_PortProblem.empty() && (o == Outcome::NoRadio || o == Outcome::LinkFailed))
        s += "; " + m_PortProblem;
    if (m_AskedAgain > 0)
        s += "; " + std::to_string(m_AskedAgain) +
             (m_AskedAgain == 1 ? " word asked again" : " words asked again");
    if (!m_BackupFile.empty()) s += "; backup " + m_BackupFile;
    return s;
}

} // namespace kq
