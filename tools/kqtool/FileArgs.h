// File names on kqtool's command line: "-" is standard input or output, as
// Unix tools have it; no file named "-" is ever made.
#pragma once

#include "ClassKQxx53.h"

#include <cstdint>
#include <string>

namespace kqtool {

inline bool IsStdStream(const std::string& path) { return path == "-"; }

// The name a message gives path: "standard input" for "-".
std::string InputName(const std::string& path);

// The bytes of path ("-": standard input), at most maxBytes; a larger input
// throws FileError saying it is too large for what.
std::string ReadInput(const std::string& path, std::uintmax_t maxBytes, const std::string& what);

// A channel file read from path ("-": standard input).
kq::ClassKQxx53 OpenChannel(const std::string& path);

// Saves dev's channel file to path ("-": standard output).
void SaveChannel(kq::ClassKQxx53& dev, const std::string& path);

// Writes text to path, or to standard output when path is null or "-".
void WriteOutput(const std::string* path, const std::string& text);

// An advisory lock (flock) on an existing file, held until destruction, for
// a read-modify-write that replaces the file: the lock is taken again if the
// file was replaced while this process waited for it.
class FileLock {
public:
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int m_Fd = -1;
};

} // namespace kqtool
