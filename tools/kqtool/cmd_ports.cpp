// kqtool ports / backups: what a technician looks at when a radio will not
// program: the serial ports as the transfers search them, and the tables
// kept before each write.
#include "Args.h"
#include "Commands.h"

#include "MessageQuote.h"
#include "PortFacts.h"
#include "RadioBackups.h"
#include "SerialPorts.h"

#include <algorithm>
#include <iostream>

namespace kqtool {

namespace {

std::string padded(const std::string& s, std::size_t width) {
    return s + std::string(width > s.size() ? width - s.size() : 0, ' ');
}

int cmdPorts(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {"--port"}, 0);
    kq::LinkSettings link;
    if (const std::string* p = a.option("--port"))
        link.ports = kq::ToStdStrings(QString::fromStdString(*p).split(QLatin1Char(',')));
    // COM1 to COM4 as a transfer numbers them, then the rest of the system's.
    const QStringList searched = kq::SearchedComPorts(link);
    QStringList all = searched;
    for (const QString& d : kq::SystemPorts())
        if (!all.contains(d)) all << d;
    if (all.isEmpty()) {
        std::cerr << "kqtool: no serial ports found\n";
        return ExitOk;
    }
    std::cout << kq::PortCheckText(kq::ToStdStrings(searched),
                                   kq::ToStdStrings(all.mid(searched.size())));
    return ExitOk;
}

int cmdBackups(const std::vector<std::string>& args) {
    parseArgs(args, {}, 0);
    const kq::RadioBackups backups(kq::BackupFolder());
    const std::vector<kq::BackupEntry> list = backups.List();
    if (list.empty()) {
        std::cerr << "kqtool: no backups in " << kq::PathForMessage(backups.Folder()) << "\n";
        return ExitOk;
    }
    std::size_t model = 5, port = 4;
    for (const auto& e : list) {
        model = std::max(model, e.model.size());
        port = std::max(port, e.port.size());
    }
    std::cout << padded("TIME", 21) << padded("MODEL", model + 2) << padded("PORT", port + 2)
              << "FILE\n";
    for (const auto& e : list)
        std::cout << padded(e.time, 21) << padded(e.model, model + 2) << padded(e.port, port + 2)
                  << kq::PathForMessage(e.file) << "\n";
    return ExitOk;
}

} // namespace

void RegisterPortCommands() {
    AddCommand({"ports", "ports [--port DEV[,DEV...]]",
                "list the serial ports in the order a transfer searches them (COM1 to COM4, "
                "then the system's others), each with its /dev/serial/by-id name, its adapter's "
                "driver and USB vendor:product, and whether it can be opened now: ok, permission "
                "denied (naming the device's group), busy (naming the program that holds it and "
                "its pid) or missing",
                cmdPorts,
                {{"--port DEV[,DEV...]",
                  "the devices of COM1, COM2, ... (default: the system's serial ports, USB "
                  "adapters first)"}}});
    AddCommand({"backups", "backups",
                "list the radio tables kept before each write, newest first: time, model, port "
                "and file (in $XDG_STATE_HOME/kqprogrammer/backups, by default "
                "~/.local/state/kqprogrammer/backups; the newest " +
                    std::to_string(kq::BackupsKept) + " are kept)",
                cmdBackups});
}

} // namespace kqtool
