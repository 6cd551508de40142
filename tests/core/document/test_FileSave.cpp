// Saving over every kind of target a user or an administrator may name.
#include "ChannelFile.h"
#include "CoreTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Everything in the folder tree: contents, modes, owners, link targets and
// node types, to prove what a save changed and what it left behind.
std::map<std::string, std::string> tree(const fs::path& dir) {
    std::map<std::string, std::string> t;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        struct stat st {};
        ::lstat(e.path().c_str(), &st);
        std::string v =
            std::to_string(st.st_mode) + " " + std::to_string(st.st_uid) + ":" + std::to_string(st.st_gid) + " ";
        if (S_ISLNK(st.st_mode))
            v += fs::read_symlink(e.path()).string();
        else if (S_ISREG(st.st_mode))
            v += kqtest::readAll(e.path());
        t[e.path().lexically_relative(dir).string()] = v;
    }
    return t;
}

struct Case {
    const char* name;
    std::function<fs::path(const fs::path&)> prepare; // makes the folder's state, gives the target
    const char* error;                                // part of the message, or nullptr when the save succeeds
    std::string holdsNew;                             // the file the new bytes must be in, or ""
    std::function<void(const fs::path&)> check = nullptr;
    bool rootOnly = false;
};

} // namespace

TEST(FileSave, EveryKindOfTargetKeepsOrReplacesWhatItShould) {
    const bool root = ::geteuid() == 0;
    std::string fromPipe;
    std::thread reader;
    fs::path node;
    const std::string longName(255, 'n');
    // An old file of mode m in folder d, named n.
    auto old = [](const fs::path& d, const char* n, unsigned m) {
        return kqtest::writeAll(d / n, "old"), fs::permissions(d / n, fs::perms(m)), d / n;
    };
    auto link = [](const fs::path& d, const char* to) { return fs::create_symlink(to, d / "l.KQ"), d / "l.KQ"; };
    const std::vector<Case> cases = {
        {"new file", [](const fs::path& d) { return d / "a.KQ"; }, nullptr, "a.KQ"},
        {"replace keeps the mode", [&](const fs::path& d) { return old(d, "a.KQ", 0640); }, nullptr, "a.KQ"},
        {"link", [&](const fs::path& d) { return old(d, "r.KQ", 0644), link(d, "r.KQ"); }, nullptr, "r.KQ"},
        {"link into another folder",
         [&](const fs::path& d) {
             fs::create_directory(d / "o");
             return old(d, "o/r.KQ", 0600), link(d, "o/r.KQ");
         },
         nullptr, "o/r.KQ"},
        {"dangling link", [&](const fs::path& d) { return link(d, "gone.KQ"); }, "gone.KQ\", which does not exist", ""},
        {"read-only file", [&](const fs::path& d) { return old(d, "a.KQ", 0444); }, "read-only", ""},
        {"folder", [](const fs::path& d) { return fs::create_directory(d / "f"), d / "f"; }, "folder, not a file", ""},
        {"missing folder", [](const fs::path& d) { return d / "no" / "x.KQ"; }, "folder does not exist", ""},
        {"255-byte name", [&](const fs::path& d) { return d / longName; }, nullptr, longName},
        {"pipe",
         [&](const fs::path& d) {
             ::mkfifo((d / "p").c_str(), 0600);
             reader = std::thread([&fromPipe, p = d / "p"] { fromPipe = kqtest::readAll(p); });
             return d / "p";
         },
         nullptr, "",
         [&](const fs::path& d) {
             // Lets a reader still waiting for a writer end, so a failed save cannot hang the test.
             const int fd = ::open((d / "p").c_str(), O_WRONLY | O_NONBLOCK);
             if (fd >= 0) ::close(fd);
             reader.join();
             EXPECT_EQ(fromPipe, "NEW");
             EXPECT_TRUE(fs::is_fifo(fs::symlink_status(d / "p")));
         }},
        // Root may make a device node of its own; anyone may write into /dev/null.
        {"device node",
         [&](const fs::path& d) {
             const bool own = root && ::mknod((d / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
             return node = own ? d / "null" : fs::path("/dev/null");
         },
         nullptr, "", [&](const fs::path&) { EXPECT_TRUE(fs::is_character_file(fs::symlink_status(node))); }},
        {"owner and group kept",
         [&](const fs::path& d) {
             EXPECT_EQ(::chown(old(d, "a.KQ", 0600).c_str(), 1234, 5678), 0);
             return d / "a.KQ";
         },
         nullptr, "a.KQ", nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.rootOnly && !root) continue;
        const kqtest::TempDir tmp("kqsave");
        const fs::path dir = tmp.path;
        const fs::path target = c.prepare(dir);
        auto before = tree(dir);
        const std::string error =
            kqtest::ErrorOf<kq::FileError>([&] { kq::WriteFileReplacing(target.string(), "NEW"); });
        EXPECT_EQ(error.empty(), c.error == nullptr) << error;
        EXPECT_NE(error.find(c.error ? c.error : ""), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        if (c.check) c.check(dir);
        // Only the file named may change; nothing else appears or goes.
        auto after = tree(dir);
        if (!c.holdsNew.empty()) {
            // The new bytes; a replaced file keeps its mode, owner and group.
            const std::string now = after[c.holdsNew], was = before.count(c.holdsNew) ? before[c.holdsNew] : now;
            EXPECT_EQ(now, was.substr(0, was.rfind(' ') + 1) + "NEW");
            after.erase(c.holdsNew);
            before.erase(c.holdsNew);
        }
        EXPECT_EQ(after, before);
        fs::remove_all(dir);
    }
}
