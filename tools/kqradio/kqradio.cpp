// kqradio: plays the radio side of the serial link on a pseudo-terminal,
// in real time, with the same RadioModel the link's tests run in virtual
// time. The first output line is the device path to connect to.
#include "ExitStatus.h"
#include "RadioModel.h"
#include "RadioOptions.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

kq::LinkTime Since(std::chrono::steady_clock::time_point epoch) {
    return std::chrono::duration_cast<kq::LinkTime>(std::chrono::steady_clock::now() - epoch);
}

} // namespace

int main(int argc, char** argv) {
    kqradio::RadioSetup o;
    if (const int rc = kqradio::ParseRadioOptions(argc, argv, o)) return rc < 0 ? kq::ExitOk : rc;
    std::vector<int> words;
    try {
        words = o.Words();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kqradio: %s\n", e.what());
        return kq::ExitFailure;
    }
    kq::RadioModel radio(o.Behaviour(), words);

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
        return kq::ExitFailure;
    }
    std::printf("%s\n", ptsname(m));
    std::fflush(stdout);
    signal(SIGINT, OnSignal);
    signal(SIGTERM, OnSignal);
    signal(SIGHUP, OnSignal);

    const auto epoch = std::chrono::steady_clock::now();
    while (!g_stop) {
        // Sleep until the next character is due out, or input comes.
        const kq::LinkTime next = radio.NextDue();
        kq::LinkTime wait(50000);
        if (next != kq::LinkTime::max())
            wait = std::min(wait, std::max(kq::LinkTime(0), next - Since(epoch)));
        timespec ts{0, static_cast<long>(wait.count()) * 1000};
        pollfd p{m, POLLIN, 0};
        if (ppoll(&p, 1, &ts, nullptr) > 0) {
            if (p.revents & POLLIN) {
                char buf[256];
                const ssize_t n = ::read(m, buf, sizeof buf);
                if (!o.present.empty()) radio.Plugged(access(o.present.c_str(), F_OK) == 0);
                for (ssize_t i = 0; i < n; ++i) radio.Receive(buf[i], Since(epoch));
            } else {
                // No one has the terminal open yet (or it was closed): wait.
                usleep(1000);
            }
        }
        const std::string out = radio.TakeDue(Since(epoch));
        if (!out.empty() && ::write(m, out.data(), out.size()) < 0) {
            // nobody listens: what was sent is lost, as on a real line
        }
    }

    int rc = kq::ExitOk;
    if (!o.save.empty()) {
        try {
            o.Save(radio.Words());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "kqradio: %s\n", e.what());
            rc = kq::ExitFailure;
        }
    }
    close(m);
    return rc;
}
