// kqradio: plays the radio side of the serial link on a pseudo-terminal.
// The first output line is the device path to connect to.
#include "ChannelFile.h"
#include "ClassKQxx53.h"
#include "KqErrors.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

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
};

void Usage()
{
    std::fprintf(stderr,
                 "usage: kqradio [--model N] [--image FILE.KQ] [--save FILE.KQ] [--no-pace]\n"
                 "               [--no-probe] [--silent-from N] [--bad-readback N] [--bad-id] [--short-answer]\n");
}

int Hex(const std::string& s, size_t from, size_t n)
{
    int v = 0;
    for (size_t i = from; i < from + n && i < s.size(); ++i) {
        const char c = s[i];
        v = v * 16 + (c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : 0);
    }
    return v;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                Usage();
                std::exit(2);
            }
            return argv[++i];
        };
        try {
            if (a == "--model") o.model = std::stoi(next());
            else if (a == "--image") o.image = next();
            else if (a == "--save") o.save = next();
            else if (a == "--no-pace") o.pace = false;
            else if (a == "--no-probe") o.noProbe = true;
            else if (a == "--silent-from") o.silentFrom = std::stoi(next());
            else if (a == "--bad-readback") o.badReadback = std::stoi(next());
            else if (a == "--bad-id") o.badId = true;
            else if (a == "--short-answer") o.shortAnswer = true;
            else { Usage(); return 2; }
        } catch (const std::logic_error&) {
            Usage();
            return 2;
        }
    }

    kq::ClassKQxx53 dev;
    dev.Model(static_cast<uint8_t>(o.model));
    try {
        if (!o.image.empty())
            kq::OpenChannelFile(dev, o.image);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kqradio: %s\n", e.what());
        return 1;
    }
    dev.Para_to_EEWord();
    if (o.badId)
        dev.EEWord(0, 0xC501);

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

    // One character at 9600 baud, 8 data bits, 2 stop bits, 1 start bit.
    auto send = [&](const std::string& s) {
        for (char c : s) {
            if (o.pace)
                std::this_thread::sleep_for(std::chrono::microseconds(1146));
            if (::write(m, &c, 1) < 0)
                return;
        }
    };

    std::string frame;
    while (!g_stop) {
        pollfd p{m, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0)
            continue;
        if (!(p.revents & POLLIN)) {
            // No one has the slave open yet (or it was closed): wait.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        char c;
        if (::read(m, &c, 1) != 1)
            continue;
        frame += c;
        if (c != '\r' && frame.size() < 16)
            continue;
        if (frame == "\r") {
            if (!o.noProbe)
                send("\r");
        } else if (frame.size() == 7) {
            const int addr = Hex(frame, 0, 2) % dev.TotalEEWords();
            const bool isRead = frame.compare(2, 4, "00MD") == 0;
            if (o.silentFrom >= 0 && addr >= o.silentFrom) {
                frame.clear();
                continue;
            }
            send(frame);
            if (isRead) {
                int w = dev.EEWord(static_cast<int16_t>(addr));
                if (addr == o.badReadback)
                    w ^= 0x0001;
                char buf[8];
                std::snprintf(buf, sizeof buf, "%04X\r", w & 0xFFFF);
                send(o.shortAnswer ? std::string(buf, 4) : std::string(buf));
            } else {
                dev.EEWord(static_cast<int16_t>(addr), Hex(frame, 2, 4));
            }
        }
        frame.clear();
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
