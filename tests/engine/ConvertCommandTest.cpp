// waypost-convert in process (reading lines, arguments, streams and exit
// statuses), then the built program end to end, for what only the real program
// shows: its exit statuses and standard input read as a stream.

#include "engine/ConvertCommand.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using namespace waypost::engine;

TEST(ReadLatLong, TwoNumbersOrTheReasonThereAreNot) {
    const std::tuple<const char*, double, double> read[] = {
        {"30.5 -84.25", 30.5, -84.25}, {"  30.5 ,  -84.25  ", 30.5, -84.25}, {"+30.5 +84.25", 30.5, 84.25},
        {"3.05e1 -8.425E1", 30.5, -84.25}, {"30. -84.", 30, -84}, {"-90 -180", -90, -180}, {"90 180", 90, 180}};
    for (const auto& [line, latitude, longitude] : read) {
        const LatLongReading r = readLatLong(line);
        EXPECT_TRUE(r.ok && r.error.empty()) << "\"" << line << "\": " << r.error;
        EXPECT_EQ(std::pair(r.latitude, r.longitude), std::pair(latitude, longitude)) << line;
    }
    const std::pair<const char*, std::vector<const char*>> refused[] = {
        {"not two numbers", {"", "30.5", "30.5 -84.25 1", "30.5,,-84.25", "30.5-84.25", "+-30 84", "1e999 0"}},
        {"latitude outside", {"90.0001 0", "nan 0"}},
        {"longitude outside", {"0 180.0001", "0 -inf"}}};
    for (const auto& [reason, lines] : refused)
        for (const char* line : lines) {
            const LatLongReading r = readLatLong(line);
            EXPECT_TRUE(!r.ok && r.error.find(reason) != std::string_view::npos) << line << ": " << r.error;
        }
}

// Every message line names the program, ends the line and shows no control character; the status says
// whether everything converted (0), something could not be read (1) or the usage was wrong (2).
TEST(ConvertCommand, ArgumentsAndLinesGiveTheirResultsStatusAndMessages) {
    const std::string ignored = "ignored 1 2\n", usage = "30 -84\n";
    // A line of exactly the longest length; its CR LF ending does not count, nor does a last line without one.
    const std::string longest = "30.5" + std::string(4096 - 4 - 7, ' ') + "-84.25 ";
    // Arguments, standard input, status, output, and the message lines in order: a whole line (it names the
    // program) or a part of one.
    const std::tuple<std::vector<std::string_view>, std::string, int, std::string, std::vector<std::string>> runs[] = {
        // The values as arguments give one line, whatever is on standard input.
        {{"utm", "30.4383", "-84.2807"}, ignored, convertOk, "16R 761158 3370495\n", {}},
        {{"usng", "-.5", "-.5"}, ignored, convertOk, "30M YE 78266 44682\n", {}},
        // Help, also after a command.
        {{"-h"}, "", convertOk, convertHelpText(), {}}, {{"usng", "--help"}, "", convertOk, convertHelpText(), {}},
        // Values that cannot be read: nothing on the output, the reason on the error stream.
        {{"usng", "91", "0"}, "", convertSomeFailed, "",
         {"waypost-convert: cannot read \"91 0\": latitude outside -90 to 90"}},
        {{"latlong", "16RGU611587049"}, "", convertSomeFailed, "", {"odd number of digits"}},
        {{"latlong", "--", "--help"}, "", convertSomeFailed, "", {"cannot read \"--help\""}},
        // Bad usage: one line.
        {{}, usage, convertBadUsage, "", {"missing command"}},
        {{"mgrs", "1", "2"}, usage, convertBadUsage, "", {"unknown command \"mgrs\""}},
        {{"-x"}, usage, convertBadUsage, "", {"unknown option \"-x\""}},
        {{"usng", "30", "-84", "-x"}, usage, convertBadUsage, "", {"unknown option \"-x\""}},
        {{"usng", "1", "2", "3"}, usage, convertBadUsage, "", {"two values"}},
        // Standard input: one result a line, an empty line for a line that cannot be read.
        {{"usng"}, "30.4383 -84.2807\nnonsense\n27,-81.5\n\n91 0\n-33.9\t18.4\n", convertSomeFailed,
         "16R GU 61158 70495\n\n17R MK 50392 86534\n\n\n34H BH 59583 45888\n",
         {"waypost-convert: line 2: cannot read \"nonsense\": not two numbers (latitude and longitude)",
          "waypost-convert: line 4: cannot read \"\": not two numbers (latitude and longitude)",
          "waypost-convert: line 5: cannot read \"91 0\": latitude outside -90 to 90"}},
        {{"albers"}, "24 -84\n30.5 -84.25\r\n27 -81.5\n25,-80", convertOk,
         "400000,0\n376025,721400\n647616,335261\n803341,117363\n", {}},
        {{"utm"}, "", convertOk, "", {}},
        // References that do not exist; an escape sequence and a zero byte are shown, not sent to the terminal.
        {{"latlong"}, std::string("16RSU6115870495\n4CER2456090902\n16R\tGU 61158 70495\n\x1b[2J\0x\n", 57),
         convertSomeFailed, "\n\n-084.2807 30.4383\n\n",
         {"line 1: cannot read \"16RSU6115870495\": the column letter S is not one of zone 16's",
          "line 2: cannot read \"4CER2456090902\": the 100 km square lies outside latitude band C",
          "line 4: cannot read \"\\x1b[2J\\0x\""}},
        {{"albers"}, longest + "\r\n" + longest + "\n" + longest, convertOk,
         "376025,721400\n376025,721400\n376025,721400\n", {}},
        {{"albers"}, "7" + longest + "\r\n", convertSomeFailed, "\n", {"the line is longer than 4096 characters"}},
        // A far longer line is skipped whole, shown cut short, and the next line converts.
        {{"albers"}, "30.5 -84.25\n" + std::string(10000, '7') + "\n27 -81.5\n", convertSomeFailed,
         "376025,721400\n\n647616,335261\n",
         {"waypost-convert: line 2: cannot read \"" + std::string(80, '7') +
          "...\": the line is longer than 4096 characters"}}};
    for (const auto& [args, input, status, out, messages] : runs) {
        SCOPED_TRACE(::testing::PrintToString(args) + " < " + input.substr(0, 60));
        std::istringstream in(input);
        std::ostringstream gotOut, gotErr;
        EXPECT_EQ(runConvertCommand(args, in, gotOut, gotErr), status) << gotErr.str();
        EXPECT_EQ(gotOut.str(), out);
        const std::string err = gotErr.str();
        std::istringstream lines(err);
        std::size_t n = 0;
        for (std::string line; std::getline(lines, line); ++n)
            EXPECT_TRUE(line.starts_with("waypost-convert: ") && n < messages.size() &&
                        line.find(messages[n]) != std::string::npos &&
                        (!messages[n].starts_with("waypost-convert: ") || line == messages[n]) &&
                        std::ranges::none_of(line, [](unsigned char ch) { return std::iscntrl(ch) != 0; }))
                << line;
        EXPECT_EQ(n, messages.size()) << err;
        EXPECT_TRUE(err.empty() || err.back() == '\n') << err;
    }
}

// The help documents every command; help that cannot be written says so.
TEST(ConvertHelp, DocumentsEveryCommandAndFailsWhenItCannotBeWritten) {
    for (const char* word : {"albers", "utm", "usng", "latlong", "standard input", "Exit status", "-78, -84 or -90"})
        EXPECT_NE(convertHelpText().find(word), std::string::npos) << word;
    std::istringstream in;
    std::ostringstream out, err;
    out.setstate(std::ios::badbit);
    EXPECT_EQ(runConvertCommand(std::vector<std::string_view>{"--help"}, in, out, err), convertSomeFailed);
    EXPECT_NE(err.str().find("cannot write the help"), std::string::npos);
}

// Run as a shell runs it, input, output and error redirected to files: a large input streams through whole,
// exit status 1 as its last line fails, 2 for bad usage (0: AnswersEachLineWhileInputStaysOpen).
TEST(ConvertCli, ExitStatusesAndStreamsThroughFiles) {
    std::string large, largeOut;
    for (int i = 0; i < 50000; ++i) {
        large += i % 2 == 0 ? "30.4383 -84.2807\n" : "27,-81.5\n";
        largeOut += i % 2 == 0 ? "16R GU 61158 70495\n" : "17R MK 50392 86534\n";
    }
    // Arguments, input, exit status, output and the start of the error text (its lines: ConvertCommand above).
    const std::tuple<std::string, std::string, int, std::string, std::string> cases[] = {
        {"usng", large + "not a point\n", 1, largeOut + "\n",
         "waypost-convert: line 50001: cannot read \"not a point\": not two numbers (latitude and longitude)\n"},
        {"", "30 -84\n", 2, "", "waypost-convert: missing command"}};
    const std::string base = ::testing::TempDir() + "waypost_convert_" + std::to_string(::getpid());
    const auto slurp = [](const std::string& path) {
        std::ostringstream s;
        s << std::ifstream(path, std::ios::binary).rdbuf();
        return s.str();
    };
    for (const auto& [args, input, status, out, err] : cases) {
        std::ofstream(base + ".in", std::ios::binary) << input;
        const int got = std::system(("'" WAYPOST_CONVERT_PATH "' " + args + " <'" + base + ".in' >'" + base +
                                     ".out' 2>'" + base + ".err'").c_str());
        const std::string gotOut = slurp(base + ".out"), gotErr = slurp(base + ".err");
        EXPECT_EQ(WIFEXITED(got) ? WEXITSTATUS(got) : -1, status) << gotErr.substr(0, 200);
        EXPECT_TRUE(gotOut == out) << "output differs (" << gotOut.size() << " bytes)";
        EXPECT_EQ(gotErr.substr(0, err.size()), err);
    }
    for (const char* suffix : {".in", ".out", ".err"}) std::remove((base + suffix).c_str());
}

/// One line from \p fd; "" at the end or when nothing comes within 20 seconds.
std::string readLine(int fd) {
    std::string line;
    pollfd p{fd, POLLIN, 0};
    for (char c = 0; ::poll(&p, 1, 20000) > 0 && ::read(fd, &c, 1) > 0; line += c)
        if (c == '\n') return line;
    return {};
}

// A program feeding one line at a time gets each answer before it sends the next, and the end of its input
// ends the program.
TEST(ConvertCli, AnswersEachLineWhileInputStaysOpen) {
    int fromChild[2];
    ASSERT_EQ(::pipe(fromChild), 0);
    FILE* toChild = ::popen(("exec '" WAYPOST_CONVERT_PATH "' usng >&" + std::to_string(fromChild[1])).c_str(), "w");
    ::close(fromChild[1]);
    ASSERT_NE(toChild, nullptr);
    for (const auto& [line, answer] :
         {std::pair{"30.4383 -84.2807\n", "16R GU 61158 70495"}, {"-33.9,18.4\n", "34H BH 59583 45888"}}) {
        ASSERT_TRUE(std::fputs(line, toChild) >= 0 && std::fflush(toChild) == 0);
        EXPECT_EQ(readLine(fromChild[0]), answer);
    }
    const int status = ::pclose(toChild);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(readLine(fromChild[0]), "");  // and nothing more came
    ::close(fromChild[0]);
}

}  // namespace
