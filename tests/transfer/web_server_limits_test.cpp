// What keeps one client from locking every other out: connection limits, the request head's
// deadline, the body's minimum rate, and a stop that ends requests still arriving.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <map>
#include <mutex>

#include "platform/dispatch/run_loop.h"
#include "transfer/web_server.h"
#include "transfer/web_server_connection_limits.h"
#include "transfer/web_server_data_request.h"
#include "transfer/web_server_data_response.h"
#include "transfer_test_support.h"

namespace reelhaven {
namespace {

using namespace std::chrono_literals;
using transfer_testing::connectTo;
using transfer_testing::parseResponse;
using transfer_testing::readAll;
using transfer_testing::sendAll;

// A connection to the server's IPv4 loopback socket from another loopback address, so it counts
// as another client.
int connectFrom(const char* source, std::uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, source, &local.sin_addr);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(port);
    remote.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// A body that tells the test when its first bytes have arrived.
class SignallingRequest : public WebServerDataRequest {
public:
    using WebServerDataRequest::WebServerDataRequest;
    static inline std::atomic<std::promise<void>*> firstBytes = nullptr;
    foundation::Status writeData(std::string_view data) override {
        if (auto* promise = firstBytes.exchange(nullptr)) promise->set_value();
        return WebServerDataRequest::writeData(data);
    }
};

class WebServerLimitsTest : public ::testing::Test {
protected:
    WebServerLimitsTest() {
        server->addHandlerWithProcessBlock(
            [](const WebServerRequestInfo& info) -> std::shared_ptr<WebServerRequest> {
                if (info.method == "POST") return WebServerRequest::make<SignallingRequest>(info);
                return WebServerRequest::make<WebServerRequest>(info);
            },
            [](const std::shared_ptr<WebServerRequest>& request) -> std::shared_ptr<WebServerResponse> {
                if (auto* data = dynamic_cast<WebServerDataRequest*>(request.get()))
                    return WebServerDataResponse::responseWithText(std::to_string(data->data().size()) + " bytes");
                return WebServerDataResponse::responseWithText("hello");
            });
        options.bindToLocalhost = true;
    }

    ~WebServerLimitsTest() override {
        for (int fd : held) ::close(fd);
        server->stop();
        EXPECT_TRUE(server->waitForConnectionsToEnd(10s));
        loop.runUntilIdle();
    }

    void start() { ASSERT_TRUE(server->startWithOptions(options)); }

    // A connection that has sent half a head and waits.
    void hold(int fd) {
        ASSERT_GE(fd, 0);
        ASSERT_TRUE(sendAll(fd, "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n"));
        held.push_back(fd);
    }

    // Sends `pieces` one after another, `pause` apart, and returns what the server answered.
    std::string trickle(const std::vector<std::string>& pieces, std::chrono::milliseconds pause) {
        int fd = connectTo(server->port());
        for (const auto& piece : pieces) {
            if (!sendAll(fd, piece)) break;
            pollfd answered{fd, POLLIN, 0};
            if (::poll(&answered, 1, static_cast<int>(pause.count())) != 0) break;  // the server has answered
        }
        std::string answer = readAll(fd, 10s);
        ::close(fd);
        return answer;
    }

    // A refused connection is answered at once, before it sends anything.
    static std::string answerWithoutAsking(int fd) {
        std::string answer = readAll(fd, 10s);
        ::close(fd);
        return answer;
    }

    static std::string get(int fd) {
        sendAll(fd, "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        std::string answer = readAll(fd, 10s);
        ::close(fd);
        return answer;
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<WebServer> server = WebServer::create();
    WebServerOptions options;
    std::vector<int> held;
};

TEST_F(WebServerLimitsTest, AClientAboveItsShareIsAnswered503WhileOthersAreServed) {
    options.maxConnectionsPerClient = 3;
    start();
    for (int i = 0; i < 3; ++i) hold(connectTo(server->port()));
    // Accepted in order: the fourth of this client comes after the three it holds.
    auto refused = parseResponse(answerWithoutAsking(connectTo(server->port())));
    EXPECT_EQ(refused.status, 503);
    auto other = parseResponse(get(connectFrom("127.0.0.2", server->port())));
    EXPECT_EQ(other.status, 200);
    EXPECT_EQ(other.body, "hello");
}

TEST_F(WebServerLimitsTest, AboveTheTotalEveryNewClientIsAnswered503) {
    options.maxConnections = 2;
    start();
    hold(connectTo(server->port()));
    hold(connectFrom("127.0.0.2", server->port()));
    EXPECT_EQ(parseResponse(answerWithoutAsking(connectFrom("127.0.0.3", server->port()))).status, 503);
}

// Sends a GET and reads until the answer is complete by its "Content-Length" (not until the
// server closes), then closes: how wrk and browsers move on to their next connection.
int statusOfQuickExchange(std::uint16_t port) {
    int fd = connectTo(port);
    if (fd < 0) return -1;
    sendAll(fd, "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    std::string bytes;
    char buffer[4096];
    for (;;) {
        auto response = parseResponse(bytes);
        std::size_t headEnd = bytes.find("\r\n\r\n");
        if (headEnd != std::string::npos && response.has("content-length") &&
            bytes.size() - headEnd - 4 >= std::stoul(response.header("content-length"))) {
            break;
        }
        pollfd readable{fd, POLLIN, 0};
        if (::poll(&readable, 1, 10000) <= 0) break;
        ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return parseResponse(bytes).status;
}

TEST_F(WebServerLimitsTest, AClientReconnectingTheMomentItHasItsAnswerIsNeverRefused) {
    // As many clients as the share, each reconnecting the moment it has its answer: were a
    // connection counted against the share until its thread ended, one answered connection still
    // closing beside the other clients' would fill it. Each client has at most one connection
    // before its answer, so fewer than the share are ever reading or processing. The answered
    // ones still closing count against the wider allowance (four times the share); the exchanges
    // are kept to that allowance in all, so however late the server's threads finish they
    // cannot fill it and a refusal can only come from the share.
    constexpr std::size_t kClients = 16;
    constexpr std::size_t kRounds = WebServerConnectionLimits::kAnsweringAllowance;
    options.maxConnectionsPerClient = kClients;
    start();
    std::vector<std::future<std::vector<int>>> clients;
    for (std::size_t i = 0; i < kClients; ++i) {
        clients.push_back(std::async(std::launch::async, [port = server->port()] {
            std::vector<int> statuses;
            for (std::size_t round = 0; round < kRounds; ++round) statuses.push_back(statusOfQuickExchange(port));
            return statuses;
        }));
    }
    std::map<int, int> counts;
    for (auto& client : clients) {
        for (int status : client.get()) ++counts[status];
    }
    EXPECT_EQ(counts, (std::map<int, int>{{200, static_cast<int>(kClients * kRounds)}}));
}

TEST_F(WebServerLimitsTest, ConnectionsTheClientGaveUpOnLeaveItsShare) {
    // Requests that take long: the client gives up on all of them and connects again.
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    // The handlers are let go however the test ends: a failed assertion must not leave them
    // waiting, or stopping the server would wait for ever.
    struct Releaser {
        std::promise<void>& promise;
        ~Releaser() { promise.set_value(); }
    } releaser{release};
    std::mutex mutex;
    std::condition_variable arrived;
    int waiting = 0;
    server->addHandlerWithProcessBlock(
        [](const WebServerRequestInfo& info) -> std::shared_ptr<WebServerRequest> {
            return info.path == "/slow" ? WebServerRequest::make<WebServerRequest>(info) : nullptr;
        },
        [&, released](const std::shared_ptr<WebServerRequest>&) -> std::shared_ptr<WebServerResponse> {
            {
                // Notified under the lock: the test cannot wake, finish and take the condition
                // away between the count and the notification.
                std::lock_guard lock(mutex);
                ++waiting;
                arrived.notify_all();
            }
            released.wait();
            return WebServerDataResponse::responseWithText("slow");
        });
    options.maxConnectionsPerClient = 4;
    start();
    for (int i = 0; i < 4; ++i) {
        int fd = connectTo(server->port());
        ASSERT_TRUE(sendAll(fd, "GET /slow HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
        held.push_back(fd);
    }
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(arrived.wait_for(lock, 60s, [&] { return waiting == 4; }));
    }
    EXPECT_EQ(parseResponse(get(connectTo(server->port()))).status, 503);
    for (int fd : held) ::close(fd);
    held.clear();
    // Their hang-up reaches the server with the next connection's handshake at the latest;
    // attempts go on for a while to cover a busy machine, where before none was ever served.
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (status != 200 && std::chrono::steady_clock::now() < deadline) {
        status = parseResponse(get(connectTo(server->port()))).status;
    }
    EXPECT_EQ(status, 200);
}

TEST(WebServerConnectionLimits, AnAnsweringConnectionFreesItsShareWithinAWiderAllowance) {
    WebServerConnectionLimits limits(2, 100);
    using Admission = WebServerConnectionLimits::Admission;
    ASSERT_EQ(limits.admit("a"), Admission::admitted);
    ASSERT_EQ(limits.admit("a"), Admission::admitted);
    EXPECT_EQ(limits.admit("a"), Admission::clientFull);
    limits.answering("a");
    EXPECT_EQ(limits.admit("a"), Admission::admitted);
    // A client that never reads its answers: at most the allowance of answering connections.
    std::size_t admitted = 3;
    for (int i = 0; i < 20; ++i) {
        limits.answering("a");
        if (limits.admit("a") == Admission::admitted) ++admitted;
    }
    EXPECT_EQ(admitted, 2 * WebServerConnectionLimits::kAnsweringAllowance);
    EXPECT_EQ(limits.count(), admitted);
    EXPECT_EQ(limits.admit("b"), Admission::admitted);
    limits.release("a", true);
    limits.release("a", true);
    EXPECT_EQ(limits.count(), admitted - 1);  // "b" is still counted
    EXPECT_EQ(limits.admit("a"), Admission::admitted);
}

TEST(WebServerConnectionLimits, KeepsRoomForAnAddressThatHoldsNoConnectionYet) {
    using Admission = WebServerConnectionLimits::Admission;
    WebServerConnectionLimits limits(4, 8);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(limits.admit("a"), Admission::admitted);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(limits.admit("b"), Admission::admitted);
    // One place left: kept for a newcomer, though "b" is within its share.
    EXPECT_EQ(limits.admit("b"), Admission::serverFull);
    EXPECT_EQ(limits.admit("c"), Admission::admitted);
    EXPECT_EQ(limits.admit("d"), Admission::serverFull);
    limits.release("c", false);
    EXPECT_EQ(limits.admit("d"), Admission::admitted);
}

TEST_F(WebServerLimitsTest, ANewcomerIsServedWhileOtherAddressesHoldEveryPlaceTheirSharesAllow) {
    options.maxConnectionsPerClient = 4;
    options.maxConnections = 8;
    start();
    for (int i = 0; i < 4; ++i) hold(connectTo(server->port()));
    for (int i = 0; i < 3; ++i) hold(connectFrom("127.0.0.2", server->port()));
    EXPECT_EQ(parseResponse(answerWithoutAsking(connectFrom("127.0.0.2", server->port()))).status, 503);
    auto newcomer = parseResponse(get(connectFrom("127.0.0.3", server->port())));
    EXPECT_EQ(newcomer.status, 200);
}

TEST_F(WebServerLimitsTest, StartingRaisesTheSoftDescriptorLimitToTheHardOne) {
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max <= 256) GTEST_SKIP() << "no room to lower the limit";
    rlimit lowered = limit;
    lowered.rlim_cur = 256;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    start();
    rlimit raised{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &raised), 0);
    EXPECT_EQ(raised.rlim_cur, limit.rlim_max);
}

TEST_F(WebServerLimitsTest, TheDefaultTotalStaysBelowTheDescriptorLimit) {
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    if (limit.rlim_cur == RLIM_INFINITY) GTEST_SKIP() << "no descriptor limit";
    // Each connection may hold a socket and a file.
    EXPECT_LT(2 * WebServerConnectionLimits::totalForDescriptorLimit(), limit.rlim_cur);
}

TEST_F(WebServerLimitsTest, AHeadTricklingInPastItsDeadlineIsCutOff) {
    options.requestHeadTimeout = 300ms;
    start();
    std::string head = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Filler: " + std::string(60, 'x') + "\r\n\r\n";
    std::vector<std::string> bytes;
    for (char c : head) bytes.emplace_back(1, c);
    // Each byte well within the idle time-out; all of them far beyond the head's deadline.
    auto answer = parseResponse(trickle(bytes, 20ms));
    EXPECT_EQ(answer.status, 408);
}

TEST_F(WebServerLimitsTest, ABodyBelowTheMinimumRateIsCutOffAfterTheGracePeriod) {
    options.bodyGracePeriod = 100ms;
    options.minimumBodyBytesPerSecond = 1000;
    start();
    std::vector<std::string> pieces = {"POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 2000\r\n\r\n"};
    for (int i = 0; i < 200; ++i) pieces.emplace_back(10, 'b');  // 10 bytes every 20 ms: 500 B/s
    EXPECT_EQ(parseResponse(trickle(pieces, 20ms)).status, 408);
}

TEST_F(WebServerLimitsTest, ABodyKeepingTheMinimumRateFinishes) {
    options.bodyGracePeriod = 100ms;
    options.minimumBodyBytesPerSecond = 100;
    start();
    // Each piece buys a second and comes every 20 ms, so only a sender stalled for about a second
    // per piece so far could fall behind: a busy machine delays this client, it does not make it slow.
    std::vector<std::string> pieces = {"POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 2000\r\n\r\n" +
                                       std::string(100, 'b')};
    for (int i = 0; i < 19; ++i) pieces.emplace_back(100, 'b');  // 100 bytes every 20 ms: 5,000 B/s
    auto answer = parseResponse(trickle(pieces, 20ms));
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body, "2000 bytes");
}

TEST_F(WebServerLimitsTest, StoppingAnswersARequestStillArriving503) {
    start();
    std::promise<void> arrived;
    SignallingRequest::firstBytes = &arrived;
    int fd = connectTo(server->port());
    ASSERT_TRUE(sendAll(fd, "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 1000\r\n\r\nfirst"));
    ASSERT_EQ(arrived.get_future().wait_for(10s), std::future_status::ready);
    server->stop();
    auto answer = parseResponse(readAll(fd, 10s));
    ::close(fd);
    EXPECT_EQ(answer.status, 503);
    EXPECT_TRUE(server->waitForConnectionsToEnd(10s));
}

}  // namespace
}  // namespace reelhaven
