#include "platform/localsocket/LocalSocketConnection.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/socket.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <future>
#include <string>
#include <thread>
#include <utility>

namespace quorvane {
namespace {

using namespace std::chrono_literals;

// Both ends of a connected pair, as the server's accept and a client's connect give them.
std::pair<LocalSocketConnection, LocalSocketConnection> connectedPair() {
    std::array<int, 2> ends{-1, -1};
    EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends.data()), 0);
    return {LocalSocketConnection(ends[0]), LocalSocketConnection(ends[1])};
}

// Writes until the socket's buffer is full and returns what went in.
std::string fillUp(const LocalSocketConnection& writer) {
    std::string written;
    const std::string block(4096, 'x');
    for (char mark = 'a';; mark = mark == 'z' ? 'a' : static_cast<char>(mark + 1)) {
        std::string chunk = block;
        chunk.front() = mark;
        const auto sent = ::send(writer.descriptor(), chunk.data(), chunk.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            EXPECT_EQ(errno, EAGAIN);
            return written;
        }
        written.append(chunk, 0, static_cast<std::size_t>(sent));
    }
}

// Reads until count bytes arrived or the time-out passed.
std::string drain(const LocalSocketConnection& reader, std::size_t count,
                  std::chrono::milliseconds timeout) {
    std::string received;
    const auto giveUp = std::chrono::steady_clock::now() + timeout;
    while (received.size() < count && std::chrono::steady_clock::now() < giveUp) {
        if (reader.readAvailable(received) == LocalSocketConnection::ReadStatus::closed) {
            break;
        }
        std::this_thread::sleep_for(1ms);
    }
    return received;
}

TEST(LocalSocketConnectionTest, OneReadTakesABoundedAmountAndLeavesTheRestWaiting) {
    auto [writer, reader] = connectedPair();
    const std::string written = fillUp(writer);
    ASSERT_GT(written.size(), LocalSocketConnection::maximumReadSize)
        << "the buffer must hold more than one read takes";

    std::string received;
    EXPECT_EQ(reader.readAvailable(received), LocalSocketConnection::ReadStatus::open);
    EXPECT_LE(received.size(), LocalSocketConnection::maximumReadSize);
    EXPECT_FALSE(received.empty());

    received += drain(reader, written.size() - received.size(), 5s);
    EXPECT_EQ(received, written) << "nothing is lost or reordered between reads";
}

TEST(LocalSocketConnectionTest, ReadAfterThePeerClosedGivesWhatWasLeftThenClosed) {
    std::string received;
    {
        auto [writer, reader] = connectedPair();
        ASSERT_TRUE(writer.writeAll("last words\n", 1s));
        { const auto gone = std::move(writer); }
        EXPECT_EQ(reader.readAvailable(received), LocalSocketConnection::ReadStatus::closed);
    }
    EXPECT_EQ(received, "last words\n");
}

// A peer that stops reading (a running copy that hangs) must not hold the writer past its
// time-out.
TEST(LocalSocketConnectionTest, WriteGivesUpWhenThePeerStopsReading) {
    auto [writer, reader] = connectedPair();
    const std::string buffered = fillUp(writer);
    auto writing = std::async(std::launch::async, [&writer = writer] {
        return writer.writeAll(std::string(64 * 1024, 'm'), 200ms);
    });
    const bool ended = writing.wait_for(5s) == std::future_status::ready;
    EXPECT_TRUE(ended) << "the write still waits long after its time-out";
    if (!ended) {
        // Make room so the writer can end before the test does.
        drain(reader, buffered.size() + 64 * 1024, 10s);
    }
    EXPECT_FALSE(writing.get());
}

extern "C" void ignoreSignal(int) {}

TEST(LocalSocketConnectionTest, WriteWaitingForRoomSurvivesASignal) {
    struct sigaction action {};
    action.sa_handler = ignoreSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a waiting poll returns EINTR
    struct sigaction previous {};
    ASSERT_EQ(::sigaction(SIGUSR1, &action, &previous), 0);

    auto [writer, reader] = connectedPair();
    const std::string buffered = fillUp(writer);
    const std::string message(64 * 1024, 'm');
    std::atomic<bool> finished = false;
    bool written = false;
    std::thread sender([&, &writer = writer] {
        written = writer.writeAll(message, 10s);
        finished = true;
    });
    for (int i = 0; i < 5 && !finished; ++i) {
        std::this_thread::sleep_for(20ms);
        ::pthread_kill(sender.native_handle(), SIGUSR1);
    }
    const std::string received = drain(reader, buffered.size() + message.size(), 10s);
    sender.join();
    ::sigaction(SIGUSR1, &previous, nullptr);

    EXPECT_TRUE(written) << "a signal while waiting is no failed write";
    EXPECT_EQ(received.size(), buffered.size() + message.size());
}

} // namespace
} // namespace quorvane
