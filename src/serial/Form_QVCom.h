// The radio link: finds the port a radio answers on and moves one EEPROM
// word per exchange. No window; it only needs a running Qt event loop
// (QCoreApplication in kqtool, QApplication in the desktop program).
#pragma once

#include "KqFrames.h"
#include "KqSerialPort.h"

#include <QObject>
#include <QTimer>

namespace kq {

class Form_QVCom : public QObject {
public:
    struct Options {
        // Finish a wait as soon as the expected characters are in; the tick
        // counts stay the upper bound so a slow radio still works.
        bool earlyFinish = true;
    };

    // Loading runs the port search.
    explicit Form_QVCom(Options opt);
    Form_QVCom() : Form_QVCom(Options{}) {}
    ~Form_QVCom() override; // closes the port, stops the timer

    int ActComPort() const { return actPort_; }
    QString ActDevice() const;
    // Returns false when the active port cannot be opened any more.
    bool InitActPort();
    void WriteByte(int NewEEdata, short NewEEaddr);
    int ReadByte(short NewEEaddr); // -1: no answer in time
    // The port failed or vanished since InitActPort.
    bool PortFailed() const { return port_.Failed() || !port_.IsOpen(); }

private:
    void Search();
    void Delay(short ticks, int expected = 0);
    void Pump(int expected);

    Options opt_;
    KqSerialPort port_;
    QTimer timer_;
    int actPort_ = 0;
    short DelayCount = 0;
};

} // namespace kq
