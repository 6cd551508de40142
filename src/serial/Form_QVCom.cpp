#include "Form_QVCom.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <thread>

namespace kq {

Form_QVCom::Form_QVCom(Options opt) : opt_(opt)
{
    timer_.setInterval(20);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (DelayCount > 0)
            --DelayCount;
    });
    Search();
}

Form_QVCom::~Form_QVCom()
{
    port_.Close();
    timer_.stop();
}

QString Form_QVCom::ActDevice() const
{
    KqSerialPort p;
    p.SetPort(actPort_);
    return actPort_ ? p.DevicePath() : QString();
}

void Form_QVCom::Search()
{
    actPort_ = 0;
    timer_.start();
    for (int n = 4; n >= 1; --n) {
        port_.SetPort(n);
        if (port_.Open() != KqSerialPort::NoError)
            continue;
        port_.SetReadLength(0);
        port_.Read();
        port_.Write("\r");
        Delay(2, 1);
        port_.Read();
        port_.SetReadLength(0);
        port_.Read();
        port_.Write("\r");
        // Wait the full ticks: a second character must not slip in unseen.
        Delay(2);
        if (port_.Read() == QByteArray("\r"))
            actPort_ = n;
        port_.Close();
    }
}

bool Form_QVCom::InitActPort()
{
    port_.Close();
    port_.SetPort(actPort_);
    if (actPort_ == 0 || port_.Open() != KqSerialPort::NoError)
        return false;
    port_.SetReadLength(0);
    port_.Read();
    port_.Write("\r");
    Delay(4, 1);
    port_.Read();
    return true;
}

void Form_QVCom::WriteByte(int NewEEdata, short NewEEaddr)
{
    port_.Write(QByteArray::fromStdString(WriteFrame(NewEEdata, NewEEaddr)));
    Delay(2, 7);
    port_.SetReadLength(7);
    port_.Read();
}

int Form_QVCom::ReadByte(short NewEEaddr)
{
    port_.Write(QByteArray::fromStdString(ReadFrame(NewEEaddr)));
    Delay(2, 7);
    port_.SetReadLength(7);
    port_.Read();
    DelayCount = 2;
    for (;;) {
        Pump(5);
        if (DelayCount == 0)
            return -1;
        if (port_.InBufferCount() >= 5)
            break;
        if (PortFailed())
            return -1;
    }
    port_.SetReadLength(7);
    return ParseWordReply(port_.Read().toStdString());
}

void Form_QVCom::Pump(int expected)
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (!opt_.earlyFinish || expected == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return;
    }
    if (port_.InBufferCount() < expected)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
}

void Form_QVCom::Delay(short ticks, int expected)
{
    DelayCount = ticks;
    while (DelayCount > 0) {
        Pump(expected);
        if (opt_.earlyFinish && expected > 0 && port_.InBufferCount() >= expected)
            break;
        if (port_.IsOpen() && port_.Failed())
            break;
    }
}

} // namespace kq
