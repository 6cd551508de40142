// Runs the real kqtool binary in a fresh temporary folder per test, with
// kqradio emulators at hand.
#pragma once

#include "CoreTestSupport.h"
#include "KqRadioProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <stdlib.h>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace kqtest {

struct Result {
    int status;
    std::string out, err;
};

inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> v;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) v.push_back(l);
    return v;
}

class Kqtool : public ::testing::Test {
protected:
    void SetUp() override {
        // Backups go to the test's folder, never the user's.
        setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
    }

    fs::path file(const std::string& name) const { return dir / name; }

    Result run(const std::string& args) const {
        const fs::path out = dir / "stdout.txt", err = dir / "stderr.txt";
        int status = std::system((q(KQTOOL_PATH) + " " + args + " >" + q(out) + " 2>" + q(err)).c_str());
        status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        Result r{status, readAll(out), readAll(err)};
        fs::remove(out);
        fs::remove(err);
        return r;
    }

    std::string q(const fs::path& p) const { return "\"" + p.string() + "\""; }

    // A fresh folder per test, so parallel and repeated runs never meet.
    const kqtest::TempDir tmp{"kqtool_test_"};
    const fs::path dir = tmp.path;
};

// With a 16-channel table t.KQ of model 2, the model of a new table and the
// emulator's default.
class KqtoolRadio : public Kqtool {
protected:
    QString qfile(const std::string& name) const { return QString::fromStdString(file(name).string()); }
    // The protocol's own 20 ms tick: a loaded machine's late pseudo-terminal
    // is a slow line, which the link asks again about.
    static QStringList portArgs(const KqRadioProcess& r) { return {"--port", r.device}; }
    std::string port(const KqRadioProcess& r) const { return " " + portArgs(r).join(' ').toStdString(); }
    void SetUp() override {
        Kqtool::SetUp();
        ASSERT_EQ(run("new -o " + q(file("t.KQ"))).status, 0);
        ASSERT_EQ(run("fill " + q(file("t.KQ")) + " --from 0 --to 15 --start 146.0125 --step 12.5").status, 0);
    }
};

} // namespace kqtest

using namespace kqtest;
