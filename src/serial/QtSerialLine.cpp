#include "QtSerialLine.h"

#include <QFileInfo>
#include <QSerialPort>

#include <thread>

#ifndef _WIN32
#include "PortFacts.h"

#include <cerrno>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace kq {

namespace {
bool PermissionDenied(const QString& device) {
#ifndef _WIN32
    return ::access(device.toLocal8Bit().constData(), R_OK | W_OK) != 0 && errno == EACCES;
#else
    (void)device;
    return false;
#endif
}
} // namespace

LinkTime SteadyTime::Now() {
    return std::chrono::duration_cast<LinkTime>(std::chrono::steady_clock::now() - m_Origin);
}

void SteadyTime::SleepUntil(LinkTime t) { std::this_thread::sleep_until(m_Origin + t); }

QtSerialLine::QtSerialLine(TimeSource& time, SystemRoots roots)
    : m_Time(time), m_Roots(std::move(roots)) {}

QtSerialLine::~QtSerialLine() { Close(); }

SerialLine::OpenResult QtSerialLine::Open(const std::string& device) {
    if (IsOpen()) return OpenResult::AlreadyOpen;
    m_Problem.clear();
    m_Failed = false;
    m_Device = device;
    const QString dev = QString::fromStdString(device);
#ifndef _WIN32
    // A port another program holds is refused before a byte is sent: two
    // programs on one line garble both. A lock left by a program that has
    // ended is removed.
    const PortHolder holder = LockHolder(device, m_Roots, true);
    if (holder.pid != 0) {
        m_Problem = BusyText(device, holder);
        return OpenResult::Busy;
    }
#endif
    auto p = std::make_unique<QSerialPort>();
    p->setPortName(dev);
    if (!p->open(QIODevice::ReadWrite)) {
        if (p->error() == QSerialPort::PermissionError) {
            if (PermissionDenied(dev)) {
                m_Problem = PermissionText(device, DeviceGroup(device));
                return OpenResult::AlreadyOpen;
            }
#ifndef _WIN32
            // Readable and writable, yet refused: held in exclusive mode, or
            // its lock taken between the look above and the open.
            PortHolder holder = LockHolder(device, m_Roots, false);
            if (holder.pid == 0) holder = OpenBy(device, m_Roots);
            m_Problem = BusyText(device, holder);
            return OpenResult::Busy;
#else
            return OpenResult::AlreadyOpen;
#endif
        }
        // A path that is not there is named as such, not taken for a radio
        // that keeps silent.
        m_Problem = QFileInfo::exists(dev)
                        ? device + " is not a serial port (" + p->errorString().toStdString() + ")"
                        : "no such device " + device;
        return OpenResult::NoSuchPort;
    }
#ifndef _WIN32
    // Exclusive mode for the whole transfer: a second program's open fails
    // (Qt's serial port asks for it too; asked again, it costs nothing).
    ::ioctl(static_cast<int>(p->handle()), TIOCEXCL);
#endif
#ifndef _WIN32
    // A program that opened the port without a lock (a terminal, a probe)
    // shows in /proc; a serial port it turned out to be, so it is refused.
    if (const PortHolder other = OpenBy(device, m_Roots, static_cast<int>(::getpid()));
        other.pid != 0) {
        p->close();
        m_Problem = BusyText(device, other);
        return OpenResult::Busy;
    }
#endif
    p->setBaudRate(QSerialPort::Baud9600);
    p->setDataBits(QSerialPort::Data8);
    p->setParity(QSerialPort::NoParity);
    p->setStopBits(QSerialPort::TwoStop);
    p->setFlowControl(QSerialPort::NoFlowControl);
    // A pseudo-terminal has no modem lines; failing to drop them is harmless.
    p->setDataTerminalReady(false);
    p->setRequestToSend(false);
    p->clearError();
    m_Port = std::move(p);
    return OpenResult::Ok;
}

void QtSerialLine::Close() {
    if (m_Port) m_Port->close();
    m_Port.reset();
}

bool QtSerialLine::IsOpen() const { return m_Port && m_Port->isOpen(); }

void QtSerialLine::Pump(int ms) {
    if (!IsOpen() || m_Failed) return;
    m_Port->waitForReadyRead(ms);
    const auto e = m_Port->error();
    if (e == QSerialPort::ResourceError || e == QSerialPort::ReadError ||
        e == QSerialPort::WriteError) {
        m_Failed = true;
        m_Problem = "the port " + m_Device + " stopped working (" +
                    m_Port->errorString().toStdString() + ")";
    } else if (e == QSerialPort::TimeoutError) {
        m_Port->clearError();
    }
}

std::string QtSerialLine::Read(int max) {
    Pump(0);
    if (!IsOpen()) return {};
    return (max > 0 ? m_Port->read(max) : m_Port->readAll()).toStdString();
}

void QtSerialLine::Write(const std::string& data) {
    if (!IsOpen() || m_Failed) return;
    m_Port->write(data.data(), static_cast<qint64>(data.size()));
    // Handed to the system now: the link's pacing counts from here, and its
    // waits do not run the port's event handling.
    while (m_Port->bytesToWrite() > 0 && m_Port->waitForBytesWritten(100)) {}
    Pump(0);
}

int QtSerialLine::InBufferCount() {
    Pump(0);
    return IsOpen() ? static_cast<int>(m_Port->bytesAvailable()) : 0;
}

void QtSerialLine::WaitInput(LinkTime until) {
    const auto left = until - m_Time.Now();
    if (!IsOpen() || m_Failed) {
        m_Time.SleepUntil(until);
        return;
    }
    // Whole milliseconds, rounded up: a wait never ends before its time.
    Pump(left.count() <= 0 ? 0 : static_cast<int>((left.count() + 999) / 1000));
}

} // namespace kq
