// A radio of a given model on a simulated line, with the link settings of a
// test: the real 20 ms tick, in virtual time.
#pragma once

#include "ClassKQxx53.h"
#include "CoreTestSupport.h"
#include "Form_QVCom.h"
#include "SimLine.h"
#include "TransferSequence.h"

#include <functional>
#include <memory>
#include <vector>

namespace kqtest {

using kq::LinkTime;
using kq::SimLine;

// The image of a table of the given model with distinct channels.
inline std::vector<int> ImageOf(int model, double freq) {
    kq::ClassKQxx53 d;
    d.Model(static_cast<uint8_t>(model));
    d.ApplyModelTable();
    MarkChannels(d, 16, freq, freq + 4, 0.0875);
    d.Para_to_EEWord();
    std::vector<int> w;
    for (int16_t a = 0; a < 64; ++a) w.push_back(d.EEWord(a));
    return w;
}

// The words a write of table sends.
inline std::vector<int> WordsOf(kq::ClassKQxx53 table) {
    const auto image = kq::PrepareWrite(table).image;
    return std::vector<int>(image.begin(), image.end());
}

struct SimRadio {
    kq::RadioModel radio;
    SimLine line;
    kq::LinkSettings settings;

    // The computer's characters reach the radio no faster than the line carries them.
    explicit SimRadio(kq::RadioBehaviour b, int model = 2, bool fast = false)
        : radio((b.paceInput = true, std::move(b)), ImageOf(model, 146.0125)) {
        line.Attach("/dev/ttySIM", radio);
        settings.ports = {"/dev/ttySIM"};
        settings.fast = fast;
    }
    std::unique_ptr<kq::Form_QVCom> Link() { return std::make_unique<kq::Form_QVCom>(line, line, settings); }
    kq::TransferResult Read(int words = 64) { return kq::TransferSequence(words).Run(*Link()); }
    // Writes table; a model question is answered with ok after the user
    // thought for pause. backup: the radio's words are kept there first.
    kq::TransferResult Write(kq::ClassKQxx53 table, LinkTime pause = LinkTime(0), bool ok = true,
                             const std::function<void()>& onAsk = {},
                             std::vector<int>* backup = nullptr) {
        kq::TransferSequence seq(kq::PrepareWrite(table));
        if (backup)
            seq.keepBackup = [backup](const std::vector<int32_t>& words) {
                backup->assign(words.begin(), words.end());
                return std::string("backup.KQ");
            };
        seq.confirmModelMismatch = [&](int) {
            if (onAsk) onAsk();
            line.SleepUntil(line.Now() + pause);
            return ok;
        };
        return seq.Run(*Link());
    }
};

} // namespace kqtest
