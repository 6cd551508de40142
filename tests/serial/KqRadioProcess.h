// A kqradio emulator run as a child process for the length of a test.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace kqtest {

struct KqRadioProcess {
    QProcess proc;
    QString device; // the pseudo-terminal the emulator answers on

    // Without pace the emulator answers at once; with it, at 9600 baud.
    explicit KqRadioProcess(QStringList args, bool pace = false) {
        proc.start(KQRADIO, pace ? args : args << "--no-pace");
        proc.waitForReadyRead(5000);
        device = QString::fromLocal8Bit(proc.readLine()).trimmed();
    }
    // Ends the emulator, which then writes its --save file.
    void stop() {
        proc.terminate();
        proc.waitForFinished(5000);
    }
    ~KqRadioProcess() { stop(); }
};

} // namespace kqtest
