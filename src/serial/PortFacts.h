// What the system says about a serial port, for the port check and for a
// port refused as busy: its stable /dev/serial/by-id name, the adapter's
// driver and USB ids from sysfs, and whether this user can open it now:
// ok, permission denied (naming the device's group), busy (naming the
// process that holds it, from lock files and /proc), or missing.
// Plain POSIX; the roots are given, so a test lays out a system of its own.
#pragma once

#include <string>
#include <vector>

namespace kq {

struct SystemRoots {
    std::string dev = "/dev";
    std::string sys = "/sys";
    std::string proc = "/proc";
    // Where serial programs keep their UUCP lock files (LCK..ttyUSB0).
    std::vector<std::string> lockDirs = {"/run/lock", "/var/lock"};
};

// Who opens the port: a user and its groups (root may open anything).
struct Identity {
    unsigned uid = 0;
    std::vector<unsigned> gids;
    static Identity Current();
};

// A process holding a port; pid 0 when none could be named.
struct PortHolder {
    int pid = 0;
    std::string name; // its command name, "" when /proc does not show it
};

enum class PortState { Ok, PermissionDenied, Busy, Missing, NotSerial };

struct PortFacts {
    std::string device; // as given
    std::string byId;   // its /dev/serial/by-id link, "" when none
    std::string driver; // "ftdi_sio", "pl2303", "ch341", "cp210x", "cdc_acm"...; "" unknown
    std::string usbId;  // "0403:6001", "" when not a USB adapter
    PortState state = PortState::Missing;
    std::string group;  // the device's group, for a permission denied
    PortHolder holder;  // for busy

    // "ok", "permission denied ...", "busy: in use by ModemManager (pid 812)", "missing",
    // "not a serial port".
    std::string StateText() const;
};

// The facts of one device. who decides the permission; an open is tried
// only when nothing else tells (a device held exclusively, a node without
// a device behind it).
PortFacts CheckPort(const std::string& device, const SystemRoots& roots = {},
                    const Identity& who = Identity::Current());

// The UUCP lock file name of device: "LCK..ttyUSB0", "LCK..pts_3".
std::string LockFileName(const std::string& device);

// The live process whose lock file names device; lock files of processes
// that are gone are removed when removeStale is set (where this user may).
PortHolder LockHolder(const std::string& device, const SystemRoots& roots, bool removeStale);

// A process with device open, found among /proc/*/fd; pid 0 when none is
// visible (another user's processes often are not). exceptPid: a process
// not counted (the caller, once it has opened the device itself).
PortHolder OpenBy(const std::string& device, const SystemRoots& roots, int exceptPid = 0);

// "port busy: /dev/ttyUSB0 is in use by NAME (pid N)", or "... by another
// program" when the holder is not known.
std::string BusyText(const std::string& device, const PortHolder& holder);

// The group a device belongs to, by name ("" when it cannot be told).
std::string DeviceGroup(const std::string& device);

// "permission denied on DEV ...": the 'dialout' advice only when the
// device's group is dialout.
std::string PermissionText(const std::string& device, const std::string& group);

// The port check as text, one port after another: "COM1  DEVICE: STATE",
// then its by-id name and adapter where known. searched: the devices of
// COM1 to COM4 ("" for a port left empty); others: the system's other ports.
std::string PortCheckText(const std::vector<std::string>& searched,
                          const std::vector<std::string>& others, const SystemRoots& roots = {});

} // namespace kq
