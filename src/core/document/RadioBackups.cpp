#include "RadioBackups.h"

#include "ChannelFile.h"
#include "ClassKqSerial.h"
#include "FileSave.h"
#include "MessageQuote.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <system_error>
#include <tuple>

namespace fs = std::filesystem;

namespace kq {

namespace {

// time, model, port, same-second number (1 for none).
const std::regex kName(R"(^(\d{4}-\d{2}-\d{2})T(\d{2})-(\d{2})-(\d{2})_([A-Za-z0-9-]+)_([A-Za-z0-9_-]+?)(?:\.(\d{1,6}))?\.KQ$)");

struct Found {
    BackupEntry entry;
    std::string sortTime; // as in the name: sorts as time does
    int number = 1;
};

std::vector<Found> Scan(const std::string& folder) {
    std::vector<Found> found;
    std::error_code ec;
    fs::directory_iterator it(fs::u8path(folder), ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().u8string();
        std::smatch m;
        if (!std::regex_match(name, m, kName) || !it->is_regular_file(ec)) continue;
        Found f;
        f.entry.time = m[1].str() + " " + m[2].str() + ":" + m[3].str() + ":" + m[4].str();
        f.entry.model = m[5];
        f.entry.port = m[6];
        f.entry.file = it->path().u8string();
        f.sortTime = name.substr(0, 19);
        f.number = m[7].matched ? std::atoi(m[7].str().c_str()) : 1;
        found.push_back(std::move(f));
    }
    // Newest first; two of one second by their number, then by name, so the
    // order never depends on the folder's.
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::tie(a.sortTime, a.number, a.entry.file) >
               std::tie(b.sortTime, b.number, b.entry.file);
    });
    return found;
}

} // namespace

std::string BackupFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    fs::path base;
    if (state && *state && fs::u8path(state).is_absolute()) {
        base = fs::u8path(state);
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home)
            throw FileError("no folder for backups: neither XDG_STATE_HOME nor HOME is set");
        base = fs::u8path(home) / ".local" / "state";
    }
    return (base / "kqprogrammer" / "backups").u8string();
}

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &now);
#else
    localtime_r(&now, &tm);
#endif
    return tm;
}

std::string BackupModelName(const std::vector<int32_t>& words) {
    const ModelInfo* m = words.size() > 1 ? FindModel(words[1] / 256) : nullptr;
    return m ? m->ModelName : "unknown";
}

std::string BackupPortName(const std::string& device) {
    std::string s = device.rfind("/dev/", 0) == 0 ? device.substr(5) : device;
    if (s.empty()) s = "port";
    for (char& c : s) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (!ok) c = '-';
    }
    return s;
}

RadioBackups::RadioBackups(std::string folder, std::size_t keep)
    : m_Folder(std::move(folder)), m_Keep(keep) {}

std::string RadioBackups::Keep(const std::vector<int32_t>& words, const std::string& device,
                               const std::tm& localTime) const {
    const std::string model = BackupModelName(words);
    // Made before the folder is: words that cannot be stored leave nothing.
    const std::string text = ChannelFileTextOfWords(words, model);
    const fs::path folder = fs::u8path(m_Folder);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder))
        throw FileError("the backup folder " + PathForMessage(m_Folder) + " cannot be made (" +
                        (ec ? ec.message() : "not a folder") + ")");
    char stamp[32];
    if (std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H-%M-%S", &localTime) == 0)
        throw FileError("the time of the backup cannot be written as a name");
    const std::string stem = std::string(stamp) + "_" + model + "_" + BackupPortName(device);
    fs::path path = folder / (stem + ".KQ");
    for (int n = 2; fs::exists(path, ec); ++n)
        path = folder / (stem + "." + std::to_string(n) + ".KQ");
    WriteFileReplacing(path.u8string(), text);
    Prune();
    return path.u8string();
}

std::vector<BackupEntry> RadioBackups::List() const {
    std::vector<BackupEntry> out;
    for (Found& f : Scan(m_Folder)) out.push_back(std::move(f.entry));
    return out;
}

std::string RadioBackups::Newest() const {
    const std::vector<Found> found = Scan(m_Folder);
    return found.empty() ? std::string() : found.front().entry.file;
}

void RadioBackups::Prune() const {
    const std::vector<Found> found = Scan(m_Folder);
    for (std::size_t i = m_Keep; i < found.size(); ++i) {
        // Another program pruning at the same time may have taken it already.
        std::error_code ec;
        fs::remove(fs::u8path(found[i].entry.file), ec);
    }
}

std::string KeepRadioBackup(const std::vector<int32_t>& words, const std::string& device) {
    return RadioBackups(BackupFolder()).Keep(words, device, LocalTimeNow());
}

} // namespace kq
