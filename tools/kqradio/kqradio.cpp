// kqradio: plays the radio side of the serial link on a pseudo-terminal.
// The first output line is the device path to connect to.
#include "ChannelFile.h"
#include "ClassKQxx53.h"
#include "KqErrors.h"
#include "KqFrames.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

struct Options {
    int model = 1;
    std::string image, save;
    bool pace = true;
    bool noProbe = false;
    int silentFrom = -1;
    int badReadback = -1;
    bool badId = false;
    bool shortAnswer = false;
    int eepromMs = 10;
    bool crlf = false;
    std::string probeExtra;
    int answerDelayMs = 0;
    int latencyMs = 0;
    bool echoPerChar = false;
    bool paceInput = false;
    std::string present;
};

const char kUsage[] =
    "Usage: kqradio [OPTIONS]\n"
    "Plays a KQ radio on a new pseudo-terminal; prints its path, then answers\n"
    "the probe and the word frames until it is terminated.\n\n"
    "The radio:\n"
    "  --model N           model code in word 1 (default 1)\n"
    "  --image FILE.KQ     start with this channel file's image\n"
    "  --save FILE.KQ      on exit, save the image the radio holds\n"
    "Timing (a real radio and cable):\n"
    "  --no-pace           send at once instead of one character per 1.146 ms\n"
    "                      (9600 baud, 8N2)\n"
    "  --pace-input        also take the computer's characters one per 1.146 ms,\n"
    "                      as a real line brings them (a whole-frame echo then\n"
    "                      ends 16 ms after the frame was sent)\n"
    "  --eeprom-ms N       from the CR of a write frame the radio programs the word\n"
    "                      for N ms and loses every character arriving meanwhile\n"
    "                      (default 10; 0 for none)\n"
    "  --answer-delay N    the answer to a read frame starts N ms after its echo\n"
    "  --latency N         what the radio sends reaches the computer in bursts\n"
    "                      every N ms, as through a USB serial adapter\n"
    "  --echo-per-char     echo each character as it arrives (a probe's echo is\n"
    "                      its answer) instead of the whole frame after its CR\n"
    "Odd answers that the original timing copes with:\n"
    "  --crlf              read answers end with CR LF instead of CR\n"
    "  --probe-extra TEXT  send TEXT 5 ms after answering a probe that follows\n"
    "                      400 ms without a character from the computer (the\n"
    "                      first of a port search's pair; \\r, \\n understood)\n"
    "Faults:\n"
    "  --no-probe          do not answer the probe (no radio on this port)\n"
    "  --present FILE      be plugged in only while FILE exists: without it every\n"
    "                      character is lost, as with the radio unplugged\n"
    "  --silent-from N     no answer to frames for words N and above\n"
    "  --bad-readback N    word N reads back with its lowest bit flipped\n"
    "  --bad-id            word 0 holds 0xC501 instead of 0xC500\n"
    "  --short-answer      read answers carry four digits and no CR\n";

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'r' || s[i + 1] == 'n')) {
            out += s[++i] == 'r' ? '\r' : '\n';
        } else {
            out += s[i];
        }
    }
    return out;
}

// The radio's transmitter: characters leave one by one at the line's pace
// and, behind a USB adapter, reach the computer in bursts.
class Sender {
public:
    Sender(int fd, const Options& o)
        : m_Fd(fd), m_Opt(o), m_Epoch(Clock::now()), m_LineFree(m_Epoch) {
        m_Thread = std::thread([this] { Run(); });
    }
    ~Sender() {
        {
            std::lock_guard<std::mutex> l(m_Mutex);
            m_Stop = true;
        }
        m_Cv.notify_all();
        m_Thread.join();
    }
    // Queues s to start no earlier than start; returns when its last
    // character is on the line.
    Clock::time_point Send(const std::string& s, Clock::time_point start = Clock::now()) {
        std::lock_guard<std::mutex> l(m_Mutex);
        Clock::time_point t = std::max(start, m_LineFree);
        if (!m_Opt.pace && m_Opt.latencyMs == 0 && m_Queue.empty() && t <= Clock::now()) {
            // Unpaced and due: straight out, without waking the sender.
            if (!s.empty() && ::write(m_Fd, s.data(), s.size()) < 0) {
                // nobody listens: lost, as on a real line
            }
            m_LineFree = t;
            return t;
        }
        for (char c : s) {
            if (m_Opt.pace) t += microseconds(1146);
            Clock::time_point release = t;
            if (m_Opt.latencyMs > 0) {
                const auto period = milliseconds(m_Opt.latencyMs);
                release = m_Epoch + period * ((t - m_Epoch + period - Clock::duration(1)) / period);
            }
            m_Queue.push_back({c, release});
        }
        m_LineFree = t;
        m_Cv.notify_all();
        return t;
    }

private:
    void Run() {
        std::unique_lock<std::mutex> l(m_Mutex);
        while (!m_Stop) {
            if (m_Queue.empty()) {
                m_Cv.wait(l);
                continue;
            }
            const auto due = m_Queue.front().second;
            if (Clock::now() < due) {
                m_Cv.wait_until(l, due);
                continue;
            }
            std::string burst;
            while (!m_Queue.empty() && m_Queue.front().second <= Clock::now()) {
                burst += m_Queue.front().first;
                m_Queue.pop_front();
            }
            l.unlock();
            if (::write(m_Fd, burst.data(), burst.size()) < 0) {
                // nobody listens: what was sent is lost, as on a real line
            }
            l.lock();
        }
    }

    int m_Fd;
    const Options& m_Opt;
    Clock::time_point m_Epoch, m_LineFree;
    std::mutex m_Mutex;
    std::condition_variable m_Cv;
    std::deque<std::pair<char, Clock::time_point>> m_Queue;
    bool m_Stop = false;
    std::thread m_Thread;
};

int Hex(const std::string& s, size_t from, size_t n) {
    int v = 0;
    for (size_t i = from; i < from + n && i < s.size(); ++i)
        v = v * 16 + kq::HexDigitValue(s.substr(i, 1));
    return v;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fputs(kUsage, stderr);
                std::exit(2);
            }
            return argv[++i];
        };
        try {
            if (a == "--help" || a == "-h") {
                std::fputs(kUsage, stdout);
                return 0;
            }
            if (a == "--model")
                o.model = std::stoi(next());
            else if (a == "--image")
                o.image = next();
            else if (a == "--save")
                o.save = next();
            else if (a == "--no-pace")
                o.pace = false;
            else if (a == "--no-probe")
                o.noProbe = true;
            else if (a == "--silent-from")
                o.silentFrom = std::stoi(next());
            else if (a == "--bad-readback")
                o.badReadback = std::stoi(next());
            else if (a == "--bad-id")
                o.badId = true;
            else if (a == "--short-answer")
                o.shortAnswer = true;
            else if (a == "--eeprom-ms")
                o.eepromMs = std::stoi(next());
            else if (a == "--crlf")
                o.crlf = true;
            else if (a == "--probe-extra")
                o.probeExtra = Unescape(next());
            else if (a == "--answer-delay")
                o.answerDelayMs = std::stoi(next());
            else if (a == "--latency")
                o.latencyMs = std::stoi(next());
            else if (a == "--echo-per-char")
                o.echoPerChar = true;
            else if (a == "--pace-input")
                o.paceInput = true;
            else if (a == "--present")
                o.present = next();
            else {
                std::fputs(kUsage, stderr);
                return 2;
            }
        } catch (const std::logic_error&) {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }

    kq::ClassKQxx53 dev;
    dev.Model(static_cast<uint8_t>(o.model));
    // The model's IF and reference, so --model alone encodes its own radio.
    dev.ApplyModelTable();
    try {
        if (!o.image.empty()) kq::OpenChannelFile(dev, o.image);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kqradio: %s\n", e.what());
        return 1;
    }
    dev.Para_to_EEWord();
    if (o.badId) dev.EEWord(0, kq::InitialisedEepromID + 1);

    // Like a radio's UART, answer on time even on a loaded machine: real-time
    // scheduling (it only ever sleeps between characters), else a higher
    // priority, where the system allows it; an ordinary user keeps the default.
    sched_param rt{};
    rt.sched_priority = 1;
    if (sched_setscheduler(0, SCHED_FIFO, &rt) != 0 && setpriority(PRIO_PROCESS, 0, -10) != 0) {
        // default priority
    }

    const int m = posix_openpt(O_RDWR | O_NOCTTY);
    if (m < 0 || grantpt(m) != 0 || unlockpt(m) != 0) {
        std::perror("kqradio: posix_openpt");
        return 1;
    }
    std::printf("%s\n", ptsname(m));
    std::fflush(stdout);
    signal(SIGINT, OnSignal);
    signal(SIGTERM, OnSignal);
    signal(SIGHUP, OnSignal);

    {
        Sender out(m, o);
        std::string frame;
        Clock::time_point busyUntil{}, lastIn{};
        while (!g_stop) {
            pollfd p{m, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            if (!(p.revents & POLLIN)) {
                // No one has the slave open yet (or it was closed): wait.
                std::this_thread::sleep_for(milliseconds(1));
                continue;
            }
            char c;
            if (::read(m, &c, 1) != 1) continue;
            // The line brings the computer's characters one by one.
            auto now = Clock::now();
            if (o.paceInput && now < lastIn + microseconds(1146)) {
                now = lastIn + microseconds(1146);
                std::this_thread::sleep_until(now);
            }
            const bool afterSilence = now - lastIn > milliseconds(400);
            lastIn = now;
            if (now < busyUntil) continue; // programming the EEPROM: the character is lost
            if (!o.present.empty() && access(o.present.c_str(), F_OK) != 0) {
                frame.clear(); // unplugged: nothing reaches the radio
                continue;
            }
            const bool probe = c == '\r' && frame.empty();
            if (o.echoPerChar && !(probe && o.noProbe)) out.Send(std::string(1, c));
            frame += c;
            if (c != '\r' && frame.size() < 16) continue;
            if (probe) {
                if (!o.noProbe && !o.echoPerChar) out.Send("\r");
                if (!o.noProbe && !o.probeExtra.empty() && afterSilence)
                    out.Send(o.probeExtra, out.Send("") + milliseconds(5));
            } else if (frame.size() == 7) {
                const int addr = Hex(frame, 0, 2) % dev.TotalEEWords();
                const bool isRead = frame.compare(2, 4, "00MD") == 0;
                if (o.silentFrom >= 0 && addr >= o.silentFrom) {
                    frame.clear();
                    continue;
                }
                const auto echoed = o.echoPerChar ? out.Send("") : out.Send(frame);
                if (isRead) {
                    int w = dev.EEWord(static_cast<int16_t>(addr));
                    if (addr == o.badReadback) w ^= 0x0001;
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "%04X", w & 0xFFFF);
                    std::string answer = buf;
                    if (!o.shortAnswer) answer += o.crlf ? "\r\n" : "\r";
                    out.Send(answer, echoed + milliseconds(o.answerDelayMs));
                } else {
                    dev.EEWord(static_cast<int16_t>(addr), Hex(frame, 2, 4));
                    busyUntil = now + milliseconds(o.eepromMs);
                }
            }
            frame.clear();
        }
    }

    int rc = 0;
    if (!o.save.empty()) {
        try {
            dev.EEWord_to_Para();
            kq::SaveChannelFile(dev, o.save);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "kqradio: %s\n", e.what());
            rc = 1;
        }
    }
    close(m);
    return rc;
}
