// kqtool's file commands, run as a user would run them.
#include "ChannelFile.h"
#include "KqtoolRun.h"

#include <gtest/gtest.h>

#include <algorithm>

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
    for (const char* c : {"show", "report", "export", "import", "new", "words", "diff", "verify"})
        EXPECT_NE(r.out.find(std::string("kqtool ") + c + " "), std::string::npos) << c;
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
    for (const char* cmd : {"show", "report", "export", "words"})
        expectOneLineError(run(std::string(cmd) + " " + q(f)), 1, f.string() + ": line ");
    expectOneLineError(run("new -o " + q(file("nowhere/x.KQ"))), 1, "folder does not exist");
}

TEST_F(Kqtool, FillSavesWhatPassesAndLeavesTheFileAloneOtherwise) {
    ASSERT_EQ(run("new -o " + q(file("a.KQ"))).status, 0);
    const std::string fill = "fill " + q(file("a.KQ")) + " ";
    Result r = run(fill + "--from 0 --to 15 --start 146,0125 --step 12.5");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines(r.out).size(), 16u);
    ASSERT_EQ(run(fill + "--from 2 --to 3 --start 150 --step 0 --tx").status, 0);
    kq::ClassKQxx53 dev;
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

// The printout's 26 lines, with CR LF in a file, to a device node or a pipe as well.
TEST_F(Kqtool, ReportHasThePrintoutLinesWithTheGivenDate) {
    ASSERT_EQ(run("new --model KQ-0153 -o " + q(file("a.KQ"))).status, 0);
    Result r = run("report " + q(file("a.KQ")) + " --date 2003-05-07 -o " + q(file("r.txt")));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = readAll(file("r.txt"));
    std::vector<std::string> got;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        got.push_back(text.substr(at, end - at));
    ASSERT_EQ(got.size(), 26u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");           // nothing after the last line end
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 26); // no bare LF
    EXPECT_EQ(got[3], "IF       : 21.4 MHz");
    EXPECT_EQ(got[5], "FileName : " + fs::absolute(file("a.KQ")).lexically_normal().string());
    EXPECT_EQ(got[6], "Date     : 2003/5/7");

    for (const char* to : {"", " -o /dev/stdout", " -o /dev/stdout | cat"}) {
        r = run("report " + q(file("a.KQ")) + " --date 2024/12/31" + to);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(lines(r.out).size(), 26u) << to;
        EXPECT_NE(r.out.find("Date     : 2024/12/31"), std::string::npos) << to << r.out;
    }
    fs::remove(file("r.txt"));
    for (const char* date : {"2003/5", "2003/13/1", "2003/5-7"}) {
        r = run("report " + q(file("a.KQ")) + " --date " + date + " -o " + q(file("r.txt")));
        EXPECT_EQ(r.status, 2) << date;
        EXPECT_NE(r.err.find("bad date"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(file("r.txt"))) << date;
    }
}
