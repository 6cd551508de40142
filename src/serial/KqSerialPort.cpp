#include "KqSerialPort.h"

#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>

namespace kq {

namespace {
QStringList& ExplicitMap()
{
    static QStringList map;
    return map;
}

int Rank(const QString& name)
{
    if (name.startsWith("ttyUSB") || name.startsWith("ttyACM"))
        return 0;
    if (name.startsWith("ttyS"))
        return 2;
    return 1;
}
} // namespace

QStringList KqSerialPort::PortMap()
{
    // A choice made in this run (--port, the port dialog) beats the
    // environment, which beats what the system lists.
    if (!ExplicitMap().isEmpty())
        return ExplicitMap();
    const QString env = qEnvironmentVariable("KQ_SERIAL_PORTS");
    if (!env.isEmpty())
        return env.split(QRegularExpression("[:,]"), Qt::SkipEmptyParts);
    auto ports = QSerialPortInfo::availablePorts();
    std::stable_sort(ports.begin(), ports.end(), [](const QSerialPortInfo& a, const QSerialPortInfo& b) {
        return Rank(a.portName()) < Rank(b.portName());
    });
    QStringList out;
    for (const auto& p : ports)
        out << p.systemLocation();
    return out;
}

void KqSerialPort::SetPortMap(const QStringList& devices) { ExplicitMap() = devices; }

KqSerialPort::KqSerialPort() = default;
KqSerialPort::~KqSerialPort() { Close(); }

QString KqSerialPort::DevicePath() const
{
    const QStringList map = PortMap();
    if (port_ < 1 || port_ > 4 || port_ > map.size())
        return {};
    return map[port_ - 1];
}

KqSerialPort::Error KqSerialPort::Open()
{
    if (IsOpen())
        return PortAlreadyOpen;
    const QString dev = DevicePath();
    if (dev.isEmpty())
        return NoSuchPort;
    auto p = std::make_unique<QSerialPort>();
    p->setPortName(dev);
    if (!p->open(QIODevice::ReadWrite))
        return p->error() == QSerialPort::PermissionError ? PortAlreadyOpen : NoSuchPort;
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
    failed_ = false;
    return NoError;
}

void KqSerialPort::Close()
{
    if (port_obj_)
        port_obj_->close();
    port_obj_.reset();
}

bool KqSerialPort::IsOpen() const { return port_obj_ && port_obj_->isOpen(); }

void KqSerialPort::Pump()
{
    if (!IsOpen())
        return;
    port_obj_->waitForReadyRead(0);
    const auto e = port_obj_->error();
    if (e == QSerialPort::ResourceError || e == QSerialPort::ReadError || e == QSerialPort::WriteError)
        failed_ = true;
}

QByteArray KqSerialPort::Read()
{
    Pump();
    if (!IsOpen())
        return {};
    return readLength_ > 0 ? port_obj_->read(readLength_) : port_obj_->readAll();
}

void KqSerialPort::Write(const QByteArray& data)
{
    if (!IsOpen())
        return;
    port_obj_->write(data);
    port_obj_->waitForBytesWritten(0);
    Pump();
}

int KqSerialPort::InBufferCount()
{
    Pump();
    return IsOpen() ? static_cast<int>(port_obj_->bytesAvailable()) : 0;
}

} // namespace kq
