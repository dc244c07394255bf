// waypost-convert in process: reading lines, arguments, streams and exit statuses.

#include "engine/ConvertCommand.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace waypost::engine;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

Outcome run(std::vector<std::string_view> args, const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    Outcome r;
    r.status = runConvertCommand(args, in, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

struct GoodLine {
    const char* line;
    double latitude;
    double longitude;
};

class ReadsLatLong : public ::testing::TestWithParam<GoodLine> {};

TEST_P(ReadsLatLong, TwoNumbers) {
    const LatLongReading r = readLatLong(GetParam().line);
    ASSERT_TRUE(r.ok) << "\"" << GetParam().line << "\": " << r.error;
    EXPECT_EQ(r.latitude, GetParam().latitude);
    EXPECT_EQ(r.longitude, GetParam().longitude);
    EXPECT_TRUE(r.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadsLatLong,
    ::testing::Values(GoodLine{"30.5 -84.25", 30.5, -84.25}, GoodLine{"30.5,-84.25", 30.5, -84.25},
                      GoodLine{"30.5\t-84.25", 30.5, -84.25}, GoodLine{"  30.5 ,  -84.25  ", 30.5, -84.25},
                      GoodLine{"+30.5 +84.25", 30.5, 84.25}, GoodLine{"3.05e1 -8.425E1", 30.5, -84.25},
                      GoodLine{"-.5 .25", -0.5, 0.25}, GoodLine{"30. -84.", 30, -84},
                      GoodLine{"-90 -180", -90, -180}, GoodLine{"90 180", 90, 180}));

struct BadLine {
    const char* line;
    const char* reason;
};

class RefusesLatLong : public ::testing::TestWithParam<BadLine> {};

TEST_P(RefusesLatLong, WithAReason) {
    const LatLongReading r = readLatLong(GetParam().line);
    EXPECT_FALSE(r.ok) << GetParam().line;
    EXPECT_NE(r.error.find(GetParam().reason), std::string_view::npos) << GetParam().line << ": " << r.error;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusesLatLong,
    ::testing::Values(BadLine{"", "not two numbers"}, BadLine{"30.5", "not two numbers"},
                      BadLine{"30.5 -84.25 1", "not two numbers"}, BadLine{"30.5,,-84.25", "not two numbers"},
                      BadLine{"30.5;-84.25", "not two numbers"}, BadLine{"30.5x -84.25", "not two numbers"},
                      BadLine{"30.5-84.25", "not two numbers"}, BadLine{"30.5 - 84.25", "not two numbers"},
                      BadLine{"+-30 84", "not two numbers"}, BadLine{"30,5 -84,25", "not two numbers"},
                      BadLine{"1e999 0", "not two numbers"}, BadLine{"90.0001 0", "latitude outside"},
                      BadLine{"nan 0", "latitude outside"}, BadLine{"0 180.0001", "longitude outside"},
                      BadLine{"0 -inf", "longitude outside"}));

struct ArgsCase {
    std::vector<std::string_view> args;
    const char* out;
};

class ConvertsArguments : public ::testing::TestWithParam<ArgsCase> {};

TEST_P(ConvertsArguments, OneResultLine) {
    const Outcome r = run(GetParam().args, "ignored 1 2\n");
    EXPECT_EQ(r.status, convertOk) << r.err;
    EXPECT_EQ(r.out, GetParam().out);
    EXPECT_EQ(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConvertsArguments,
    ::testing::Values(ArgsCase{{"albers", "30.5", "-84.25"}, "376025,721400\n"},
                      ArgsCase{{"albers", "23", "-84"}, "400000,-110685\n"},
                      ArgsCase{{"utm", "30.4383", "-84.2807"}, "16R 761158 3370495\n"},
                      ArgsCase{{"usng", "30.4383", "-84.2807"}, "16R GU 61158 70495\n"},
                      ArgsCase{{"usng", "30.4383,-84.2807"}, "16R GU 61158 70495\n"},
                      ArgsCase{{"usng", "30.4383,", "-84.2807"}, "16R GU 61158 70495\n"},
                      ArgsCase{{"usng", "-.5", "-.5"}, "30M YE 78266 44682\n"},
                      ArgsCase{{"latlong", "16R", "GU", "61158", "70495"}, "-084.2807 30.4383\n"},
                      ArgsCase{{"latlong", "16R GU 61158 70495"}, "-084.2807 30.4383\n"},
                      ArgsCase{{"latlong", "17rmk5039286534"}, "-081.5 27\n"},
                      ArgsCase{{"usng", "--", "-33.9", "18.4"}, "34H BH 59583 45888\n"},
                      ArgsCase{{"albers", "30.5", "--", "-84.25"}, "376025,721400\n"}));

TEST(ConvertArguments, BadValuesExitOneWithTheReason) {
    const Outcome r = run({"usng", "91", "0"});
    EXPECT_EQ(r.status, convertSomeFailed);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "waypost-convert: cannot read \"91 0\": latitude outside -90 to 90\n");

    const Outcome ref = run({"latlong", "16RGU611587049"});
    EXPECT_EQ(ref.status, convertSomeFailed);
    EXPECT_NE(ref.err.find("odd number of digits"), std::string::npos) << ref.err;

    const Outcome one = run({"albers", "30.5"});
    EXPECT_EQ(one.status, convertSomeFailed);
    EXPECT_NE(one.err.find("not two numbers"), std::string::npos) << one.err;
}

struct UsageCase {
    std::vector<std::string_view> args;
    const char* reason;
};

class BadUsage : public ::testing::TestWithParam<UsageCase> {};

TEST_P(BadUsage, ExitsTwoWithOneLine) {
    const Outcome r = run(GetParam().args, "30 -84\n");
    EXPECT_EQ(r.status, convertBadUsage);
    EXPECT_EQ(r.out, "");
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;  // exactly one line
    EXPECT_EQ(r.err.rfind("waypost-convert: ", 0), 0U) << r.err;
    EXPECT_NE(r.err.find(GetParam().reason), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Table, BadUsage,
                         ::testing::Values(UsageCase{{}, "missing command"},
                                           UsageCase{{"mgrs", "1", "2"}, "unknown command \"mgrs\""},
                                           UsageCase{{"-x"}, "unknown option \"-x\""},
                                           UsageCase{{"usng", "--precision", "3"}, "unknown option"},
                                           UsageCase{{"usng", "30", "-84", "-x"}, "unknown option \"-x\""},
                                           UsageCase{{"usng", "1", "2", "3"}, "two values"},
                                           UsageCase{{"albers", "1", "2", "3"}, "two values"}));

TEST(ConvertHelp, DocumentsEveryCommandAndExitsZero) {
    for (std::string_view flag : {"--help", "-h"}) {
        const Outcome r = run({flag});
        EXPECT_EQ(r.status, convertOk);
        EXPECT_EQ(r.out, convertHelpText());
        for (const char* word : {"albers", "utm", "usng", "latlong", "standard input", "Exit status", "-78, -84 or -90"})
            EXPECT_NE(r.out.find(word), std::string::npos) << word;
    }
    EXPECT_EQ(run({"usng", "--help"}).status, convertOk);
}

TEST(ConvertLines, OneResultPerLineBadLinesEmpty) {
    const Outcome r = run({"usng"}, "30.4383 -84.2807\nnonsense\n27,-81.5\n\n91 0\n-33.9\t18.4\n");
    EXPECT_EQ(r.status, convertSomeFailed);
    EXPECT_EQ(r.out, "16R GU 61158 70495\n\n17R MK 50392 86534\n\n\n34H BH 59583 45888\n");
    EXPECT_EQ(r.err,
              "waypost-convert: line 2: cannot read \"nonsense\": not two numbers (latitude and longitude)\n"
              "waypost-convert: line 4: cannot read \"\": not two numbers (latitude and longitude)\n"
              "waypost-convert: line 5: cannot read \"91 0\": latitude outside -90 to 90\n");
}

TEST(ConvertLines, AllGoodExitsZero) {
    const Outcome r = run({"albers"}, "24 -84\n30.5 -84.25\r\n27 -81.5\n25,-80");
    EXPECT_EQ(r.status, convertOk) << r.err;
    EXPECT_EQ(r.out, "400000,0\n376025,721400\n647616,335261\n803341,117363\n");
    EXPECT_EQ(r.err, "");
}

TEST(ConvertLines, EmptyInputGivesNothing) {
    const Outcome r = run({"utm"}, "");
    EXPECT_EQ(r.status, convertOk);
    EXPECT_EQ(r.out, "");
}

TEST(ConvertLines, ReferencesWithAndWithoutBlanks) {
    const Outcome r = run({"latlong"}, "16R GU 61158 70495\n17RMK5039286534\r\n34H BH 59583 45888\n16RGU611587049\n9R WP 00000 18785\n");
    EXPECT_EQ(r.status, convertSomeFailed);
    EXPECT_EQ(r.out, "-084.2807 30.4383\n-081.5 27\n18.4 -33.9\n\n-129 30\n");
    EXPECT_NE(r.err.find("line 4: cannot read \"16RGU611587049\": an odd number of digits"), std::string::npos) << r.err;
}

TEST(ConvertLines, TooLongLineIsRefusedAndTheRestConverts) {
    std::string input = "30.5 -84.25\n";
    input += std::string(10000, '7');
    input += "\n27 -81.5\n";
    const Outcome r = run({"albers"}, input);
    EXPECT_EQ(r.status, convertSomeFailed);
    EXPECT_EQ(r.out, "376025,721400\n\n647616,335261\n");
    EXPECT_NE(r.err.find("line 2: cannot read \"7777"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("...\": the line is longer than 4096 characters"), std::string::npos) << r.err;
    EXPECT_LT(r.err.size(), 300U);
}

TEST(ConvertLines, LineOfExactlyTheLimitIsRead) {
    std::string longLine = "30.5";
    longLine += std::string(4096 - 4 - 7, ' ');
    longLine += "-84.25 ";
    ASSERT_EQ(longLine.size(), 4096U);
    // Its CR LF ending does not count, nor does a last line without one.
    const Outcome r = run({"albers"}, longLine + "\r\n" + longLine + "\n" + longLine);
    EXPECT_EQ(r.status, convertOk) << r.err;
    EXPECT_EQ(r.out, "376025,721400\n376025,721400\n376025,721400\n");
    EXPECT_EQ(run({"albers"}, "7" + longLine + "\r\n").status, convertSomeFailed);
}

TEST(ConvertLines, ReferencesThatDoNotExistAndControlCharactersInMessages) {
    const Outcome r = run({"latlong"}, std::string("16RSU6115870495\n4CER2456090902\n16R\tGU 61158 70495\n\x1b[2J\0x\n", 57));
    EXPECT_EQ(r.status, convertSomeFailed);
    EXPECT_EQ(r.out, "\n\n-084.2807 30.4383\n\n");
    EXPECT_NE(r.err.find("line 1: cannot read \"16RSU6115870495\": the column letter S is not one of zone 16's"),
              std::string::npos) << r.err;
    EXPECT_NE(r.err.find("line 2: cannot read \"4CER2456090902\": the 100 km square lies outside latitude band C"),
              std::string::npos) << r.err;
    // The escape sequence and the zero byte are shown, not sent to the terminal.
    EXPECT_NE(r.err.find("line 4: cannot read \"\\x1b[2J\\0x\""), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos);
}

TEST(ConvertHelp, AfterTheEndOfOptionsHelpIsAValue) {
    const Outcome r = run({"latlong", "--", "--help"});
    EXPECT_EQ(r.status, convertSomeFailed);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("cannot read \"--help\""), std::string::npos) << r.err;
    // Help that cannot be written says so.
    std::istringstream in;
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    std::ostringstream err;
    EXPECT_EQ(runConvertCommand(std::vector<std::string_view>{"--help"}, in, out, err), convertSomeFailed);
    EXPECT_NE(err.str().find("cannot write the help"), std::string::npos);
}

}  // namespace
