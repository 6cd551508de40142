#include "FileSave.h"

#include "MessageQuote.h"
#include "TextBytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kq {

namespace {

// Short enough to fit beside a target name of any valid length, hidden, and
// recognisably ours if a crash ever leaves one behind.
std::string tempName() {
    static std::random_device rd;
    std::ostringstream name;
    name << ".kq" << std::hex << rd() << ".tmp";
    return name.str();
}

[[noreturn]] void fail(const std::string& path, const std::string& what) {
    throw FileError(PathForMessage(path) + ": " + what);
}

constexpr char kUnchanged[] = "; nothing was saved, the old file is unchanged.";

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string folderOf(const std::string& p) {
    const std::size_t slash = p.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : p.substr(0, slash);
}

// Follows symbolic links from path to the file they finally name. exists
// tells whether that file is there; st is its status then. viaDescriptor is
// set when the way leads through an open descriptor (/dev/stdout,
// /dev/fd/N, /proc/...): the file behind it is what the caller has open.
std::string resolveLinks(const std::string& path, struct stat& st, bool& exists,
                         bool& viaDescriptor) {
    std::string p = path;
    for (int hops = 0; hops < 40; ++hops) {
        if (p.rfind("/proc/", 0) == 0 || p.rfind("/dev/fd/", 0) == 0) viaDescriptor = true;
        if (::lstat(p.c_str(), &st) != 0) {
            const int err = errno;
            if (err != ENOENT)
                fail(path, "cannot be examined (" + ErrnoText(err) + "); nothing was saved.");
            if (hops > 0) {
                fail(path, "the link points to " + QuoteForMessage(p, 200) +
                               ", which does not exist; nothing was saved.");
            }
            exists = false;
            return p;
        }
        if (!S_ISLNK(st.st_mode)) {
            exists = true;
            return p;
        }
        std::string target(4096, '\0');
        const ssize_t n = ::readlink(p.c_str(), &target[0], target.size());
        if (n < 0)
            fail(path, "the link cannot be read (" + ErrnoText(errno) + "); nothing was saved.");
        target.resize(static_cast<std::size_t>(n));
        p = (!target.empty() && target[0] == '/') ? target : folderOf(p) + "/" + target;
    }
    fail(path, "too many levels of symbolic links; nothing was saved.");
}

// A device, pipe or terminal is written in place: replacing it would put a
// plain file where the system expects the node.
void writeInPlace(const std::string& path, const std::string& bytes, int flags = 0) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | flags);
    if (fd < 0)
        fail(path, "cannot be opened for writing (" + ErrnoText(errno) + "); nothing was written.");
    const bool ok = writeAll(fd, bytes);
    const int err = errno;
    if (::close(fd) != 0 || !ok)
        fail(path, "could not be written (" + ErrnoText(ok ? errno : err) + ").");
}

void replaceFile(const std::string& path, const std::string& file, const struct stat* old,
                 const std::string& bytes) {
    const std::string folder = folderOf(file);
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = folder + "/" + tempName();
        // A new file gets the usual mode (0666 less the umask); a replacement
        // starts private and takes the old file's mode once it is complete.
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, old ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        fail(path, "cannot create a file in its folder (" + ErrnoText(errno) + ")" + kUnchanged);
    }
    auto abandon = [&](const std::string& step, int err) {
        ::close(fd);
        ::unlink(temp.c_str());
        fail(path, step + " (" + ErrnoText(err) + ")" + kUnchanged);
    };
    if (!writeAll(fd, bytes)) abandon("the file could not be written", errno);
    if (old) {
        // Owner first: a change of owner clears the set-id bits the mode restores.
        // Only a privileged process may give a file away; others keep theirs.
        if (::fchown(fd, old->st_uid, old->st_gid) != 0 &&
            ::fchown(fd, static_cast<uid_t>(-1), old->st_gid) != 0) {
            // Not even the group may be kept: the file stays the saver's, as a new one would.
        }
        if (::fchmod(fd, old->st_mode & 07777) != 0)
            abandon("the file's mode could not be kept", errno);
    }
    if (::fsync(fd) != 0) abandon("the file could not be flushed to disk", errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        fail(path, "the file could not be written (" + ErrnoText(err) + ")" + kUnchanged);
    }
    if (::rename(temp.c_str(), file.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        fail(path, "the file could not be replaced (" + ErrnoText(err) + ")" + kUnchanged);
    }
    // Make the rename itself durable. The new file is in place by now, so a
    // folder that cannot be flushed is not reported as a failed save.
    const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        (void)::fsync(dfd);
        ::close(dfd);
    }
}

// The descriptor a name of this process's own open files stands for
// (/dev/stdout, /dev/fd/1, /proc/self/fd/1), or -1.
int ownDescriptor(const std::string& path) {
    if (path == "/dev/stdout") return 1;
    if (path == "/dev/stderr") return 2;
    for (const char* prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        const std::string pre = prefix;
        const std::string n = path.substr(std::min(path.size(), pre.size()));
        if (path.rfind(pre, 0) == 0 && !n.empty() && n.size() < 6 &&
            n.find_first_not_of("0123456789") == std::string::npos) {
            return std::stoi(n);
        }
    }
    return -1;
}

} // namespace

void WriteFileReplacing(const std::string& path, const std::string& bytes) {
    if (path.empty()) throw FileError("No file name was given; nothing was saved.");
    // Written through the descriptor itself, so the output lands where the
    // shell's redirection or pipe puts it, after what was written before.
    const int own = ownDescriptor(path);
    if (own >= 0) {
        if (::fcntl(own, F_GETFD) == -1)
            fail(path, "no such descriptor is open; nothing was written.");
        if (!writeAll(own, bytes)) fail(path, "could not be written (" + ErrnoText(errno) + ").");
        return;
    }
    struct stat target {};
    const bool present = ::stat(path.c_str(), &target) == 0;
    if (!present && errno != ENOENT) {
        fail(path, "cannot be examined (" + ErrnoText(errno) + "); nothing was saved.");
    }
    if (present && S_ISDIR(target.st_mode))
        fail(path, "this is a folder, not a file; nothing was saved.");
    if (present && !S_ISREG(target.st_mode)) {
        writeInPlace(path, bytes);
        return;
    }
    struct stat st {};
    bool exists = false, viaDescriptor = false;
    const std::string file = resolveLinks(path, st, exists, viaDescriptor);
    if (!exists) {
        struct stat fst {};
        if (::stat(folderOf(file).c_str(), &fst) != 0 || !S_ISDIR(fst.st_mode)) {
            fail(path, "the folder does not exist; nothing was saved.");
        }
        replaceFile(path, file, nullptr, bytes);
        return;
    }
    // As editors do: a file marked read-only is not replaced behind its
    // owner's back, not even by a process that could.
    if ((target.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0) {
        fail(path, "the file is read-only; nothing was saved.");
    }
    // A file reached through another process's descriptor (/proc/PID/fd/N)
    // is shared with whoever opened it: the bytes are added after what is
    // there.
    if (viaDescriptor) {
        writeInPlace(path, bytes, O_APPEND);
        return;
    }
    if (st.st_dev != target.st_dev || st.st_ino != target.st_ino) {
        fail(path, "the file was changed by someone else while being saved; nothing was saved.");
    }
    replaceFile(path, file, &st, bytes);
}

} // namespace kq
