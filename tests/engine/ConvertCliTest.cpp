// waypost-convert end to end, for what only the real program shows: its exit
// statuses and standard input read as a stream. What each line or argument
// gives is tested in process (ConvertCommandTest).

#include <gtest/gtest.h>

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

const std::string convertPath = WAYPOST_CONVERT_PATH;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string shellQuoted(const std::string& text) {
    std::string q = "'";
    for (char c : text) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class ConvertCli : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_base = ::testing::TempDir() + "waypost_convert_" + info->name() + "_" + std::to_string(::getpid());
    }

    void TearDown() override {
        for (const char* suffix : {".in", ".out", ".err"}) std::remove((m_base + suffix).c_str());
    }

    Result run(const std::vector<std::string>& args, const std::string& input = {}) {
        {
            std::ofstream in(m_base + ".in", std::ios::binary);
            in << input;
        }
        std::string command = shellQuoted(convertPath);
        for (const std::string& a : args) command += " " + shellQuoted(a);
        command += " <" + shellQuoted(m_base + ".in") + " >" + shellQuoted(m_base + ".out") + " 2>" +
                   shellQuoted(m_base + ".err");
        const int raw = std::system(command.c_str());
        Result r;
        r.status = (raw != -1 && WIFEXITED(raw)) ? WEXITSTATUS(raw) : -1;
        r.out = readFile(m_base + ".out");
        r.err = readFile(m_base + ".err");
        return r;
    }

    std::string m_base;
};

TEST_F(ConvertCli, StandardInputWithBadLines) {
    const Result r = run({"usng"}, "30.4383 -84.2807\n30.5,-84.25\r\nnot a point\n27\t-81.5\n0 200\n25 -80");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "16R GU 61158 70495\n16R GU 63941 77408\n\n17R MK 50392 86534\n\n17R PH 00913 65320\n");
    EXPECT_EQ(r.err,
              "waypost-convert: line 3: cannot read \"not a point\": not two numbers (latitude and longitude)\n"
              "waypost-convert: line 5: cannot read \"0 200\": longitude outside -180 to 180\n");
}

TEST_F(ConvertCli, UsageErrorsExitTwoWithOneLine) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"bogus"}, {"--bogus"}, {"usng", "-p", "3"}, {"usng", "1", "2", "3"}}) {
        const Result r = run(args, "30 -84\n");
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("waypost-convert: ", 0), 0U) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
}

TEST_F(ConvertCli, LargeInputStreams) {
    std::string input;
    std::string expected;
    for (int i = 0; i < 50000; ++i) {
        input += i % 2 == 0 ? "30.4383 -84.2807\n" : "27,-81.5\n";
        expected += i % 2 == 0 ? "16R GU 61158 70495\n" : "17R MK 50392 86534\n";
    }
    const Result r = run({"usng"}, input);
    EXPECT_EQ(r.status, 0) << r.err.substr(0, 200);
    EXPECT_TRUE(r.out == expected) << "output differs (" << r.out.size() << " bytes)";
}

// Reads one line from \p fd within \p timeout; "" on timeout or end.
std::string readLine(int fd, std::chrono::milliseconds timeout) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return {};
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return {};
        char c = 0;
        const ssize_t n = ::read(fd, &c, 1);
        if (n <= 0) return {};
        if (c == '\n') return line;
        line += c;
    }
}

TEST_F(ConvertCli, AnswersEachLineWhileInputStaysOpen) {
    // A program feeding one line at a time gets each answer before it sends the next.
    int toChild[2];
    int fromChild[2];
    ASSERT_EQ(::pipe(toChild), 0);
    ASSERT_EQ(::pipe(fromChild), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
    posix_spawn_file_actions_addclose(&actions, toChild[1]);
    posix_spawn_file_actions_addclose(&actions, fromChild[0]);
    std::string program = convertPath;
    std::string command = "usng";
    char* argv[] = {program.data(), command.data(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    ASSERT_EQ(spawned, 0);

    const std::chrono::seconds wait(20);
    const std::string first = "30.4383 -84.2807\n";
    ASSERT_EQ(::write(toChild[1], first.data(), first.size()), static_cast<ssize_t>(first.size()));
    EXPECT_EQ(readLine(fromChild[0], wait), "16R GU 61158 70495");
    const std::string second = "-33.9,18.4\n";
    ASSERT_EQ(::write(toChild[1], second.data(), second.size()), static_cast<ssize_t>(second.size()));
    EXPECT_EQ(readLine(fromChild[0], wait), "34H BH 59583 45888");
    ::close(toChild[1]);
    EXPECT_EQ(readLine(fromChild[0], wait), "");
    ::close(fromChild[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
