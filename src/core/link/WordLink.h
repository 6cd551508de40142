// The communications unit as the transfer sequence sees it: the port the
// radio answered on and one EEPROM word per exchange. Form_QVCom implements
// it over a SerialLine; tests also use an in-memory radio.
#pragma once

#include "ComPorts.h"

#include <string>

namespace kq {

// "COM2 (/dev/ttyUSB0)": a port as the user chose it, and the device behind it.
inline std::string PortName(int port, const std::string& device) {
    return ComPortName(port) + " (" + device + ")";
}

class WordLink {
public:
    virtual ~WordLink() = default;

    // 1..kComPortCount: the port the search found the radio on; 0: no radio answered.
    virtual int ActComPort() const = 0;
    // The device behind the active port, for messages ("" when none).
    virtual std::string ActDevice() const = 0;
    // Prepares the active port; false when it cannot be opened any more.
    virtual bool InitActPort() = 0;
    virtual void WriteByte(int NewEEdata, short NewEEaddr) = 0;
    // The word 0..65535, or -1 when no answer came in time.
    virtual int ReadByte(short NewEEaddr) = 0;
    // The port failed or vanished since InitActPort: no answer will come.
    virtual bool PortFailed() const = 0;
    // What the user can do about a port that could not be used (permission,
    // vanished device); empty when there is nothing to add.
    virtual std::string PortProblem() const { return {}; }
    // No radio answered and a searched port was held by another program.
    virtual bool PortBusy() const { return false; }
    // Exchanges asked again after a late or odd answer, and what the last
    // exchange that failed got back (quoted for a message).
    virtual int AskedAgain() const { return 0; }
    virtual std::string LastReply() const { return {}; }

    // Fast mode: exchanges end as soon as their answer is in and checked.
    // True for a link opened in fast mode, also after it fell back.
    virtual bool FastMode() const { return false; }
    // Something the fast mode did not expect (a failed verify, a read-back
    // that differs): the rest of the transfer runs in the default pacing.
    virtual void FallBack(const std::string& why) { (void)why; }
    // Why the fast mode fell back; empty while it has not.
    virtual std::string Surprise() const { return {}; }
};

} // namespace kq
