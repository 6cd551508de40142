// The radio tables kept before each write: a folder of channel files named by
// time, model and port, the newest kept, the older ones pruned.
//
//   kq::RadioBackups backups(kq::BackupFolder());
//   std::string path = backups.Keep(radioWords, "/dev/ttyUSB0", kq::LocalTimeNow());
//   for (const kq::BackupEntry& e : backups.List()) ...   // newest first
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace kq {

// How many backups a folder keeps; the oldest beyond go at the next backup.
inline constexpr std::size_t BackupsKept = 200;

// $XDG_STATE_HOME/kqprogrammer/backups, else ~/.local/state/kqprogrammer/backups
// (a relative XDG_STATE_HOME is ignored, as the XDG rules have it). Throws
// KqError when neither it nor HOME is set.
std::string BackupFolder();

// The local time now, for names; callers pass it in so that tests fix it.
std::tm LocalTimeNow();

// The model name word 1 of a radio's words stands for, "unknown" for a code
// outside the model table or too few words.
std::string BackupModelName(const std::vector<int32_t>& words);

// The port part of a backup's name: the device below /dev with every
// character but letters, digits, "_" and "-" made "-" ("/dev/pts/3" -> "pts-3").
std::string BackupPortName(const std::string& device);

struct BackupEntry {
    std::string time;  // "2026-12-07 19:04:05"
    std::string model; // "KQ-0453"
    std::string port;  // "ttyUSB0"
    std::string file;  // the full path
};

class RadioBackups {
public:
    explicit RadioBackups(std::string folder, std::size_t keep = BackupsKept);

    const std::string& Folder() const { return m_Folder; }

    // Saves words as a channel file, safely, named like
    // 2026-12-07T19-04-05_KQ-0453_ttyUSB0.KQ (".2.KQ", ".3.KQ" ... for
    // another in the same second), then prunes. Returns the path. Throws
    // KqError (FileError) when the folder or the file cannot be written.
    std::string Keep(const std::vector<int32_t>& words, const std::string& device,
                     const std::tm& localTime) const;

    // The folder's backups, newest first; other files are left out (and
    // never pruned). A missing folder has none.
    std::vector<BackupEntry> List() const;

    // The newest backup's path, "" when there is none.
    std::string Newest() const;

    // Removes all but the newest keep backups.
    void Prune() const;

private:
    std::string m_Folder;
    std::size_t m_Keep;
};

// A backup before a write, as the programs take it: in BackupFolder(), at
// the local time now. Returns the path; throws KqError.
std::string KeepRadioBackup(const std::vector<int32_t>& words, const std::string& device);

} // namespace kq
