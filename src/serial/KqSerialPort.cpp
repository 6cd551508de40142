#include "KqSerialPort.h"

#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>

#ifndef _WIN32
#include <cerrno>
#include <unistd.h>
#endif

namespace kq {

namespace {
int Rank(const QString& name) {
    if (name.startsWith("ttyUSB") || name.startsWith("ttyACM")) return 0;
    if (name.startsWith("ttyS")) return 2;
    return 1;
}

bool PermissionDenied(const QString& device) {
#ifndef _WIN32
    return ::access(device.toLocal8Bit().constData(), R_OK | W_OK) != 0 && errno == EACCES;
#else
    (void)device;
    return false;
#endif
}
} // namespace

QStringList SystemPorts() {
    const QString env = qEnvironmentVariable("KQ_SERIAL_PORTS");
    if (!env.isEmpty()) return env.split(QRegularExpression("[:,]"), Qt::SkipEmptyParts);
    auto ports = QSerialPortInfo::availablePorts();
    std::stable_sort(ports.begin(), ports.end(),
                     [](const QSerialPortInfo& a, const QSerialPortInfo& b) {
                         return Rank(a.portName()) < Rank(b.portName());
                     });
    QStringList out;
    for (const auto& p : ports) out << p.systemLocation();
    return out;
}

QStringList SearchedPorts(const LinkSettings& link) {
    return link.ports.empty() ? SystemPorts() : ToQStringList(link.ports);
}

QStringList ToQStringList(const std::vector<std::string>& devices) {
    QStringList out;
    for (const std::string& d : devices) out << QString::fromStdString(d);
    return out;
}

std::vector<std::string> ToStdStrings(const QStringList& devices) {
    std::vector<std::string> out;
    for (const QString& d : devices) out.push_back(d.toStdString());
    return out;
}

QString KqSerialPort::PermissionHint(const QString& device) {
    return QStringLiteral("permission denied on %1: add your user to the 'dialout' group "
                          "(sudo usermod -aG dialout $USER) and log in again")
        .arg(device);
}

KqSerialPort::KqSerialPort() = default;
KqSerialPort::~KqSerialPort() { Close(); }

QString KqSerialPort::DevicePath() const {
    if (m_Port < 1 || m_Port > 4 || m_Port > m_Map.size()) return {};
    return m_Map[m_Port - 1];
}

KqSerialPort::Error KqSerialPort::Open() {
    if (IsOpen()) return PortAlreadyOpen;
    m_Problem.clear();
    const QString dev = DevicePath();
    if (dev.isEmpty()) return NoSuchPort;
    auto p = std::make_unique<QSerialPort>();
    p->setPortName(dev);
    if (!p->open(QIODevice::ReadWrite)) {
        if (p->error() != QSerialPort::PermissionError) return NoSuchPort;
        if (PermissionDenied(dev)) m_Problem = PermissionHint(dev);
        return PortAlreadyOpen;
    }
    p->setBaudRate(QSerialPort::Baud9600);
    p->setDataBits(QSerialPort::Data8);
    p->setParity(QSerialPort::NoParity);
    p->setStopBits(QSerialPort::TwoStop);
    p->setFlowControl(QSerialPort::NoFlowControl);
    // A pseudo-terminal has no modem lines; failing to drop them is harmless.
    p->setDataTerminalReady(false);
    p->setRequestToSend(false);
    p->clearError();
    port_obj_ = std::move(p);
    m_Failed = false;
    return NoError;
}

void KqSerialPort::Close() {
    if (port_obj_) port_obj_->close();
    port_obj_.reset();
}

bool KqSerialPort::IsOpen() const { return port_obj_ && port_obj_->isOpen(); }

void KqSerialPort::Pump(int ms) {
    if (!IsOpen() || m_Failed) return;
    port_obj_->waitForReadyRead(ms);
    const auto e = port_obj_->error();
    if (e == QSerialPort::ResourceError || e == QSerialPort::ReadError ||
        e == QSerialPort::WriteError) {
        m_Failed = true;
        m_Problem = QStringLiteral("the port %1 stopped working (%2)")
                        .arg(DevicePath(), port_obj_->errorString());
    } else if (e == QSerialPort::TimeoutError) {
        port_obj_->clearError();
    }
}

void KqSerialPort::Wait(int ms) { Pump(ms); }

QByteArray KqSerialPort::Read() {
    Pump(0);
    if (!IsOpen()) return {};
    return m_ReadLength > 0 ? port_obj_->read(m_ReadLength) : port_obj_->readAll();
}

void KqSerialPort::Write(const QByteArray& data) {
    if (!IsOpen() || m_Failed) return;
    port_obj_->write(data);
    port_obj_->waitForBytesWritten(0);
    Pump(0);
}

int KqSerialPort::InBufferCount() {
    Pump(0);
    return IsOpen() ? static_cast<int>(port_obj_->bytesAvailable()) : 0;
}

} // namespace kq
