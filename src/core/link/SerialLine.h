// A serial line as the link needs it: open a device at 9600 8N2 with DTR
// and RTS off, write, read what waits, and wait for input. Reads and writes
// never block; only WaitInput does. Times are those of the TimeSource the
// line was made with.
#pragma once

#include "LinkTime.h"

#include <algorithm>
#include <string>

namespace kq {

class SerialLine {
public:
    enum class OpenResult { Ok, NoSuchPort, AlreadyOpen, Busy };

    virtual ~SerialLine() = default;

    // NoSuchPort: the device does not exist or is not a serial port;
    // AlreadyOpen: it may not be opened (permission); Busy: another program
    // holds it. Problem() says which, naming the device (and for Busy the
    // program that holds it, where the system shows it).
    virtual OpenResult Open(const std::string& device) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Queues the characters for sending and returns.
    virtual void Write(const std::string& data) = 0;
    // Takes the waiting characters, at most max of them (0: all).
    virtual std::string Read(int max = 0) = 0;
    virtual int InBufferCount() = 0;
    // Blocks until characters arrive that were not waiting at the call,
    // the line fails, or the time until has come.
    virtual void WaitInput(LinkTime until) = 0;
    // The device failed or went away since it was opened.
    virtual bool Failed() const = 0;
    // What went wrong with the device, for the user ("" when nothing did).
    virtual std::string Problem() const = 0;
};

// What Read returns from a line's own buffer: at most max characters (0:
// all) taken from its front.
inline std::string TakeFront(std::string& buffer, int max) {
    const std::size_t n = max > 0 ? std::min(buffer.size(), static_cast<std::size_t>(max)) : buffer.size();
    std::string s = buffer.substr(0, n);
    buffer.erase(0, n);
    return s;
}

} // namespace kq
