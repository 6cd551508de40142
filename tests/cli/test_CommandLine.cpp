// Options read the way users type them, and the exit status table that the
// programs and their help share.
#include "CommandLine.h"
#include "ExitStatus.h"
#include "OptionParser.h"
#include "TransferOutcome.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const std::vector<kq::OptionSpec> kSpecs = {
    {"--port", true, true}, {"-o", true, false}, {"--count", true, false}, {"--rx"}, {"--yes"}};

// The message of the UsageError args cause ("" when they parse).
std::string refusal(const std::vector<std::string>& args) {
    try {
        kq::ParseOptions(args, kSpecs);
    } catch (const kq::UsageError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(Options, ValueFollowsOrIsJoinedWithEquals) {
    const auto p = kq::ParseOptions({"--count=3", "-o", "out.KQ", "--port", "a=b"}, kSpecs);
    ASSERT_NE(p.option("--count"), nullptr);
    EXPECT_EQ(*p.option("--count"), "3");
    EXPECT_EQ(*p.option("-o"), "out.KQ");
    EXPECT_EQ(*p.option("--port"), "a=b");
}

TEST(Options, DoubleDashEndsTheOptions) {
    const auto p = kq::ParseOptions({"--yes", "--", "--rx", "-o"}, kSpecs);
    EXPECT_EQ(p.positional, (std::vector<std::string>{"--rx", "-o"}));
    EXPECT_TRUE(p.flag("--yes"));
    EXPECT_FALSE(p.flag("--rx"));
}

TEST(Options, LoneDashIsAnArgument) {
    EXPECT_EQ(kq::ParseOptions({"-", "-o", "-"}, kSpecs).positional,
              (std::vector<std::string>{"-"}));
}

TEST(Options, ArgumentsComeBackByteForByte) {
    // A file name in Latin-1 is no UTF-8; one in UTF-8 has bytes above 0x7f.
    const auto p = kq::ParseOptions({"caf\xe9.KQ", "--port=/dev/\xc3\xa9\xff"}, kSpecs);
    EXPECT_EQ(p.positional, (std::vector<std::string>{"caf\xe9.KQ"}));
    EXPECT_EQ(*p.option("--port"), "/dev/\xc3\xa9\xff");
}

// A missing value, an unknown option (named as typed), a value on a switch, and an option given twice that
// may come only once.
TEST(Options, RefusalsNameTheOptionAndWhatIsWrong) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"a.KQ", "--count"}, "option '--count' needs a value"},
        {{"-o"}, "option '-o' needs a value"},
        {{"--cuont=3"}, "unknown option '--cuont'"},
        {{"-z"}, "unknown option '-z'"},
        {{"--rx=1"}, "option '--rx' takes no value"},
        {{"--count", "1", "--count=2"}, "option '--count' given twice"},
        {{"--yes", "--yes"}, "option '--yes' given twice"},
    };
    for (const auto& [args, message] : cases) EXPECT_EQ(refusal(args), message);
}

TEST(Options, RepeatableOptionsComeBackInTheOrderGiven) {
    const auto p = kq::ParseOptions({"--port", "a", "--yes", "--port=b"}, kSpecs);
    EXPECT_EQ(p.options("--port"), (std::vector<std::string>{"a", "b"}));
    // The order given, options and switches together.
    ASSERT_EQ(p.given.size(), 3u);
    EXPECT_EQ(p.given[1].name, "--yes");
}

TEST(ProgramArgs, PortsAndFilesInAnyOrder) {
    const auto a = kq::ParseProgramArgs(
        {"kqprogrammer", "a.KQ", "--port=/dev/x,/dev/y", "b.KQ", "--", "-c.KQ"});
    EXPECT_EQ(a.files, (QStringList{"a.KQ", "b.KQ", "-c.KQ"}));
    ASSERT_TRUE(a.ports.has_value());
    EXPECT_EQ(*a.ports, (std::vector<std::string>{"/dev/x", "/dev/y"}));
    EXPECT_FALSE(kq::ParseProgramArgs({"kqprogrammer"}).ports.has_value());
}

TEST(ProgramArgs, AMissingOrEmptyDeviceAndStandardInputAreRefused) {
    EXPECT_THROW(kq::ParseProgramArgs({"kqprogrammer", "a.KQ", "--port"}), kq::UsageError);
    EXPECT_THROW(kq::ParseProgramArgs({"kqprogrammer", "--port", "/dev/x,"}), kq::UsageError);
    EXPECT_THROW(kq::ParseProgramArgs({"kqprogrammer", "-"}), kq::UsageError);
    EXPECT_THROW(kq::ParseProgramArgs({"kqprogrammer", "--bogus"}), kq::UsageError);
}

TEST(ExitStatus, CodesAndNamesAreDistinct) {
    std::set<int> codes;
    std::set<std::string> names;
    for (const auto& row : kq::ExitStatuses()) {
        EXPECT_TRUE(codes.insert(row.code).second) << row.code;
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
    }
}

TEST(ExitStatus, EveryOutcomeHasADocumentedCode) {
    kq::ExitCases asked;
    for (auto code : {kq::ExitOk, kq::ExitLinkFailed, kq::ExitNotInitiated, kq::ExitModelDeclined,
                      kq::ExitCancelled, kq::ExitPortBusy, kq::ExitFailure})
        asked.emplace_back(code, "");
    const std::string help = kq::ExitStatusHelp(asked, 80);
    using O = kq::TransferOutcome;
    for (O o : {O::Done, O::NoRadio, O::LinkFailed, O::VerifyFailed, O::NotInitiated,
                O::ModelDeclined, O::TableInvalid, O::Cancelled, O::PortBusy, O::BackupFailed}) {
        const std::string code = std::to_string(kq::ExitCodeOf(o));
        EXPECT_NE(help.find("\n  " + code + " "), std::string::npos) << code;
    }
    EXPECT_EQ(help.find("\n  7 "), std::string::npos) << "only the codes asked for";
}
