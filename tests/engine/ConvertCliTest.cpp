// waypost-convert end to end, for what only the real program shows: its exit
// statuses and standard input read as a stream. What each line or argument
// gives is tested in process (ConvertCommandTest).

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Result {
    int status = -1;
    std::string out, err;
};

std::string readFile(const std::string& path) {
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

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

/// The program run as a shell runs it with its input, output and error redirected to files.
Result run(const std::vector<std::string>& args, const std::string& input = {}) {
    const std::string base = ::testing::TempDir() + "waypost_convert_" + std::to_string(::getpid());
    std::ofstream(base + ".in", std::ios::binary) << input;
    const int in = ::open((base + ".in").c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open((base + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int err = ::open((base + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const pid_t pid = start(args, in, out, err);
    int status = 0;
    const bool exited = pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status);
    for (const int fd : {in, out, err}) ::close(fd);
    Result r{exited ? WEXITSTATUS(status) : -1, readFile(base + ".out"), readFile(base + ".err")};
    for (const char* suffix : {".in", ".out", ".err"}) std::remove((base + suffix).c_str());
    return r;
}

TEST(ConvertCli, StandardInputWithBadLines) {
    const Result r = run({"usng"}, "30.4383 -84.2807\n30.5,-84.25\r\nnot a point\n27\t-81.5\n0 200\n25 -80");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "16R GU 61158 70495\n16R GU 63941 77408\n\n17R MK 50392 86534\n\n17R PH 00913 65320\n");
    EXPECT_EQ(r.err,
              "waypost-convert: line 3: cannot read \"not a point\": not two numbers (latitude and longitude)\n"
              "waypost-convert: line 5: cannot read \"0 200\": longitude outside -180 to 180\n");
}

TEST(ConvertCli, UsageErrorsExitTwoWithOneLine) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"bogus"}, {"--bogus"}, {"usng", "-p", "3"}, {"usng", "1", "2", "3"}}) {
        const Result r = run(args, "30 -84\n");
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("waypost-convert: ", 0), 0U) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
}

TEST(ConvertCli, LargeInputStreams) {
    std::string input, expected;
    for (int i = 0; i < 50000; ++i) {
        input += i % 2 == 0 ? "30.4383 -84.2807\n" : "27,-81.5\n";
        expected += i % 2 == 0 ? "16R GU 61158 70495\n" : "17R MK 50392 86534\n";
    }
    const Result r = run({"usng"}, input);
    EXPECT_EQ(r.status, 0) << r.err.substr(0, 200);
    EXPECT_TRUE(r.out == expected) << "output differs (" << r.out.size() << " bytes)";
}

/// One line from \p fd within \p timeout; "" on timeout or end.
std::string readLine(int fd, std::chrono::milliseconds timeout) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return {};
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        char c = 0;
        if (ready <= 0 || ::read(fd, &c, 1) <= 0) return {};
        if (c == '\n') return line;
        line += c;
    }
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
    const std::chrono::seconds wait(20);
    for (const auto& [line, answer] :
         {std::pair{"30.4383 -84.2807\n", "16R GU 61158 70495"}, {"-33.9,18.4\n", "34H BH 59583 45888"}}) {
        ASSERT_EQ(::write(toChild[1], line, std::strlen(line)), static_cast<ssize_t>(std::strlen(line)));
        EXPECT_EQ(readLine(fromChild[0], wait), answer);
    }
    ::close(toChild[1]);
    EXPECT_EQ(readLine(fromChild[0], wait), "");
    ::close(fromChild[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
