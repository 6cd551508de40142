// A radio side on a pseudo-terminal master, run in a thread with blocking
// reads and writes: on each frame (up to and including its CR) the answer
// function gets the frame and a way to send; returning false hangs up.
#pragma once

#include <QString>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace kqtest {

class PtyPeer {
public:
    using Send = std::function<void(const std::string&)>;
    using Answer = std::function<bool(const std::string& frame, const Send& send)>;

    explicit PtyPeer(Answer answer) : m_Answer(std::move(answer)), m_Master(posix_openpt(O_RDWR | O_NOCTTY)) {
        grantpt(m_Master);
        unlockpt(m_Master);
        m_Slave = QString::fromLocal8Bit(ptsname(m_Master));
        m_Thread = std::thread([this] { Run(); });
    }
    ~PtyPeer() {
        m_Stop = true;
        m_Thread.join();
        if (m_Master >= 0) close(m_Master);
    }
    QString Slave() const { return m_Slave; }

private:
    void Run() {
        // Answer on time on a loaded machine, as a radio's UART would
        // (real-time where allowed; it sleeps in poll between characters).
        sched_param rt{};
        rt.sched_priority = 1;
        pthread_setschedparam(pthread_self(), SCHED_FIFO, &rt);
        const Send send = [this](const std::string& s) {
            m_Stop = m_Stop || ::write(m_Master, s.data(), s.size()) < 0;
        };
        std::string frame;
        for (char c; !m_Stop;) {
            pollfd p{m_Master, POLLIN, 0};
            const int n = poll(&p, 1, 5);
            if (n > 0 && !(p.revents & POLLIN)) // nobody has the slave open: no spinning
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (n <= 0 || !(p.revents & POLLIN) || ::read(m_Master, &c, 1) != 1) continue;
            if ((frame += c).back() != '\r') continue;
            if (!m_Answer(frame, send)) { // hang up
                close(m_Master);
                m_Master = -1;
                return;
            }
            frame.clear();
        }
    }
    Answer m_Answer;
    int m_Master;
    QString m_Slave;
    std::thread m_Thread;
    std::atomic<bool> m_Stop{false};
};

// Answers the probe, echoes every frame and answers a read with the word.
inline PtyPeer::Answer Radio(std::function<std::string(int addr)> word) {
    return [word](const std::string& f, const PtyPeer::Send& send) {
        send(f);
        if (f.size() == 7 && f.compare(2, 4, "00MD") == 0) send(word(std::stoi(f.substr(0, 2), nullptr, 16)));
        return true;
    };
}

} // namespace kqtest
