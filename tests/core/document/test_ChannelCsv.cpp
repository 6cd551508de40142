// CSV in our own and the common layout, and quoting user text in messages.
#include "ChannelCsv.h"
#include "ChannelFile.h"
#include "ChannelText.h"
#include "CoreTestSupport.h"
#include "MessageQuote.h"

#include <gtest/gtest.h>

using kq::ClassKQxx53;
using kq::CsvLayout;

namespace {

// Channels every Duplex form and both modes and powers need.
ClassKQxx53 mixedTable() {
    ClassKQxx53 dev;
    // Channel, receive and transmit MHz, spacing (both sides) and power.
    const std::tuple<int16_t, double, double, int32_t, int32_t> channels[] = {{0, 146.52, 146.52, -1, -1},
                                                                              {1, 145.3, 144.7, 0, 0},
                                                                              {3, 440.00625, 445.00625, -1, 0},
                                                                              {7, 150.0125, 450.0125, 0, -1},
                                                                              {15, 136.005, 0, -1, -1}};
    for (const auto& [ch, rx, tx, space, power] : channels) {
        dev.TheRxFreq(ch, rx);
        dev.TheTxFreq(ch, tx);
        dev.TheRxCHSpace(ch, space);
        dev.TheTxCHSpace(ch, space);
        dev.TheRFPower(ch, power);
    }
    return dev;
}

} // namespace

TEST(MessageQuote, ShowsAnyTextOnOneSafeLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"150.003", "\"150.003\""},
        {"a\r\nb\tc", "\"a\\r\\nb\\tc\""},
        {"\x1b[2J\x07\x7f", "\"\\x1B[2J\\x07\\x7F\""},
        {"say \"hi\" \\", "\"say \\\"hi\\\" \\\\\""},
        {"\xff\xc3", "\"\\xFF\\xC3\""},
        {"K\xC3\xA9 \xE2\x80\xAE \xC2\x9B", "\"K\xC3\xA9 \\u202E \\u009B\""},
        {std::string(5000, 'x'), "\"" + std::string(40, 'x') + "...\""},
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(kq::QuoteForMessage(text), shown);
    EXPECT_EQ(kq::QuoteForMessage("abcdef", 3), "\"abc...\"");
    EXPECT_EQ(kq::PathForMessage("/data/a b/\"x\".KQ"), "/data/a b/\"x\".KQ");
    const std::string odd = "/data/" + std::string(60, 'd') + "\n\x1b[2J/x.KQ";
    EXPECT_EQ(kq::PathForMessage(odd), "\"/data/" + std::string(60, 'd') + "\\n\\x1B[2J/x.KQ\"");
}

TEST(ChannelCsv, ExportThenImportGivesTheSameWordsInBothLayoutsOrRefusesWhatCannotBeExpressed) {
    const ClassKQxx53 dev = mixedTable();
    for (CsvLayout layout : {CsvLayout::Kq, CsvLayout::Chirp}) {
        const std::string text = kq::ExportCsv(dev, layout);
        const kq::CsvImport back = kq::ImportCsv(text, ClassKQxx53(), "t.csv");
        EXPECT_EQ(back.layout, layout);
        EXPECT_TRUE(back.dropped.empty());
        ClassKQxx53 copy = dev, got = back.device;
        EXPECT_EQ(kq::ChannelFileText(got), kq::ChannelFileText(copy)); // the same words
    }
    const std::string chirp = kq::ExportCsv(dev, CsvLayout::Chirp);
    EXPECT_EQ(chirp.substr(0, chirp.find('\n')),
              "Location,Name,Frequency,Duplex,Offset,Tone,"
              "rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,Skip,Power,Comment");
    for (const char* row :
         {"0,,146.520000,,0.000000,,88.5,88.5,023,NN,FM,5.00,,High,\n", "1,,145.300000,-,0.600000,",
          "3,,440.006250,+,5.000000,", "7,,150.012500,split,450.012500,", "15,,136.005000,off,0.000000,"}) {
        EXPECT_NE(chirp.find(row), std::string::npos) << row << "\n" << chirp;
    }
    EXPECT_EQ(std::count(chirp.begin(), chirp.end(), '\n'), 6); // unused channels omitted
    // What the common layout cannot express is refused, and only there.
    ClassKQxx53 spacing = dev, txOnly = dev;
    spacing.TheTxCHSpace(3, 0);
    txOnly.TheTxFreq(9, 150);
    for (const auto& [bad, part] : {std::pair{spacing, "channel 3: receive and transmit spacing differ"},
                                    std::pair{txOnly, "channel 9: a transmit frequency without"}}) {
        const std::string msg = kqtest::ErrorOf<kq::FileError>([&] { kq::ExportCsv(bad, CsvLayout::Chirp); });
        EXPECT_EQ(msg.rfind(part, 0), 0u) << part << ": " << msg;
        EXPECT_NO_THROW(kq::ExportCsv(bad, CsvLayout::Kq));
    }
}

TEST(ChannelCsv, CommonLayoutInAnyColumnOrderWithUnknownColumnsAndWatts) {
    const std::string text = "\xEF\xBB\xBF"
                             "Mode,Extra,Frequency,Location,Power,Offset,Duplex,Name,Tone,Comment\r\n"
                             "NFM,x,146.520000,2,5.0W,0.000000,,Home,,\r\n"
                             "FM,y,145.300000,4,3W,0.600000,-,,Tone,\"a, b\"\r\n"
                             "\r\n"
                             "FM,,440.000000,5,0.5,5.000000,+,Rpt,,\r\n";
    const kq::CsvImport r = kq::ImportCsv(text, ClassKQxx53(), "c.csv");
    EXPECT_EQ(r.layout, CsvLayout::Chirp);
    EXPECT_EQ(r.dropped, (std::vector<std::string>{"Name", "Tone", "Comment"}));
    // 5 W is above the 3 W threshold, 3 W is not.
    std::string rows;
    for (int16_t ch : {0, 2, 4, 5}) rows += kq::ChannelRow(r.device, ch) + "\n";
    EXPECT_EQ(rows, "0   0     NONE     12.5K       NONE     12.5K    L  \n"
                    "2   2  146.520000  12.5K    146.520000  12.5K    H  \n"
                    "4   4  145.300000  25.0K    144.700000  25.0K    L  \n"
                    "5   5  440.000000  25.0K    445.000000  25.0K    L  \n");
}

TEST(ChannelCsv, RowsThatCannotBeRepresentedNameTheRow) {
    const std::string kqHead = kq::CsvHeading(CsvLayout::Kq) + "\n", good = "0,150,150,12.5,12.5,low\n";
    const std::string chHead = "Location,Frequency,Duplex,Offset,Mode,Power\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {kqHead + good + good, "row 3: channel 0 appears twice"},
        {kqHead + good + "1,150.003,150,12.5,12.5,low\n", "row 3: rx_mhz \"150.003\""},
        {kqHead + good + "\n1,150,99.5,12.5,12.5,low\n", "row 4: tx_mhz \"99.5\""},
        {kqHead + "1,150,150,20,12.5,low\n", "row 2: rx_spacing_khz \"20\""},
        {kqHead + "1,150,150,12.5,12.5,med\x1b[31mium\n", "row 2: power \"med\\x1B[31mium\""},
        {kqHead + "1,\"150,150,12.5,12.5,low\n", "row 2: a quoted field is not closed"},
        {"", "row 1: the text is empty"},
        {"chan,rx,tx\n" + good, "row 1: the first row must be the heading"},
        {"Location,Frequency,Mode\n", "row 1: the heading has no duplex column"},
        {chHead + "1,146.52,,0,FM,High\n\n1,146.52,,0,FM,High\n", "row 4: channel 1 appears twice"},
        {chHead + "1,146.52,+,1.0031,FM,High\n", "row 2: the transmit frequency 147.523100 MHz"},
        {chHead + "1,146.52,split,,FM,High\n", "row 2: Offset \"\" is not a frequency"},
        {chHead + "1,146.52,x,0,FM,High\n", "row 2: Duplex \"x\" is none of"},
        {chHead + "1,146.52,,0,FM,Mid\n", "row 2: Power \"Mid\" is neither"},
        {chHead + "1,146.52,,0,FM,High,,1\n", "row 2: field 8 holds \"1\" but the heading names 6"},
        {chHead + "1,\"" + std::string(3000, '9') + "\r\n\",,0,FM,High\n",
         "row 2: Frequency \"" + std::string(40, '9') + "...\" is not"},
        {chHead + "16,29.6,,0,AM\n" + "1,\"146.52,,0,FM\n", "row 3: a quoted field is not closed"},
        {"Location,Frequency,Duplex,Mode\n", "row 1: the heading has no offset column"},
        {kqHead + "0,150,150,12.5\n", "row 2: 4 fields instead of 6"},
        {chHead + std::string(kq::MaxCsvBytes, ','), "the file is too large for a channel list"},
    };
    for (const auto& [text, part] : cases) {
        const std::string msg = kqtest::ErrorOf<kq::FileError>([&] { kq::ImportCsv(text, ClassKQxx53(), "in.csv"); });
        EXPECT_EQ(msg.rfind("in.csv: " + part, 0), 0u) << part << ": " << msg;
        EXPECT_EQ(msg.find('\n'), std::string::npos) << msg;
        EXPECT_LT(msg.size(), 200u) << msg;
        // Skipping leaves out an unfit row; text that is no channel list is still refused whole.
        kq::CsvImport skipped;
        std::string named = kqtest::ErrorOf<kq::FileError>(
            [&] { skipped = kq::ImportCsv(text, ClassKQxx53(), "in.csv", kq::CsvUnfit::Skip); });
        for (const auto& u : skipped.unfit)
            named += "in.csv: row " + std::to_string(u.line) + ": " + u.reason + "; nothing was imported.";
        EXPECT_EQ(named, msg) << part;
    }
}

// Lists in the common layout as other programmers write them: every row one
// empty field longer than the heading, bands this radio has and bands it has
// not, modes and channels it cannot hold.
TEST(ChannelCsv, MixedBandListNamesEveryUnfitRowOrImportsTheOthers) {
    const std::string text = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
                             "Mode,TStep,Skip,Comment,URCALL,RPT1CALL,RPT2CALL\r\n"
                             "0,Call2m,146.520000,,0.600000,,88.5,88.5,023,NN,FM,5.00,,,,,,\r\n"
                             "1,Rpt2m,145.310000,-,0.600000,Tone,100.0,88.5,023,NN,FM,5.00,,Club,,,,\r\n"
                             "2,Ten,29.600000,,0.000000,,88.5,88.5,023,NN,FM,5.00,,,,,,\r\n"
                             "3,Six,52.525000,-,1.000000,,88.5,88.5,023,NN,FM,5.00,,,,,,\r\n"
                             "4,Simplex70,446.006250,,0.000000,,88.5,88.5,023,NN,NFM,6.25,,,,,,\r\n"
                             "5,Rpt70,442.100000,+,5.000000,,88.5,88.5,023,NN,FM,5.00,,,,,,\r\n"
                             "6,Air,121.500000,,0.000000,,88.5,88.5,023,NN,AM,25.00,,,,,,\r\n"
                             "7,\"23cm, beacon\",1296.000000,,0.000000,,88.5,88.5,023,NN,FM,5.00,,,,,,\r\n"
                             "8,DStar,145.670000,,0.000000,,88.5,88.5,023,NN,DV,5.00,,,CQCQCQ,,,\r\n"
                             "9,OffGrid,146.522500,,0.000000,,88.5,88.5,023,NN,FM,5.00,,,,,,\r\n"
                             "5,Again,443.000000,,0.000000,,88.5,88.5,023,NN,FM,5.00,,,,,,\r\n"
                             "16,Beyond,147.000000,,0.000000,,88.5,88.5,023,NN,FM,5.00,,,,,,\r\n"
                             "10,Rpt2mHi,147.390000,+,0.600000,,88.5,88.5,023,NN,NFM,5.00,,,,,,\r\n"
                             ",,,,,,,,,,,,,,,,,\r\n"; // a blank line as spreadsheets save it
    const std::vector<std::pair<int, std::string>> unfit = {
        {4, "Frequency \"29.600000\" is not a receive frequency"},
        {5, "Frequency \"52.525000\" is not"},
        {8, "Mode \"AM\" is neither FM"},
        {9, "Frequency \"1296.000000\" is not"},
        {10, "Mode \"DV\" is neither"},
        {11, "Frequency \"146.522500\" is not"},
        {12, "channel 5 appears twice (first on row 7)"},
        {13, "Location \"16\" is not a channel number from 0 to 15"}};

    const kq::CsvImport r = kq::ImportCsv(text, ClassKQxx53(), "m.csv", kq::CsvUnfit::Skip);
    ASSERT_EQ(r.unfit.size(), unfit.size());
    for (std::size_t i = 0; i < unfit.size(); ++i) {
        EXPECT_EQ(r.unfit[i].line, unfit[i].first);
        EXPECT_EQ(r.unfit[i].reason.rfind(unfit[i].second, 0), 0u) << r.unfit[i].reason;
    }
    // URCALL is only on a row left out, so it is not reported as dropped.
    EXPECT_EQ(r.dropped, (std::vector<std::string>{"Name", "Tone", "Comment"}));
    std::string rows;
    for (int16_t ch : {0, 1, 4, 5, 10, 2, 9}) rows += kq::ChannelRow(r.device, ch) + "\n";
    EXPECT_EQ(rows, "0   0  146.520000  25.0K    146.520000  25.0K    L  \n"
                    "1   1  145.310000  25.0K    144.710000  25.0K    L  \n"
                    "4   4  446.006250  12.5K    446.006250  12.5K    L  \n"
                    "5   5  442.100000  25.0K    447.100000  25.0K    L  \n"
                    "10  A  147.390000  12.5K    147.990000  12.5K    L  \n"
                    "2   2     NONE     12.5K       NONE     12.5K    L  \n"
                    "9   9     NONE     12.5K       NONE     12.5K    L  \n");

    // Refused, one message names them all, each on a line of its own.
    std::string all = "m.csv: 8 rows cannot be held by this radio; nothing was imported:";
    for (const auto& u : r.unfit) all += "\n  row " + std::to_string(u.line) + ": " + u.reason;
    EXPECT_EQ(kqtest::ErrorOf<kq::FileError>([&] { kq::ImportCsv(text, ClassKQxx53(), "m.csv"); }), all);
}

// 60 numbered rows: the first 16 fit, the 44 beyond channel 15 are named.
TEST(ChannelCsv, LongListKeepsChannelsUpToFifteen) {
    std::string text = "Location,Name,Frequency,Duplex,Offset,Tone,Mode,Power\n";
    for (int k = 0; k < 60; ++k)
        text += std::to_string(k) + ",," + kq::DecimalText(430 + k * 0.025) + ",,0,,NFM,5.0W,\n";
    const kq::CsvImport r = kq::ImportCsv(text, ClassKQxx53(), "long.csv", kq::CsvUnfit::Skip);
    ASSERT_EQ(r.unfit.size(), 44u);
    EXPECT_EQ(std::make_pair(r.unfit.front().line, r.unfit.back().line), std::make_pair(18, 61));
    EXPECT_DOUBLE_EQ(r.device.Channel(15).RxFreq, 430.375);
    EXPECT_EQ(r.device.Channel(15).RFPower, -1);
    const std::string msg = kqtest::ErrorOf<kq::FileError>([&] { kq::ImportCsv(text, ClassKQxx53(), "long.csv"); });
    EXPECT_EQ(std::count(msg.begin(), msg.end(), '\n'), 44);
    EXPECT_NE(msg.find("\n  row 61: Location \"59\" is not a channel number"), std::string::npos);
}
