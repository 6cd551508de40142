// kqtool's field kit: backups before writes, restore and a never-initiated
// radio on simulated radios in virtual time; a port that is never shared
// against the kqradio emulator on a pseudo-terminal.
#include "KqtoolRun.h"

#include "ChannelFile.h"
#include "RadioBackups.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include <fcntl.h>
#include <unistd.h>

// A write keeps the radio's table first; restore writes a backup back, taking one of its own.
TEST_F(KqtoolSim, AWriteKeepsTheRadiosTableWhichRestoreWritesBack) {
    fs::copy_file(file("t.KQ"), file("old.KQ"));
    ASSERT_EQ(run("fill " + q(file("old.KQ")) + " --from 0 --to 15 --start 440 --step 25").status, 0);
    SimulatedRadio& radio = simRadio({"--image", qfile("old.KQ"), "--save", qfile("radio.KQ")});
    EXPECT_EQ(run("backups").err, "kqtool: no backups in " + (dir / "state/kqprogrammer/backups").string() + "\n");
    EXPECT_NE(run("restore --last" + port(radio)).err.find("no backup in"), std::string::npos);
    Result r = run("write " + q(file("t.KQ")) + port(radio) + " --fast");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string device = radio.device.toStdString(), shortPort = kq::BackupPortName(device);
    std::vector<std::string> listed = lines(run("backups").out);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].substr(0, 21), "TIME                 ");
    const std::string backup = listed[1].substr(listed[1].find('/'));
    EXPECT_NE(listed[1].find("  KQ-0453  " + shortPort + "  "), std::string::npos) << listed[1];
    EXPECT_NE(r.err.find("; backup " + backup + "\n"), std::string::npos) << r.err;
    EXPECT_EQ(readAll(backup), readAll(file("old.KQ"))); // word for word what the radio held
    // --no-backup writes without one; restore --last writes the backup back and keeps one itself.
    ASSERT_EQ(run("write " + q(file("t.KQ")) + port(radio) + " --fast --no-backup").status, 0);
    EXPECT_EQ(lines(run("backups").out).size(), 2u);
    r = run("restore --last" + port(radio) + " --fast");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("restoring " + backup), std::string::npos) << r.err;
    listed = lines(run("backups").out);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(readAll(listed[1].substr(listed[1].find('/'))), readAll(file("t.KQ")));
    // The bench keeps each radio's table too, and its line names the file.
    r = run("write " + q(file("t.KQ")) + " --repeat --count 1" + port(radio) + " --fast");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    listed = lines(run("backups").out);
    ASSERT_EQ(listed.size(), 4u);
    const std::string benchBackup = listed[1].substr(listed[1].find('/'));
    EXPECT_NE(r.out.find("written and verified; backup " + benchBackup + "\n"), std::string::npos) << r.out;
    EXPECT_EQ(readAll(benchBackup), readAll(file("old.KQ"))); // what the restore put back
    radio.stop();
    EXPECT_EQ(readAll(file("radio.KQ")), readAll(file("t.KQ")));
    // A damaged file, or a backup that cannot be kept, writes nothing.
    writeAll(file("bad.KQ"), "1\r\n2\r\n");
    SimulatedRadio& other = simRadio({"--save", qfile("other.KQ")});
    EXPECT_EQ(run("restore " + q(file("bad.KQ")) + port(other)).status, 1);
    setenv("XDG_STATE_HOME", file("t.KQ").c_str(), 1); // a file where the folder should be
    r = run("write " + q(file("old.KQ")) + port(other) + " --fast");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("could not be kept as a backup"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("(--no-backup writes without one)"), std::string::npos) << r.err;
    other.stop();
    kq::ClassKQxx53 blank;
    EXPECT_EQ(readAll(file("other.KQ")), kq::ChannelFileText(blank));
}

// A radio never initiated is written only with --yes.
TEST_F(KqtoolSim, ANeverInitiatedRadioIsWrittenOnlyWithYes) {
    SimulatedRadio& radio = simRadio({"--bad-id", "--save", qfile("radio.KQ")});
    Result r = run("write " + q(file("t.KQ")) + port(radio) + " --fast");
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.err.find("EEPROM must be initiated! (word 0 is 0xC501, not 0xC500); nothing was written"),
              std::string::npos) << r.err;
    // Also without a backup, word 0 is looked at first.
    r = run("write " + q(file("t.KQ")) + port(radio) + " --fast --no-backup");
    EXPECT_EQ(r.status, 4) << r.err;
    // Nobody is asked at the bench: only --yes writes it.
    r = run("write " + q(file("t.KQ")) + " --repeat --count 1" + port(radio) + " --fast");
    EXPECT_EQ(r.status, 4) << r.out << r.err;
    EXPECT_NE(r.out.find("FAILED: EEPROM must be initiated!"), std::string::npos) << r.out;
    r = run("write " + q(file("t.KQ")) + port(radio) + " --fast --yes --trace " + q(file("yes.log")));
    EXPECT_EQ(r.status, 0) << r.err;
    // Its link log replays with the backup read and the yes as they were.
    r = run("replay " + q(file("yes.log")));
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("as logged"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("the program's frames are the logged ones"), std::string::npos) << r.out;
    radio.stop();
    EXPECT_EQ(readAll(file("radio.KQ")), readAll(file("t.KQ")));
}

// A port held by another program is refused as busy, naming it, and never shared.
TEST_F(KqtoolRadio, APortInUseIsRefusedAsBusyNamingItsHolder) {
    KqRadioProcess radio({});
    const std::string device = radio.device.toStdString();
    std::string lockName = device.substr(5);
    std::replace(lockName.begin(), lockName.end(), '/', '_');
    const fs::path lock = fs::path("/run/lock") / ("LCK.." + lockName);
    std::ifstream comm("/proc/self/comm");
    std::string me;
    std::getline(comm, me);
    const std::string busy = "port busy: " + device + " is in use by " + me + " (pid " + std::to_string(getpid()) + ")";
    // A lock file of a live process, as another serial program leaves it (UUCP: the pid in 10 characters).
    char pid[16];
    std::snprintf(pid, sizeof pid, "%10d\n", static_cast<int>(getpid()));
    writeAll(lock, pid);
    Result r = run("read -o " + q(file("out.KQ")) + port(radio));
    EXPECT_EQ(r.status, 9);
    EXPECT_NE(r.err.find(busy), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("no radio answered"), std::string::npos) << r.err;
    // A lock whose process has ended is removed and the port used.
    writeAll(lock, "   4194304\n");
    r = run("read -o " + q(file("out.KQ")) + port(radio) + " --fast");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(fs::exists(lock));
    // The port open in another program (found among /proc/*/fd), and in the port check.
    const int held = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(held, 0);
    r = run("read -o " + q(file("out.KQ")) + port(radio));
    EXPECT_EQ(r.status, 9);
    EXPECT_NE(r.err.find(busy), std::string::npos) << r.err;
    EXPECT_EQ(lines(run("ports --port " + device).out).at(0),
              "COM1  " + device + ": busy: in use by " + me + " (pid " + std::to_string(getpid()) + ")");
    ::close(held);
    EXPECT_EQ(lines(run("ports --port " + device).out).at(0), "COM1  " + device + ": ok");
}
