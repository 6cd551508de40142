#include "SerialPorts.h"

#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>

namespace kq {

namespace {
int Rank(const QString& name) {
    if (name.startsWith("ttyUSB") || name.startsWith("ttyACM")) return 0;
    if (name.startsWith("ttyS")) return 2;
    return 1;
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

QStringList SearchedComPorts(const LinkSettings& link) {
    return SearchedPorts(link).mid(0, kComPortCount);
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

} // namespace kq
