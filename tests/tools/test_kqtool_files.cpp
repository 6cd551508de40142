// kqtool's file commands, run as a user would run them.
#include "ChannelFile.h"
#include "ChannelText.h"
#include "ReportText.h"

#include "KqtoolRun.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

const char* const kHeading = "channel,rx_mhz,tx_mhz,rx_spacing_khz,tx_spacing_khz,power\n";

// A one-line message on stderr, nothing on stdout.
void expectOneLineError(const Result& r, int status, const std::string& part) {
    EXPECT_EQ(r.status, status);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
    if (status == 1) {
        EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
    }
}

} // namespace

TEST_F(Kqtool, HelpAndBadCommandLines) {
    Result r = run("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* c : {"show", "report", "export", "import", "new", "words"}) {
        EXPECT_NE(r.out.find(std::string("kqtool ") + c + " "), std::string::npos) << c;
    }
    expectOneLineError(run("show"), 2, "usage: kqtool show");
    expectOneLineError(run("show a.KQ b.KQ"), 2, "expected 1 file name");
    expectOneLineError(run("new"), 2, "-o");
    expectOneLineError(run("new -o x.KQ --model 7"), 2, "unknown model");
    expectOneLineError(run("export a.KQ --zip"), 2, "unknown option '--zip'");
    expectOneLineError(run("report a.KQ --date 2003/13/1"), 2, "bad date");
    EXPECT_FALSE(fs::exists("x.KQ"));
}

TEST_F(Kqtool, NewWritesAnEmptyTableOfTheModel) {
    const fs::path f = file("empty.KQ");
    Result r = run("new -o " + q(f));
    ASSERT_EQ(r.status, 0) << r.err;
    kq::ClassKQxx53 fresh;
    EXPECT_EQ(readAll(f), kq::ChannelFileText(fresh));

    r = run("new -o " + q(f) + " --model KQ-0153");
    ASSERT_EQ(r.status, 0) << r.err;
    r = run("show " + q(f));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 20u);
    EXPECT_EQ(out[0], "Model: KQ-0153");
    EXPECT_EQ(out[1], "IF: 21.4 MHz");
    EXPECT_EQ(out[2], "Refer Osc: 12.8 MHz");
    EXPECT_EQ(out[3], "CH CHSW RX Freq.  RX Space   TX Freq.  TX Space  PWR ");
    EXPECT_EQ(out[4], "0   0     NONE     12.5K       NONE     12.5K    L  ");
    EXPECT_EQ(out[19], "15  F     NONE     12.5K       NONE     12.5K    L  ");

    r = run("words " + q(f));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto w = lines(r.out);
    ASSERT_EQ(w.size(), 8u);
    EXPECT_EQ(w[0].substr(0, 14), "00: C500 0300 ");
    EXPECT_EQ(w[7].substr(0, 3), "38:");
    for (const auto& l : w) EXPECT_EQ(l.size(), 3u + 8 * 5) << l;
}

TEST_F(Kqtool, ImportedChannelsShowInTheRowFormat) {
    const fs::path csv = file("in.csv"), kqf = file("out.KQ");
    writeAll(csv, std::string(kHeading) +
                      "10,150.0125,145.5,25,12.5,high\r\n"
                      "\n"
                      "\"2\", 440.00625 ,445.00625,12.5,25.0,L\n"
                      "15,136.005,0,12.5,12.5,low\n");
    Result r = run("import " + q(csv) + " -o " + q(kqf) + " --model 0");
    ASSERT_EQ(r.status, 0) << r.err;

    r = run("show " + q(kqf));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 20u);
    EXPECT_EQ(out[0], "Model: KQ-0253");
    EXPECT_EQ(out[4 + 10], "10  A  150.012500  25.0K    145.500000  12.5K    H  ");
    EXPECT_EQ(out[4 + 2], "2   2  440.006250  12.5K    445.006250  25.0K    L  ");
    EXPECT_EQ(out[4 + 15], "15  F  136.005000  12.5K       NONE     12.5K    L  ");
    EXPECT_EQ(out[4 + 3], "3   3     NONE     12.5K       NONE     12.5K    L  ");

    // Export then import gives the same image word for word.
    const fs::path csv2 = file("again.csv"), kqf2 = file("again.KQ");
    r = run("export " + q(kqf) + " -o " + q(csv2));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto exported = lines(readAll(csv2));
    ASSERT_EQ(exported.size(), 17u);
    EXPECT_EQ(exported[0] + "\n", kHeading);
    EXPECT_EQ(exported[11], "10,150.0125,145.5,25,12.5,high");
    r = run("import " + q(csv2) + " -o " + q(kqf2) + " --model 0");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readAll(kqf2), readAll(kqf));
    EXPECT_EQ(run("export " + q(kqf)).out, readAll(csv2));
}

TEST_F(Kqtool, ImportWritesNothingWhenAnyRowIsBad) {
    const fs::path csv = file("bad.csv"), kqf = file("keep.KQ");
    writeAll(kqf, "previous");
    const std::string good = "0,150,150,12.5,12.5,low\n";
    struct Case {
        std::string body;
        std::string message;
    };
    const std::vector<Case> cases = {
        {good + good, "row 3: channel 0 appears twice"},
        {good + "1,150.003,150,12.5,12.5,low\n", "row 3: rx_mhz '150.003'"},
        {good + "\n1,150,99.5,12.5,12.5,low\n", "row 4: tx_mhz '99.5'"},
        {good + "1,150,1e2,12.5,12.5,low\n", "row 3: tx_mhz '1e2'"},
        {good + "16,150,150,12.5,12.5,low\n", "row 3: channel '16'"},
        {good + "1,150,150,20,12.5,low\n", "row 3: rx_spacing_khz '20'"},
        {good + "1,150,150,12.5,6.25,low\n", "row 3: tx_spacing_khz '6.25'"},
        {good + "1,150,150,12.5,12.5,medium\n", "row 3: power 'medium'"},
        {good + "1,150,150,12.5,12.5\n", "row 3: 5 fields"},
        {good + "1,\"150,150,12.5,12.5,low\n", "row 3: a quoted field"},
        {"", "row 1: the file is empty"},
    };
    for (const Case& c : cases) {
        writeAll(csv, kHeading + c.body);
        if (c.body.empty()) writeAll(csv, "");
        const Result r = run("import " + q(csv) + " -o " + q(kqf));
        expectOneLineError(r, 1, c.message);
        EXPECT_EQ(readAll(kqf), "previous") << c.message;
    }
    writeAll(csv, "chan,rx,tx\n" + good);
    expectOneLineError(run("import " + q(csv) + " -o " + q(kqf)), 1, "row 1: the first row");
    expectOneLineError(run("import " + q(file("none.csv")) + " -o " + q(kqf)), 1, "cannot be opened");
    EXPECT_EQ(readAll(kqf), "previous");
    // Only the two files of the test: no half-written output anywhere.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 2);
}

TEST_F(Kqtool, DamagedOrMissingFilesFailWithTheLine) {
    const fs::path f = file("cut.KQ");
    ASSERT_EQ(run("new -o " + q(f)).status, 0);
    std::string text = readAll(f);
    text.resize(text.size() - 3 * 50); // cut inside the image
    writeAll(f, text);
    for (const char* cmd : {"show", "report", "export", "words"}) {
        const Result r = run(std::string(cmd) + " " + q(f));
        expectOneLineError(r, 1, f.string() + ": line ");
    }
    expectOneLineError(run("show " + q(file("absent.KQ"))), 1, "does not exist");
    // An output file in a missing folder is reported and nothing appears.
    expectOneLineError(run("new -o " + q(file("nowhere/x.KQ"))), 1, "folder does not exist");
}
