// The serial port the link talks through: COM1..COM4 mapped onto devices,
// line settings fixed at 9600 8N2, non-blocking reads and writes, and a
// blocking wait for characters for the link's worker thread.
#pragma once

#include "LinkSettings.h"

#include <QByteArray>
#include <QSerialPort>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

namespace kq {

// The ports searched when none are chosen: KQ_SERIAL_PORTS (separated by ':'
// or ','), else the system's serial ports, USB adapters first.
QStringList SystemPorts();
// The devices a transfer with these settings searches as COM1, COM2, ...
QStringList SearchedPorts(const LinkSettings& link);

QStringList ToQStringList(const std::vector<std::string>& devices);
std::vector<std::string> ToStdStrings(const QStringList& devices);

class KqSerialPort {
public:
    enum Error { NoError = 0, NoSuchPort = 8002, PortAlreadyOpen = 8005 };

    // The text for a device the user may not open, naming the fix.
    static QString PermissionHint(const QString& device);

    KqSerialPort();
    ~KqSerialPort();

    // The devices of COM1..COM4.
    void SetMap(const QStringList& devices) { m_Map = devices; }
    void SetPort(int n) { m_Port = n; }
    int Port() const { return m_Port; }
    QString DevicePath() const;

    // Opens 9600,n,8,2 with DTR and RTS off; returns NoError, NoSuchPort or
    // PortAlreadyOpen (also for a device the user may not open; Problem()
    // then says why).
    Error Open();
    void Close();
    bool IsOpen() const;

    void SetReadLength(int n) { m_ReadLength = n; }
    // Takes what waits (at most the read length if it is not 0); never blocks.
    QByteArray Read();
    void Write(const QByteArray& data);
    int InBufferCount();
    // Blocks until characters arrive, the port fails or ms have passed.
    void Wait(int ms);
    // The device failed or went away since it was opened.
    bool Failed() const { return m_Failed; }
    // What went wrong with the device, for the user ("" when nothing did).
    QString Problem() const { return m_Problem; }

private:
    void Pump(int ms);

    std::unique_ptr<QSerialPort> port_obj_;
    QStringList m_Map;
    int m_Port = 1;
    int m_ReadLength = 0;
    bool m_Failed = false;
    QString m_Problem;
};

} // namespace kq
