// The SerialLine of a real serial port (QSerialPort), and the real time the
// link runs on. The line blocks in WaitInput, so it lives on the worker
// thread that runs the transfer.
#pragma once

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
    explicit QtSerialLine(TimeSource& time);
    ~QtSerialLine() override;

    // The text for a device the user may not open, naming the fix.
    static QString PermissionHint(const QString& device);

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
};

} // namespace kq
