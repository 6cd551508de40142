// The system's serial ports, and the devices a transfer searches as COM1,
// COM2, ...
#pragma once

#include "LinkSettings.h"

#include <QStringList>

#include <string>
#include <vector>

namespace kq {

// The ports searched when none are chosen: KQ_SERIAL_PORTS (separated by ':'
// or ','), else the system's serial ports, USB adapters first.
QStringList SystemPorts();
// The devices a transfer with these settings searches as COM1, COM2, ...
QStringList SearchedPorts(const LinkSettings& link);
// Those that have a COM number: the first kComPortCount.
QStringList SearchedComPorts(const LinkSettings& link);

QStringList ToQStringList(const std::vector<std::string>& devices);
std::vector<std::string> ToStdStrings(const QStringList& devices);

} // namespace kq
