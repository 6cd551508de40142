// kqtool's file commands, run as a user would run them.
#include "KqtoolRun.h"

#include <gtest/gtest.h>

namespace {

const char* const kHeading = "channel,rx_mhz,tx_mhz,rx_spacing_khz,tx_spacing_khz,power\n";

// A one-line message on stderr, nothing on stdout.
void expectOneLineError(const Result& r, int status, const std::string& part) {
    EXPECT_EQ(r.status, status);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
    if (status != 2) {
        EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
    }
}

} // namespace

TEST_F(Kqtool, HelpAndBadCommandLines) {
    Result r = run("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* c : {"show", "report", "export", "import", "new", "words", "diff", "verify"}) {
        EXPECT_NE(r.out.find(std::string("kqtool ") + c + " "), std::string::npos) << c;
    }
    EXPECT_NE(r.out.find("8 a file cannot be read"), std::string::npos);
    expectOneLineError(run("new -o x.KQ --model 7"), 2, "unknown model");
    expectOneLineError(run("export a.KQ --format zip"), 2, "unknown format 'zip'");
    expectOneLineError(run("diff a.KQ"), 2, "usage: kqtool diff");
}

TEST_F(Kqtool, NewShowAndWordsOfAnEmptyTable) {
    const fs::path f = file("empty.KQ");
    ASSERT_EQ(run("new -o " + q(f) + " --model KQ-0153").status, 0);
    Result r = run("show " + q(f));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 20u);
    EXPECT_EQ(out[0], "Model: KQ-0153");
    EXPECT_EQ(out[19], "15  F     NONE     12.5K       NONE     12.5K    L  ");
    r = run("words " + q(f));
    ASSERT_EQ(lines(r.out).size(), 8u);
    EXPECT_EQ(lines(r.out)[0].substr(0, 14), "00: C500 0300 ");
    // Output to /dev/stdout reaches the redirected file and the pipe alike.
    for (const char* tail : {"", " | cat"}) {
        r = run("report " + q(f) + " --date 2003/4/5 -o /dev/stdout" + tail);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("KQ-0153"), std::string::npos) << tail << r.out;
    }
}

TEST_F(Kqtool, ImportExportInBothLayoutsAndDiff) {
    const fs::path csv = file("in.csv"), a = file("a.KQ"), b = file("b.KQ"), c = file("c.csv");
    writeAll(csv,
             std::string(kHeading) + "10,150.0125,145.5,25,25,high\r\n\n\"2\", 440.00625 ,445.00625,12.5,12.5,L\n");
    ASSERT_EQ(run("import " + q(csv) + " -o " + q(a) + " --model 0").status, 0);
    const auto out = lines(run("show " + q(a)).out);
    ASSERT_EQ(out.size(), 20u);
    EXPECT_EQ(out[4 + 10], "10  A  150.012500  25.0K    145.500000  25.0K    H  ");
    EXPECT_EQ(out[4 + 2], "2   2  440.006250  12.5K    445.006250  12.5K    L  ");

    for (const char* format : {"kq", "chirp"}) {
        ASSERT_EQ(run("export " + q(a) + " --format " + format + " -o " + q(c)).status, 0) << format;
        ASSERT_EQ(run("import " + q(c) + " -o " + q(b) + " --model 0").status, 0) << format;
        EXPECT_EQ(readAll(b), readAll(a)) << format;
        Result r = run("diff " + q(a) + " " + q(b));
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "");
    }
    writeAll(csv, "Location,Name,Frequency,Duplex,Offset,Mode,Tone\n2,Rpt,440.00625,+,5,NFM,Tone\n");
    Result r = run("import " + q(csv) + " -o " + q(b) + " --model 0");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("dropped, this radio cannot hold them: \"Name\", \"Tone\""), std::string::npos) << r.err;
    r = run("diff " + q(a) + " " + q(b));
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out.substr(r.out.find("< 10")), "< 10  A  150.012500  25.0K    145.500000  25.0K    H  \n"
                                                "> 10  A     NONE     12.5K       NONE     12.5K    L  \n");
    expectOneLineError(run("diff " + q(a) + " " + q(file("none.KQ"))), 8, "does not exist");
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
    for (const char* cmd : {"show", "report", "export", "words"}) {
        expectOneLineError(run(std::string(cmd) + " " + q(f)), 1, f.string() + ": line ");
    }
    expectOneLineError(run("new -o " + q(file("nowhere/x.KQ"))), 1, "folder does not exist");
}
