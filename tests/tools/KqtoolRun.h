// Runs kqtool in a fresh temporary folder per test: the real binary, with
// kqradio emulators at hand, or its commands in-process over radios on a
// simulated line in virtual time.
#pragma once

#include "CoreTestSupport.h"
#include "KqRadioProcess.h"
#include "Kqtool.h"
#include "RadioLink.h"
#include "RadioOptions.h"
#include "SerialPorts.h"
#include "SimLine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#include <sanitizer/common_interface_defs.h>
#define KQ_SANITIZED 1
#endif

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

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

    virtual Result run(const std::string& args) const {
        const int status = std::system((q(KQTOOL_PATH) + " " + args + " >" + q(outFile) + " 2>" + q(errFile)).c_str());
        return taken(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }

    // What a run left in outFile and errFile.
    Result taken(int status) const {
        Result r{status, readAll(outFile), readAll(errFile)};
        fs::remove(outFile);
        fs::remove(errFile);
        return r;
    }

    std::string q(const fs::path& p) const { return "\"" + p.string() + "\""; }

    // A fresh folder per test, so parallel and repeated runs never meet.
    const kqtest::TempDir tmp{"kqtool_test_"};
    const fs::path dir = tmp.path;
    // Where a run's standard output and error are caught.
    const fs::path outFile = dir / "stdout.txt", errFile = dir / "stderr.txt";
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

// The words of a command line as a shell would split it: blanks part them,
// double quotes keep them whole; a last "</dev/null" is taken apart.
inline std::vector<std::string> shellWords(const std::string& line, bool& stdinNull) {
    std::vector<std::string> words;
    std::string w;
    bool quoted = false, any = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) words.push_back(w);
            w.clear();
            any = false;
        } else {
            w += c;
            any = true;
        }
    }
    if (any) words.push_back(w);
    stdinNull = !words.empty() && words.back() == "</dev/null";
    if (stdinNull) words.pop_back();
    return words;
}

// A radio on the fixture's simulated line, made from kqradio's options;
// --save is written when it stops, as kqradio does on exit.
struct SimulatedRadio {
    kq::RadioSetup setup;
    kq::RadioModel& radio;
    QString device;
    void stop() {
        if (!setup.save.empty()) setup.Save(radio.Words());
    }
};

// kqtool's commands run in-process, its radio commands over radios on a
// simulated line in virtual time.
class KqtoolSim : public KqtoolRadio {
protected:
    kq::SimRadios sims;
    std::vector<std::unique_ptr<SimulatedRadio>> radios;

    void SetUp() override {
        kqtool::SetLinkEnds(kq::SimulatedEnds(sims.Line()));
        KqtoolRadio::SetUp();
    }
    void TearDown() override { kqtool::SetLinkEnds(kq::SerialPortEnds()); }

    SimulatedRadio& simRadio(const QStringList& options) {
        const kq::RadioSetup setup = kqradio::ParseRadioOptions(kq::ToStdStrings(options));
        kq::RadioModel& radio = sims.Add(setup);
        const QString device = QString::fromStdString(kq::SimRadios::Device(radios.size()));
        radios.push_back(std::make_unique<SimulatedRadio>(SimulatedRadio{setup, radio, device}));
        return *radios.back();
    }
    std::string port(const SimulatedRadio& r) const { return " --port " + r.device.toStdString(); }

    // The command line in this process, its standard output and error
    // caught in files.
    Result run(const std::string& args) const override {
        bool stdinNull = false;
        std::vector<std::string> words = shellWords(args, stdinNull);
        words.insert(words.begin(), "kqtool");
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        std::fflush(stdout);
        std::fflush(stderr);
        const int savedOut = ::dup(1), savedErr = ::dup(2), savedIn = ::dup(0);
        const int o = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(o, 1);
        ::dup2(e, 2);
#ifdef KQ_SANITIZED
        // A sanitizer's report goes to the test's own standard error.
        __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<intptr_t>(savedErr)));
#endif
        if (stdinNull) {
            const int n = ::open("/dev/null", O_RDONLY);
            ::dup2(n, 0);
            ::close(n);
        }
        const int status = kqtool::Main(static_cast<int>(words.size()), argv.data());
        std::cout.flush();
        std::cerr.flush();
        std::fflush(stdout);
        std::fflush(stderr);
#ifdef KQ_SANITIZED
        __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<intptr_t>(2)));
#endif
        for (const auto& [saved, fd] : {std::pair{savedOut, 1}, {savedErr, 2}, {savedIn, 0}}) {
            ::dup2(saved, fd);
            ::close(saved);
        }
        ::close(o);
        ::close(e);
        return taken(status);
    }
};

} // namespace kqtest

using namespace kqtest;
