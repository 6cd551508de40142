// The SerialLine of a real serial port (QSerialPort), and the real time the
// link runs on. The line blocks in WaitInput, so it lives on the worker
// thread that runs the transfer.
#pragma once

#include "PortFacts.h"
#include "SerialLine.h"

#include <QString>

#include <chrono>
#include <memory>

class QSerialPort;

namespace kq {

// Time since this object was made, on the steady clock.
class SteadyTime : public TimeSource {
public:
    LinkTime Now() override;
    void SleepUntil(LinkTime t) override;

private:
    std::chrono::steady_clock::time_point m_Origin = std::chrono::steady_clock::now();
};

class QtSerialLine : public SerialLine {
public:
    // roots: where lock files and /proc are looked up for a port in use.
    explicit QtSerialLine(TimeSource& time, SystemRoots roots = {});
    ~QtSerialLine() override;

    OpenResult Open(const std::string& device) override;
    void Close() override;
    bool IsOpen() const override;
    void Write(const std::string& data) override;
    std::string Read(int max = 0) override;
    int InBufferCount() override;
    void WaitInput(LinkTime until) override;
    bool Failed() const override { return m_Failed; }
    std::string Problem() const override { return m_Problem; }

private:
    // Waits up to ms for characters and notes a device that failed.
    void Pump(int ms);

    TimeSource& m_Time;
    std::unique_ptr<QSerialPort> m_Port;
    std::string m_Device;
    bool m_Failed = false;
    std::string m_Problem;
    SystemRoots m_Roots;
};

} // namespace kq
