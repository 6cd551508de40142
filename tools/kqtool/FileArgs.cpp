#include "FileArgs.h"

#include "ChannelFile.h"
#include "MessageQuote.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kqtool {

std::string InputName(const std::string& path) {
    return IsStdStream(path) ? "standard input" : path;
}

std::string ReadInput(const std::string& path, std::uintmax_t maxBytes, const std::string& what) {
    const std::string name = kq::PathForMessage(InputName(path));
    std::ifstream file;
    std::istream* in = &std::cin;
    if (!IsStdStream(path)) {
        file.open(path, std::ios::binary);
        if (!file) {
            throw kq::FileError(name + ": the file cannot be opened (" + std::strerror(errno) +
                                ").");
        }
        in = &file;
    }
    std::string text;
    char buf[8192];
    while (in->read(buf, sizeof buf) || in->gcount() > 0) {
        text.append(buf, static_cast<std::size_t>(in->gcount()));
        if (text.size() > maxBytes) {
            throw kq::FileError(name + ": too large for " + what + "; nothing was read.");
        }
    }
    if (in->bad()) throw kq::FileError(name + ": cannot be read (" + std::strerror(errno) + ").");
    return text;
}

kq::ClassKQxx53 OpenChannel(const std::string& path) {
    kq::ClassKQxx53 dev;
    if (IsStdStream(path)) {
        kq::ReadChannelFileText(dev, ReadInput(path, kq::MaxChannelFileBytes, "a channel file"),
                                InputName(path));
    } else {
        kq::OpenChannelFile(dev, path);
    }
    return dev;
}

void SaveChannel(kq::ClassKQxx53& dev, const std::string& path) {
    if (IsStdStream(path)) {
        WriteOutput(nullptr, kq::ChannelFileText(dev));
    } else {
        kq::SaveChannelFile(dev, path);
    }
}

void WriteOutput(const std::string* path, const std::string& text) {
    if (path && !IsStdStream(*path)) {
        kq::WriteFileReplacing(*path, text);
        return;
    }
    std::cout << text;
    std::cout.flush();
    if (!std::cout) throw kq::FileError("standard output: the output could not be written.");
}

#ifndef _WIN32

FileLock::FileLock(const std::string& path) {
    const std::string name = kq::PathForMessage(path);
    for (;;) {
        // Opened for reading only: a lock needs no write access, and a
        // read-only file is refused later, when it is saved.
        m_Fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (m_Fd < 0) {
            throw kq::FileError(name + ": the file cannot be opened (" + std::strerror(errno) +
                                ").");
        }
        int rc = 0;
        while ((rc = ::flock(m_Fd, LOCK_EX)) != 0 && errno == EINTR) {}
        if (rc != 0) {
            const int err = errno;
            ::close(m_Fd);
            m_Fd = -1;
            throw kq::FileError(name + ": the file cannot be locked (" + std::strerror(err) + ").");
        }
        struct stat held {
        }, now{};
        if (::fstat(m_Fd, &held) == 0 && ::stat(path.c_str(), &now) == 0 &&
            held.st_dev == now.st_dev && held.st_ino == now.st_ino) {
            return;
        }
        // Replaced (or removed) by the holder while this process waited: the
        // lock belongs to the file now at path.
        ::close(m_Fd);
        m_Fd = -1;
    }
}

FileLock::~FileLock() {
    if (m_Fd >= 0) ::close(m_Fd);
}

#else

FileLock::FileLock(const std::string&) {}
FileLock::~FileLock() = default;

#endif

} // namespace kqtool
