// A radio of a given model on a simulated line, with the link settings of a
// test: the real 20 ms tick, in virtual time.
#pragma once

#include "ClassKQxx53.h"
#include "Form_QVCom.h"
#include "SimLine.h"
#include "TransferSequence.h"

#include <memory>
#include <vector>

namespace kqtest {

// The image of a table of the given model with distinct channels.
inline std::vector<int> ImageOf(int model, double freq) {
    kq::ClassKQxx53 d;
    d.Model(static_cast<uint8_t>(model));
    d.ApplyModelTable();
    for (int16_t ch = 0; ch < 16; ++ch) d.TheRxFreq(ch, freq + 0.0125 * ch * 7);
    d.Para_to_EEWord();
    std::vector<int> w;
    for (int16_t a = 0; a < 64; ++a) w.push_back(d.EEWord(a));
    return w;
}

struct SimRadio {
    kq::RadioModel radio;
    SimLine line;
    kq::LinkSettings settings;

    explicit SimRadio(kq::RadioBehaviour b, int model = 2, bool fast = false)
        : radio(std::move(b), ImageOf(model, 146.0125)) {
        line.Attach("/dev/ttySIM", radio);
        settings.ports = {"/dev/ttySIM"};
        settings.fast = fast;
    }
    std::unique_ptr<kq::Form_QVCom> Link() { return std::make_unique<kq::Form_QVCom>(line, line, settings); }
    // Runs seq on a new link; a model question is answered with ok after the
    // user thought for pauseUs.
    kq::TransferSequence::Outcome Run(kq::TransferSequence& seq, LinkTime pause = LinkTime(0), bool ok = true) {
        seq.confirmModelMismatch = [this, pause, ok](int) {
            line.SleepUntil(line.Now() + pause);
            return ok;
        };
        return seq.Run(*Link());
    }
};

} // namespace kqtest
