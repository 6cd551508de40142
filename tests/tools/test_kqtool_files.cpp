// kqtool's file commands, run as a user would run them.
#include "ChannelFile.h"
#include "KqtoolRun.h"

#include <gtest/gtest.h>

#include <thread>

#include <QProcess>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const char* const kHeading = "channel,rx_mhz,tx_mhz,rx_spacing_khz,tx_spacing_khz,power\n";

// A one-line message on stderr, nothing on stdout.
void expectOneLineError(const Result& r, int status, const std::string& part) {
    EXPECT_EQ(r.status, status);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
    EXPECT_TRUE(status == 2 || lines(r.err).size() == 1) << r.err;
}

} // namespace

TEST_F(Kqtool, HelpAndBadCommandLines) {
    Result r = run("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage: kqtool ", 0), 0u);
    for (const char* c : {"show", "report", "export", "import", "new", "words", "diff", "verify"})
        EXPECT_NE(r.out.find(std::string("\n  kqtool ") + c + " "), std::string::npos) << c;
    for (const char* part : {"8 a file cannot be read", "--skip-unfit", "high above 3 W", "--version"})
        EXPECT_NE(r.out.find(part), std::string::npos) << part;
    // One command's help, asked either way; every line fits 80 columns.
    for (const char* args : {"import --help", "help import", "import x.csv -h"}) {
        const Result c = run(args);
        EXPECT_EQ(c.status, 0) << args;
        EXPECT_EQ(c.out.rfind("Usage: kqtool import IN.csv", 0), 0u) << c.out;
        EXPECT_NE(c.out.find("\n  --skip-unfit  "), std::string::npos) << c.out;
        EXPECT_EQ(c.out.find("\n  fill"), std::string::npos) << c.out;
    }
    for (const std::string& text : {r.out, run("write --help").out})
        for (const auto& line : lines(text)) EXPECT_LE(line.size(), 80u) << line;
    expectOneLineError(run("new -o x.KQ --model 7"), 2, "unknown model");
    expectOneLineError(run("new -o x.KQ --model=KQ-0999"), 2, "unknown model 'KQ-0999'");
    expectOneLineError(run("export a.KQ --format=zip"), 2, "unknown format 'zip'");
    expectOneLineError(run("fill a.KQ --rx=1"), 2, "option '--rx' takes no value");
    expectOneLineError(run("diff a.KQ"), 2, "usage: kqtool diff");
    expectOneLineError(run("diff - -"), 2, "standard input can be only one side");
    expectOneLineError(run("fill - --from 0 --to 1 --start 146 --step 25"), 2, "'-' is not one");
}

// "-" is standard input or output, and never a file of that name; the
// printout to a file, a device node or a pipe.
TEST_F(Kqtool, DashReadsStandardInputAndWritesStandardOutputReportAnywhere) {
    const std::string kqtool = q(KQTOOL_PATH) + " ";
    Result r = run("new --model=KQ-0153 -o - | " + kqtool + "show -");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(lines(r.out).size(), 20u);
    EXPECT_EQ(lines(r.out)[0], "Model: KQ-0153");
    EXPECT_EQ(lines(r.out)[19], "15  F     NONE     12.5K       NONE     12.5K    L  ");
    const fs::path a = file("a.KQ");
    ASSERT_EQ(run("new -o " + q(a)).status, 0);
    ASSERT_EQ(run("fill " + q(a) + " --from=0 --to=3 --start=146.52 --step=25").status, 0);
    r = run("export " + q(a) + " --format chirp -o - | " + kqtool + "import - --model=2 -o - | " + kqtool + "diff " +
            q(a) + " -");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    r = run("words - < " + q(a));
    EXPECT_EQ(r.out, run("words " + q(a)).out);
    ASSERT_EQ(lines(r.out).size(), 8u);
    EXPECT_EQ(lines(r.out)[0].substr(0, 14), "00: C500 0200 ");
    r = run("report - --date 2003/5/7 < " + q(a));
    EXPECT_EQ(lines(r.out).at(5), "FileName : standard input");
    expectOneLineError(run("show - < /dev/null"), 1, "standard input: line 1:");
    r = run("diff " + q(a) + " - < /dev/null");
    EXPECT_EQ(r.status, 8);
    EXPECT_FALSE(fs::exists("-"));
    EXPECT_FALSE(fs::exists(dir / "-"));

    // The printout's 26 lines, with CR LF in a file, to a device node or a pipe as well.
    r = run("report " + q(a) + " --date 2003-05-07 -o " + q(file("r.txt")));
    ASSERT_EQ(r.status, 0) << r.err;
    // The same lines on standard output; in a file each ends with CR LF.
    const auto got = lines(run("report " + q(a) + " --date 2003/5/7").out);
    ASSERT_EQ(got.size(), 26u);
    std::string crlf;
    for (const auto& line : got) crlf += line + "\r\n";
    EXPECT_EQ(readAll(file("r.txt")), crlf);
    EXPECT_EQ(got[5], "FileName : " + fs::absolute(a).lexically_normal().string());
    EXPECT_EQ(got[6], "Date     : 2003/5/7");
    for (const char* to : {" -o /dev/stdout", " -o /dev/stdout | cat"}) {
        r = run("report " + q(a) + " --date 2024/12/31" + to);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(lines(r.out).size(), 26u) << to;
        EXPECT_NE(r.out.find("Date     : 2024/12/31"), std::string::npos) << to << r.out;
    }
    fs::remove(file("r.txt"));
    for (const char* date : {"2003/5", "2003/13/1", "2003/5-7"}) {
        r = run("report " + q(a) + " --date " + date + " -o " + q(file("r.txt")));
        EXPECT_EQ(r.status, 2) << date;
        EXPECT_NE(r.err.find("bad date"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(file("r.txt"))) << date;
    }
}

// Two fills of one file at once: both wait while the file is locked, and
// once it is free each change lands. A refused fill changes nothing.
TEST_F(Kqtool, FillSavesWhatPassesOnceTheFileIsFreeAndNothingElse) {
    const fs::path f = file("a.KQ");
    ASSERT_EQ(run("new -o " + q(f)).status, 0);
    const int held = ::open(f.c_str(), O_RDONLY | O_CLOEXEC); // not inherited by the fills
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    QProcess fills[2];
    fills[0].start(KQTOOL_PATH, {"fill", f.c_str(), "--from=0", "--to=7", "--start=146", "--step=25"});
    fills[1].start(KQTOOL_PATH, {"fill", f.c_str(), "--from=8", "--to=15", "--start=440", "--step=25"});
    for (QProcess& fill : fills) {
        // Polls until the process is seen waiting for the lock, or has ended without.
        const std::string waits = "-> FLOCK  ADVISORY  WRITE " + std::to_string(fill.processId()) + " ";
        bool waiting = false;
        while (!waiting && !fill.waitForFinished(0))
            if (!(waiting = readAll("/proc/locks").find(waits) != std::string::npos)) std::this_thread::yield();
        EXPECT_TRUE(waiting) << "fill " << fill.processId() << " did not wait for the lock";
    }
    ::close(held);
    for (QProcess& fill : fills) {
        EXPECT_TRUE(fill.waitForFinished(30000));
        EXPECT_EQ(fill.exitStatus() == QProcess::NormalExit ? fill.exitCode() : -1, 0)
            << fill.readAllStandardError().toStdString();
    }
    kq::ClassKQxx53 dev;
    kq::OpenChannelFile(dev, f.string());
    EXPECT_DOUBLE_EQ(dev.TheRxFreq(7), 146.175);
    EXPECT_DOUBLE_EQ(dev.TheRxFreq(15), 440.175);

    // What passes is saved; what is refused leaves the file alone.
    const std::string fill = "fill " + q(file("a.KQ")) + " ";
    Result r = run(fill + "--from 0 --to 15 --start 146,0125 --step 12.5");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines(r.out).size(), 16u);
    ASSERT_EQ(run(fill + "--from 2 --to 3 --start 150 --step 0 --tx").status, 0);
    kq::OpenChannelFile(dev, file("a.KQ").string());
    EXPECT_DOUBLE_EQ(dev.TheRxFreq(2), 146.0375);
    EXPECT_DOUBLE_EQ(dev.TheTxFreq(2), 150);
    EXPECT_DOUBLE_EQ(dev.TheTxFreq(15), 146.2);

    const std::string before = readAll(file("a.KQ"));
    const std::tuple<std::string, int, std::string> refusals[] = {
        {"--from 5 --to 2 --start 146 --step 12.5", 1, "A Invalid Channel Number."},
        {"--from 0 --to 15 --start 999.9 --step 12.5 --rx", 1, "Value. CH8:1000"},
        {"--from 0 --to 15 --start 146 --step 12.5 --rx --tx", 2, "not both"},
        {"--from 0 --to 15 --start 146", 2, "'--step' is required"}};
    for (const auto& [args, status, message] : refusals) {
        r = run(fill + args);
        EXPECT_EQ(r.status, status) << args;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(readAll(file("a.KQ")), before) << args;
    }
}

TEST_F(Kqtool, ImportExportDiffAndUnfitRowsNamedOrSkipped) {
    const fs::path csv = file("in.csv"), a = file("a.KQ"), b = file("b.KQ"), c = file("c.csv"), o = file("o.KQ");
    writeAll(csv,
             std::string(kHeading) + "10,150.0125,145.5,25,25,high\r\n\n\"2\", 440.00625 ,445.00625,12.5,12.5,L\n");
    ASSERT_EQ(run("import " + q(csv) + " -o " + q(a) + " --model 0").status, 0);
    const auto out = lines(run("show " + q(a)).out);
    ASSERT_EQ(out.size(), 20u);
    EXPECT_EQ(out[4 + 10], "10  A  150.012500  25.0K    145.500000  25.0K    H  ");
    EXPECT_EQ(out[4 + 2], "2   2  440.006250  12.5K    445.006250  12.5K    L  ");

    // Our own layout back and forth (the common one is piped through in the standard-input test).
    ASSERT_EQ(run("export " + q(a) + " --format kq -o " + q(c)).status, 0);
    ASSERT_EQ(run("import " + q(c) + " -o " + q(b) + " --model 0").status, 0);
    EXPECT_EQ(readAll(b), readAll(a));
    writeAll(csv, "Location,Name,Frequency,Duplex,Offset,Mode,Tone\n2,Rpt,440.00625,+,5,NFM,Tone\n");
    Result r = run("import " + q(csv) + " -o " + q(b) + " --model 0");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("dropped, this radio cannot hold them: \"Name\", \"Tone\""), std::string::npos) << r.err;
    r = run("diff " + q(a) + " " + q(b));
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out.substr(r.out.find("< 10")), "< 10  A  150.012500  25.0K    145.500000  25.0K    H  \n"
                                                "> 10  A     NONE     12.5K       NONE     12.5K    L  \n");
    expectOneLineError(run("diff " + q(a) + " " + q(file("none.KQ"))), 8, "does not exist");

    // A list as other programmers write it, with rows this radio cannot hold.
    writeAll(csv, "Location,Name,Frequency,Duplex,Offset,Tone,Mode,Power\n"
                  "0,Call,146.520000,,0.000000,,FM,50W,\n"
                  "1,Ten,29.600000,,0.000000,,FM,5W,\n"
                  "2,Rpt,442.100000,+,5.000000,,NFM,1W,\n"
                  "20,Far,147.000000,,0.000000,,FM,1W,\n");
    r = run("import " + q(csv) + " -o " + q(o));
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(lines(r.err).size(), 3u) << r.err;
    EXPECT_EQ(lines(r.err)[0],
              "kqtool import: " + csv.string() + ": 2 rows cannot be held by this radio; nothing was imported:");
    EXPECT_EQ(lines(r.err)[2].rfind("  row 5: Location \"20\" is not", 0), 0u) << r.err;
    EXPECT_FALSE(fs::exists(o));
    r = run("import " + q(csv) + " -o " + q(o) + " --skip-unfit");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines(r.err).size(), 4u) << r.err;
    EXPECT_NE(r.err.find("2 row(s) left out, this radio cannot hold them:\n  row 3: "), std::string::npos);
    EXPECT_EQ(lines(run("show " + q(o)).out).at(6), "2   2  442.100000  12.5K    447.100000  12.5K    L  ");
    // Nothing left to import is no success.
    writeAll(csv, "Location,Frequency,Duplex,Offset,Mode\n16,146.52,,0,FM\n");
    r = run("import " + q(csv) + " -o " + q(file("none.KQ")) + " --skip-unfit");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no channel is left to import; nothing was written."), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(file("none.KQ")));
}

TEST_F(Kqtool, BadInputFailsWithOneLineAndWritesNothing) {
    const fs::path csv = file("bad.csv"), kqf = file("keep.KQ");
    writeAll(kqf, "previous");
    writeAll(csv, std::string(kHeading) + "0,150,150,12.5,12.5,low\n1,150.003,150,12.5,12.5,low\n");
    expectOneLineError(run("import " + q(csv) + " -o " + q(kqf)), 1, "row 3: rx_mhz \"150.003\"");
    expectOneLineError(run("import " + q(file("none.csv")) + " -o " + q(kqf)), 1, "cannot be opened");
    EXPECT_EQ(readAll(kqf), "previous");
    fs::remove(csv);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);

    const fs::path f = file("cut.KQ");
    ASSERT_EQ(run("new -o " + q(f)).status, 0);
    std::string text = readAll(f);
    writeAll(f, text.substr(0, text.size() - 3 * 50)); // cut inside the image
    for (const char* cmd : {"show", "report", "export", "words"})
        expectOneLineError(run(std::string(cmd) + " " + q(f)), 1, f.string() + ": line ");
    // A folder name holding a line end is shown escaped, on the message's one line.
    fs::create_directory(file("odd\nname"));
    fs::rename(f, file("odd\nname") / "cut.KQ");
    for (const std::string cmd : {"show %", "import % -o x.KQ", "fill % --from 0 --to 1 --start 146 --step 25"}) {
        const std::string line =
            cmd.substr(0, cmd.find('%')) + q(file("odd\nname") / "cut.KQ") + cmd.substr(cmd.find('%') + 1);
        expectOneLineError(run(line), 1, "odd\\nname/cut.KQ\": ");
    }
    expectOneLineError(run("new -o " + q(file("nowhere/x.KQ"))), 1, "folder does not exist");
}
