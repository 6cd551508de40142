// An in-memory radio behind the WordLink interface, with scripted faults.
#pragma once

#include "WordLink.h"

#include <functional>
#include <string>
#include <vector>

namespace kqtest {

struct FakeLink : kq::WordLink {
    std::vector<int> words = std::vector<int>(64, 0);
    int port = 1;
    bool initFails = false, dead = false;
    int silentFrom = -1;  // reads from this address on get no answer
    int badReadback = -1; // this word reads back with its low bit flipped
    int diesAt = -1;      // the port fails on reading this address
    std::function<void(int addr)> onRead;
    int writes = 0, reads = 0;

    int ActComPort() const override { return port; }
    std::string ActDevice() const override { return port ? "/dev/fake" : ""; }
    bool InitActPort() override { return !initFails; }
    void WriteByte(int data, short addr) override {
        ++writes;
        words[static_cast<size_t>(addr)] = data;
    }
    int ReadByte(short addr) override {
        ++reads;
        if (onRead) onRead(addr);
        dead = dead || addr == diesAt;
        if (dead || (silentFrom >= 0 && addr >= silentFrom)) return -1;
        return words[static_cast<size_t>(addr)] ^ (addr == badReadback ? 1 : 0);
    }
    bool PortFailed() const override { return dead; }
    std::string PortProblem() const override { return dead ? "the port /dev/fake went away" : ""; }
};

} // namespace kqtest
