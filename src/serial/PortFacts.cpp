#include "PortFacts.h"

#include "ComPorts.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kq {

namespace {

std::string FirstLine(const fs::path& p) {
    std::ifstream in(p);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    return line;
}

// The file a path names after every link, or the path itself when it does
// not resolve (then it matches nothing but itself).
std::string Resolved(const std::string& path) {
    std::error_code ec;
    const fs::path p = fs::canonical(fs::u8path(path), ec);
    return ec ? path : p.u8string();
}

std::string GroupName(gid_t gid) {
    std::vector<char> buf(4096);
    group g{};
    group* found = nullptr;
    if (getgrgid_r(gid, &g, buf.data(), buf.size(), &found) == 0 && found) return found->gr_name;
    return std::to_string(gid);
}

bool MayReadWrite(const struct stat& st, const Identity& who) {
    if (who.uid == 0) return true;
    mode_t need = S_IROTH | S_IWOTH;
    if (st.st_uid == who.uid) {
        need = S_IRUSR | S_IWUSR;
    } else {
        for (unsigned g : who.gids)
            if (g == st.st_gid) need = S_IRGRP | S_IWGRP;
    }
    return (st.st_mode & need) == need;
}

bool IsNumber(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

PortHolder HolderOf(int pid, const SystemRoots& roots) {
    return {pid, FirstLine(fs::u8path(roots.proc) / std::to_string(pid) / "comm")};
}

bool Alive(int pid, const SystemRoots& roots) {
    std::error_code ec;
    return pid > 0 && fs::is_directory(fs::u8path(roots.proc) / std::to_string(pid), ec);
}

void SysfsFacts(PortFacts& f, const std::string& real, const SystemRoots& roots) {
    std::error_code ec;
    const fs::path sys = fs::canonical(fs::u8path(roots.sys), ec);
    if (ec) return;
    const fs::path link = sys / "class" / "tty" / fs::u8path(real).filename() / "device";
    const fs::path dev = fs::canonical(link, ec);
    if (ec) return;
    // The adapter's driver; newer kernels put the generic serial-base
    // "port" and "ctrl" devices between the tty and the hardware.
    for (fs::path p = dev; f.driver.empty() && p != sys && p.has_relative_path();
         p = p.parent_path()) {
        const fs::path driver = fs::read_symlink(p / "driver", ec);
        if (!ec && driver.u8string().find("/serial-base/") == std::string::npos)
            f.driver = driver.filename().u8string();
    }
    // The USB device is the first folder above the tty's with ids.
    for (fs::path p = dev; p != sys && p.has_relative_path() && p != p.parent_path();
         p = p.parent_path()) {
        if (fs::exists(p / "idVendor", ec) && fs::exists(p / "idProduct", ec)) {
            f.usbId = FirstLine(p / "idVendor") + ":" + FirstLine(p / "idProduct");
            break;
        }
    }
}

std::string ByIdName(const std::string& real, const SystemRoots& roots) {
    std::error_code ec;
    fs::directory_iterator it(fs::u8path(roots.dev) / "serial" / "by-id", ec), end;
    for (; !ec && it != end; it.increment(ec))
        if (Resolved(it->path().u8string()) == real) return it->path().u8string();
    return {};
}

} // namespace

Identity Identity::Current() {
    Identity i;
    i.uid = geteuid();
    i.gids.push_back(getegid());
    const int n = getgroups(0, nullptr);
    if (n > 0) {
        std::vector<gid_t> g(static_cast<size_t>(n));
        const int got = getgroups(n, g.data());
        for (int k = 0; k < got; ++k) i.gids.push_back(g[static_cast<size_t>(k)]);
    }
    return i;
}

std::string LockFileName(const std::string& device) {
    const std::string real = Resolved(device);
    std::string name = real.rfind("/dev/", 0) == 0 ? real.substr(5)
                                                    : fs::u8path(real).filename().u8string();
    for (char& c : name)
        if (c == '/') c = '_';
    return "LCK.." + name;
}

PortHolder LockHolder(const std::string& device, const SystemRoots& roots, bool removeStale) {
    const std::string name = LockFileName(device);
    for (const std::string& dir : roots.lockDirs) {
        const fs::path lock = fs::u8path(dir) / name;
        std::error_code ec;
        if (!fs::exists(lock, ec)) continue;
        // The pid as ASCII on the first line: the UUCP form ("%10d\n") and
        // the one Qt's serial port writes ("pid\nprogram\nhost\n") alike.
        const int pid = std::atoi(FirstLine(lock).c_str());
        if (Alive(pid, roots)) return HolderOf(pid, roots);
        // Left by a program that ended without removing it.
        if (removeStale) fs::remove(lock, ec);
    }
    return {};
}

PortHolder OpenBy(const std::string& device, const SystemRoots& roots, int exceptPid) {
    const std::string real = Resolved(device);
    std::error_code ec;
    fs::directory_iterator procs(fs::u8path(roots.proc), ec), end;
    for (; !ec && procs != end; procs.increment(ec)) {
        const std::string pid = procs->path().filename().u8string();
        if (!IsNumber(pid) || std::atoi(pid.c_str()) == exceptPid) continue;
        std::error_code fdEc; // another user's fds are closed to us
        fs::directory_iterator fds(procs->path() / "fd", fdEc);
        for (; !fdEc && fds != end; fds.increment(fdEc)) {
            std::error_code linkEc;
            const fs::path target = fs::read_symlink(fds->path(), linkEc);
            if (!linkEc && target.u8string() == real) return HolderOf(std::atoi(pid.c_str()), roots);
        }
    }
    return {};
}

std::string DeviceGroup(const std::string& device) {
    struct stat st {};
    return ::stat(device.c_str(), &st) == 0 ? GroupName(st.st_gid) : std::string();
}

std::string BusyText(const std::string& device, const PortHolder& holder) {
    const std::string by = holder.pid == 0 ? "another program"
                           : holder.name.empty()
                               ? "another program (pid " + std::to_string(holder.pid) + ")"
                               : holder.name + " (pid " + std::to_string(holder.pid) + ")";
    return "port busy: " + device + " is in use by " + by;
}

std::string PermissionText(const std::string& device, const std::string& group) {
    const std::string s = "permission denied on " + device;
    if (group == "dialout")
        return s + ": add your user to the 'dialout' group (sudo usermod -aG dialout $USER) and "
                   "log in again";
    if (group.empty()) return s;
    return s + ": it belongs to the group '" + group + "', which your user is not in";
}

std::string PortFacts::StateText() const {
    switch (state) {
    case PortState::Ok: return "ok";
    case PortState::Missing: return "missing";
    case PortState::NotSerial: return "not a serial port";
    case PortState::Busy: {
        const std::string t = BusyText(device, holder);
        return "busy: " + t.substr(t.find("in use by"));
    }
    case PortState::PermissionDenied: {
        const std::string t = PermissionText(device, group);
        const auto colon = t.find(": ");
        return "permission denied" + (colon == std::string::npos ? std::string() : t.substr(colon));
    }
    }
    return {};
}

PortFacts CheckPort(const std::string& device, const SystemRoots& roots, const Identity& who) {
    PortFacts f;
    f.device = device;
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0) return f; // missing
    const std::string real = Resolved(device);
    f.byId = ByIdName(real, roots);
    SysfsFacts(f, real, roots);
    f.group = GroupName(st.st_gid);
    if (!MayReadWrite(st, who)) {
        f.state = PortState::PermissionDenied;
        return f;
    }
    f.holder = LockHolder(device, roots, false);
    if (f.holder.pid != 0) {
        f.state = PortState::Busy;
        return f;
    }
    // What an open says: a port held in exclusive mode, a node with no
    // device behind it, a device that is no terminal (/dev/null, which many
    // programs hold, must not look busy).
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == EBUSY) {
            f.state = PortState::Busy;
            f.holder = OpenBy(device, roots);
        } else if (errno == EACCES || errno == EPERM) {
            f.state = PortState::PermissionDenied;
        }
        return f;
    }
    const bool terminal = ::isatty(fd);
    ::close(fd);
    if (S_ISCHR(st.st_mode) && !terminal) {
        f.state = PortState::NotSerial;
        return f;
    }
    f.holder = OpenBy(device, roots);
    f.state = f.holder.pid != 0 ? PortState::Busy : PortState::Ok;
    return f;
}

std::string PortCheckText(const std::vector<std::string>& searched,
                          const std::vector<std::string>& others, const SystemRoots& roots) {
    std::string out;
    const auto line = [&out](std::string label, const std::string& text) {
        label.resize(6, ' ');
        out += label + text + "\n";
    };
    std::vector<std::string> all(searched.begin(), searched.end());
    for (const std::string& d : others)
        if (std::find(all.begin(), all.end(), d) == all.end()) all.push_back(d);
    for (size_t i = 0; i < all.size(); ++i) {
        const std::string label = i < searched.size() ? ComPortName(static_cast<int>(i) + 1) : "-";
        if (all[i].empty()) {
            line(label, "(none)");
            continue;
        }
        const PortFacts f = CheckPort(all[i], roots);
        line(label, f.device + ": " + f.StateText());
        if (!f.byId.empty()) line("", "by-id    " + f.byId);
        if (!f.driver.empty() || !f.usbId.empty())
            line("", "adapter  " + (f.driver.empty() ? "unknown driver" : f.driver) +
                         (f.usbId.empty() ? "" : ", USB " + f.usbId));
    }
    return out;
}

} // namespace kq
