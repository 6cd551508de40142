// The ports a transfer searches for the radio, as the user knows them:
// COM1 to COM4, each standing for a device of the system.
#pragma once

#include <string>

namespace kq {

constexpr int kComPortCount = 4;

// "COM3" for port 3.
inline std::string ComPortName(int port) { return "COM" + std::to_string(port); }

} // namespace kq
