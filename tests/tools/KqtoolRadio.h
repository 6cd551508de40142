// A kqtool test with a 16-channel table t.KQ (model 1, the emulator's
// default) and kqradio emulators at hand.
#pragma once

#include "KqRadioProcess.h"
#include "KqtoolRun.h"

using kqtest::KqRadioProcess;

class KqtoolRadio : public Kqtool {
protected:
    // Ticks of 80 ms, as in the other link tests: on a loaded machine a
    // pseudo-terminal can deliver tens of ms late.
    static constexpr const char* kTick = " --tick-ms 80";
    std::string port(const KqRadioProcess& r) const { return kTick + std::string(" --port ") + r.device.toStdString(); }
    // Files of the same image are the same bytes.
    std::string rows(const std::string& name) const { return readAll(file(name)); }
    void SetUp() override {
        Kqtool::SetUp();
        ASSERT_EQ(run("new -o " + q(file("t.KQ")) + " --model 1").status, 0);
        ASSERT_EQ(run("fill " + q(file("t.KQ")) + " --from 0 --to 15 --start 146.0125 --step 12.5").status, 0);
    }
};
