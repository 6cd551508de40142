// A serial line in virtual time: the computer's side of 9600-baud lines to
// RadioModels, one per device name. Time moves only when the link waits, so
// a whole transfer runs in microseconds and every wait is exact. Tests run
// the link, the windows and kqtool over it; one transfer at a time.
#pragma once

#include "RadioModel.h"
#include "RadioSetup.h"
#include "SerialLine.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace kq {

class SimLine : public SerialLine, public TimeSource {
public:
    void Attach(const std::string& device, RadioModel& radio) { m_Radios[device] = &radio; }
    // The devices radios are attached to, in name order.
    std::vector<std::string> Devices() const {
        std::vector<std::string> out;
        for (const auto& r : m_Radios) out.push_back(r.first);
        return out;
    }
    // Another program holds device.
    void Hold(const std::string& device) { m_Held = device; }
    // The cable is pulled at time t (max(): plugged in again).
    void PullAt(LinkTime t) { m_PullAt = t; }
    // The cable is pulled as frame starts to go out.
    void PullAtFrame(const std::string& frame) { m_PullFrame = frame; }
    // A busy machine: every wait ends up to max late, at random from seed.
    void WakeLate(LinkTime max, unsigned seed) {
        m_Late = max;
        m_Rng.seed(seed);
    }
    // Called with each write the computer makes.
    std::function<void(const std::string&)> onSend;
    // Everything the computer sent, in order.
    const std::string& Sent() const { return m_Sent; }

    LinkTime Now() override { return m_Now; }
    void SleepUntil(LinkTime t) override { m_Now = std::max(m_Now, t + Overshoot()); }

    OpenResult Open(const std::string& device) override {
        if (m_Radio) return OpenResult::AlreadyOpen;
        if (device == m_Held) {
            m_Problem = "port busy: " + device + " is in use by another program";
            return OpenResult::Busy;
        }
        const auto it = m_Radios.find(device);
        if (it == m_Radios.end()) {
            m_Problem = "no such device " + device;
            return OpenResult::NoSuchPort;
        }
        m_Problem.clear();
        m_Radio = it->second;
        m_Radio->TakeDue(m_Now); // what came while the port was closed is gone
        m_Device = device;
        return OpenResult::Ok;
    }
    void Close() override {
        m_Radio = nullptr;
        m_In.clear();
    }
    bool IsOpen() const override { return m_Radio != nullptr; }
    void Write(const std::string& data) override {
        if (!m_Radio || Failed()) return;
        if (!m_PullFrame.empty() && data == m_PullFrame) {
            m_PullFrame.clear();
            m_PullAt = m_Now;
            return;
        }
        m_Sent += data;
        if (onSend) onSend(data);
        for (char c : data) {
            m_OutFree = std::max(m_OutFree, m_Now) + kCharTime;
            m_Radio->Receive(c, m_OutFree);
        }
    }
    std::string Read(int max = 0) override {
        Pump();
        return TakeFront(m_In, max);
    }
    int InBufferCount() override { return Pump(), static_cast<int>(m_In.size()); }
    void WaitInput(LinkTime until) override {
        if (Pump() || Failed()) return;
        const LinkTime next = m_Radio ? std::min(m_Radio->NextDue(), m_PullAt) : m_PullAt;
        m_Now = std::max(m_Now, std::min(next, until) + Overshoot());
        Pump();
    }
    bool Failed() const override { return m_Radio && m_Now >= m_PullAt; }
    std::string Problem() const override { return Failed() ? "the port " + m_Device + " stopped working" : m_Problem; }

private:
    // Moves what has reached the computer into the receive buffer; true if
    // anything came.
    bool Pump() {
        if (!m_Radio || Failed()) return false;
        const std::string s = m_Radio->TakeDue(m_Now);
        m_In += s;
        return !s.empty();
    }

    LinkTime Overshoot() {
        if (m_Late.count() == 0) return LinkTime(0);
        return LinkTime(static_cast<long long>(m_Rng() % static_cast<unsigned long long>(m_Late.count() + 1)));
    }

    std::map<std::string, RadioModel*> m_Radios;
    std::string m_PullFrame, m_Held;
    LinkTime m_Late{0};
    std::mt19937_64 m_Rng;
    RadioModel* m_Radio = nullptr;
    std::string m_In, m_Device, m_Problem, m_Sent;
    LinkTime m_Now{0}, m_OutFree{0}, m_PullAt = LinkTime::max();
};

// Radios made from their setups on one simulated line, as /dev/ttyKQ0,
// /dev/ttyKQ1, ... in the order they were added.
class SimRadios {
public:
    RadioModel& Add(const RadioSetup& setup) {
        m_Radios.emplace_back(setup.Behaviour(), setup.Words());
        m_Line.Attach(Device(m_Radios.size() - 1), m_Radios.back());
        return m_Radios.back();
    }
    static std::string Device(std::size_t i) { return "/dev/ttyKQ" + std::to_string(i); }
    SimLine& Line() { return m_Line; }

private:
    SimLine m_Line;
    std::deque<RadioModel> m_Radios; // where the line finds them
};

} // namespace kq
