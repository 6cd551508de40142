// The serial port the link talks through: COM1..COM4 mapped onto devices,
// line settings fixed at 9600 8N2, non-blocking reads and writes.
#pragma once

#include <QByteArray>
#include <QSerialPort>
#include <QString>
#include <QStringList>

#include <memory>

namespace kq {

class KqSerialPort {
public:
    enum Error { NoError = 0, NoSuchPort = 8002, PortAlreadyOpen = 8005 };

    // Device paths for COM1..COM4: as set by SetPortMap, else KQ_SERIAL_PORTS
    // (separated by ':' or ','), else the system's serial ports, USB adapters
    // first. SetPortMap({}) goes back to the default.
    static QStringList PortMap();
    static void SetPortMap(const QStringList& devices);

    KqSerialPort();
    ~KqSerialPort();

    void SetPort(int n) { port_ = n; }
    int Port() const { return port_; }
    QString DevicePath() const;

    // Opens 9600,n,8,2 with DTR and RTS off; returns NoError, NoSuchPort or
    // PortAlreadyOpen.
    Error Open();
    void Close();
    bool IsOpen() const;

    void SetReadLength(int n) { readLength_ = n; }
    // Takes what waits (at most the read length if it is not 0); never blocks.
    QByteArray Read();
    void Write(const QByteArray& data);
    int InBufferCount();
    // The device failed or went away since it was opened.
    bool Failed() const { return failed_; }

private:
    void Pump();

    std::unique_ptr<QSerialPort> port_obj_;
    int port_ = 1;
    int readLength_ = 0;
    bool failed_ = false;
};

} // namespace kq
