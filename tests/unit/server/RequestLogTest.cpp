#include "server/RequestLog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

namespace terrabo::server {
namespace {

std::string readAll(int fd) {
    std::string out;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<size_t>(n));
    return out;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

TEST(RequestLog, WritesWholeLinesInOrderFromManyThreads) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::string output;
    std::thread reader([&] { output = readAll(fds[0]); });
    {
        RequestLog log(fds[1]);
        std::vector<std::thread> writers;
        for (int t = 0; t < 4; ++t)
            writers.emplace_back([&log, t] {
                for (int i = 0; i < 1000; ++i)
                    log.add("thread " + std::to_string(t) + " line " + std::to_string(i) + "\n");
            });
        for (auto& w : writers)
            w.join();
    } // pending lines are written here
    ::close(fds[1]);
    reader.join();
    ::close(fds[0]);
    const auto all = lines(output);
    ASSERT_EQ(all.size(), 4000u);
    int next[4] = {0, 0, 0, 0};
    for (const std::string& line : all) {
        int t = -1, i = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "thread %d line %d", &t, &i), 2) << line;
        ASSERT_EQ(i, next[t]++) << "out of order: " << line;
    }
}

TEST(RequestLog, DropsAndCountsWhenTheReaderFallsBehind) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const std::string line = "a request line that is long enough to fill things up";
    std::string output;
    std::thread reader;
    {
        RequestLog log(fds[1], 4096);
        // Nobody reads yet: the pipe fills, then the pending bytes.
        for (int i = 0; i < 20000; ++i)
            log.add(line + "\n");
        reader = std::thread([&] { output = readAll(fds[0]); });
    }
    ::close(fds[1]);
    reader.join();
    ::close(fds[0]);
    EXPECT_NE(output.find("log lines dropped"), std::string::npos);
    for (const std::string& l : lines(output)) {
        EXPECT_TRUE(l == line || l.find("log lines dropped") != std::string::npos) << l;
    }
}

} // namespace
} // namespace terrabo::server
