// waypost-convert end to end, for what only the real program shows: its exit
// statuses and standard input read as a stream. What each line or argument
// gives is tested in process (ConvertCommandTest).

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

extern char** environ;

namespace {

/// Starts waypost-convert with \p args and its standard input, output and error on \p in, \p out and \p err;
/// -1 when it cannot be started.
pid_t start(const std::vector<std::string>& args, int in, int out, int err) {
    std::string program = WAYPOST_CONVERT_PATH;
    std::vector<char*> argv{program.data()};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const auto& [from, to] : {std::pair{in, 0}, {out, 1}, {err, 2}})
        posix_spawn_file_actions_adddup2(&actions, from, to);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Run as a shell runs it, input, output and error redirected to files: exit status 1 when some line
// fails (the rest still converting), 2 with one line for bad usage; a large input streams through whole.
TEST(ConvertCli, ExitStatusesAndStreamsThroughFiles) {
    std::string large, largeOut;
    for (int i = 0; i < 50000; ++i) {
        large += i % 2 == 0 ? "30.4383 -84.2807\n" : "27,-81.5\n";
        largeOut += i % 2 == 0 ? "16R GU 61158 70495\n" : "17R MK 50392 86534\n";
    }
    // Arguments, input, exit status, output, the start of the error text and its number of lines.
    const std::tuple<std::vector<std::string>, std::string, int, std::string, std::string, long> cases[] = {
        {{"usng"}, "30.4383 -84.2807\n30.5,-84.25\r\nnot a point\n27\t-81.5\n0 200\n25 -80", 1,
         "16R GU 61158 70495\n16R GU 63941 77408\n\n17R MK 50392 86534\n\n17R PH 00913 65320\n",
         "waypost-convert: line 3: cannot read \"not a point\": not two numbers (latitude and longitude)\n"
         "waypost-convert: line 5: cannot read \"0 200\": longitude outside -180 to 180\n", 2},
        {{"usng"}, large, 0, largeOut, "", 0},
        {{}, "30 -84\n", 2, "", "waypost-convert: ", 1}};
    const std::string base = ::testing::TempDir() + "waypost_convert_" + std::to_string(::getpid());
    const auto slurp = [](const std::string& path) {
        std::ostringstream s;
        s << std::ifstream(path, std::ios::binary).rdbuf();
        return s.str();
    };
    for (const auto& [args, input, status, out, err, errLines] : cases) {
        std::ofstream(base + ".in", std::ios::binary) << input;
        const int fds[] = {::open((base + ".in").c_str(), O_RDONLY | O_CLOEXEC),
                           ::open((base + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600),
                           ::open((base + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)};
        const pid_t pid = start(args, fds[0], fds[1], fds[2]);
        int got = 0;
        const bool exited = pid > 0 && ::waitpid(pid, &got, 0) == pid && WIFEXITED(got);
        for (const int fd : fds) ::close(fd);
        const std::string gotOut = slurp(base + ".out"), gotErr = slurp(base + ".err");
        EXPECT_EQ(exited ? WEXITSTATUS(got) : -1, status) << gotErr.substr(0, 200);
        EXPECT_TRUE(gotOut == out) << "output differs (" << gotOut.size() << " bytes)";
        EXPECT_EQ(gotErr.substr(0, err.size()), err);
        EXPECT_EQ(std::count(gotErr.begin(), gotErr.end(), '\n'), errLines) << gotErr;
        EXPECT_TRUE(gotErr.empty() || gotErr.back() == '\n') << gotErr;
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

// A program feeding one line at a time gets each answer before it sends the next.
TEST(ConvertCli, AnswersEachLineWhileInputStaysOpen) {
    int toChild[2], fromChild[2];
    ASSERT_EQ(::pipe2(toChild, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(fromChild, O_CLOEXEC), 0);
    const pid_t pid = start({"usng"}, toChild[0], fromChild[1], STDERR_FILENO);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    ASSERT_GT(pid, 0);
    for (const auto& [line, answer] :
         {std::pair{"30.4383 -84.2807\n", "16R GU 61158 70495"}, {"-33.9,18.4\n", "34H BH 59583 45888"}}) {
        ASSERT_EQ(::write(toChild[1], line, std::strlen(line)), static_cast<ssize_t>(std::strlen(line)));
        EXPECT_EQ(readLine(fromChild[0]), answer);
    }
    ::close(toChild[1]);
    EXPECT_EQ(readLine(fromChild[0]), "");
    ::close(fromChild[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
