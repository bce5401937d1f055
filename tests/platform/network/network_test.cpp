#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <thread>

#include "platform/network/acceptor.h"
#include "platform/network/bonjour_service.h"
#include "platform/network/listening_socket.h"
#include "platform/network/mime_types.h"
#include "platform/network/stream_socket.h"

namespace net {
namespace {

using namespace std::chrono_literals;

TEST(MimeTypes, ReadsTheTableFormat) {
    auto table = MimeTypes::fromText("# comment\nvideo/mp4\tmp4 m4v\ntext/x-first abc\ntext/x-second abc # dup\n\n");
    EXPECT_EQ(table.typeForExtension("mp4"), "video/mp4");
    EXPECT_EQ(table.typeForExtension("m4v"), "video/mp4");
    EXPECT_EQ(table.typeForExtension("abc"), "text/x-first");
    EXPECT_EQ(table.typeForExtension("zzz"), std::nullopt);
    EXPECT_FALSE(MimeTypes::system().isEmpty());
    EXPECT_TRUE(MimeTypes::fromFile("/no/such/file").isEmpty());
}

int connectLoopback(std::uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
}

TEST(ListeningSocket, SharesOneSystemChosenPortBetweenFamilies) {
    auto v4 = ListeningSocket::open(AF_INET, 0, BindScope::loopback, 4);
    ASSERT_TRUE(v4.isOpen());
    auto port = v4.boundPort();
    ASSERT_TRUE(port);
    auto v6 = ListeningSocket::open(AF_INET6, *port, BindScope::loopback, 4);
    if (v6.isOpen()) {
        EXPECT_EQ(v6.boundPort(), port);
    }
    auto clash = ListeningSocket::open(AF_INET, *port, BindScope::loopback, 4);
    ASSERT_FALSE(clash.isOpen());
    EXPECT_EQ(clash.error()->stage, ListenStage::bind);
    EXPECT_EQ(clash.error()->errnum, EADDRINUSE);
}

TEST(StreamSocket, TimesOutOnlyWhenThePeerStopsMakingProgress) {
    auto listener = ListeningSocket::open(AF_INET, 0, BindScope::loopback, 4);
    int client = connectLoopback(*listener.boundPort());
    StreamSocket server(::accept(listener.fd(), nullptr, nullptr), 300ms);
    char buffer[16];
    auto silent = server.readSome(buffer, sizeof buffer);
    EXPECT_EQ(silent.status, IoStatus::timedOut);
    std::thread writer([client] {
        for (int i = 0; i < 5; ++i) {
            std::this_thread::sleep_for(30ms);
            ::send(client, "x", 1, MSG_NOSIGNAL);
        }
        ::shutdown(client, SHUT_WR);
    });
    std::size_t total = 0;
    for (;;) {
        auto result = server.readSome(buffer, sizeof buffer);
        if (!result.ok()) {
            EXPECT_EQ(result.status, IoStatus::closed);
            break;
        }
        total += result.bytes;
    }
    writer.join();
    EXPECT_EQ(total, 5u);
    ::close(client);
}

TEST(StreamSocket, SendsARegionOfAFile) {
    auto listener = ListeningSocket::open(AF_INET, 0, BindScope::loopback, 4);
    int client = connectLoopback(*listener.boundPort());
    StreamSocket server(::accept(listener.fd(), nullptr, nullptr), 2000ms);
    FILE* file = std::tmpfile();
    std::string bytes(100000, 'f');
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fflush(file);
    std::string received;
    std::thread reader([&] {
        char buffer[65536];
        ssize_t count;
        while ((count = ::recv(client, buffer, sizeof buffer, 0)) > 0) received.append(buffer, std::size_t(count));
    });
    off_t offset = 10;
    auto sent = server.sendFile(fileno(file), &offset, bytes.size() - 10);
    EXPECT_TRUE(sent.ok());
    EXPECT_EQ(offset, off_t(bytes.size()));
    server.close();
    reader.join();
    EXPECT_EQ(received.size(), bytes.size() - 10);
    std::fclose(file);
    ::close(client);
}

TEST(Acceptor, HandsOverConnectionsUntilStopped) {
    auto listener = ListeningSocket::open(AF_INET, 0, BindScope::loopback, 4);
    std::uint16_t port = *listener.boundPort();
    std::vector<ListeningSocket> sockets;
    sockets.push_back(std::move(listener));
    std::atomic<int> accepted{0};
    auto acceptor = Acceptor::start(std::move(sockets),
                                    [&](Acceptor::Accepted connection) {
                                        EXPECT_EQ(connection.localAddress.port(), port);
                                        EXPECT_EQ(connection.remoteAddress.toString(false), "127.0.0.1");
                                        ::close(connection.fd);
                                        ++accepted;
                                    },
                                    {});
    int client = connectLoopback(port);
    char byte;
    EXPECT_EQ(::recv(client, &byte, 1, 0), 0);  // accepted and closed
    ::close(client);
    acceptor->stop();
    EXPECT_EQ(accepted, 1);
    int refused = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_NE(::connect(refused, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(refused);
}

TEST(Acceptor, RunningOutOfDescriptorsIsReportedOncePerShortage) {
    auto listener = ListeningSocket::open(AF_INET, 0, BindScope::loopback, 4);
    std::uint16_t port = *listener.boundPort();
    std::vector<ListeningSocket> sockets;
    sockets.push_back(std::move(listener));
    std::atomic<int> accepted{0};
    std::atomic<int> failures{0};
    auto acceptor = Acceptor::start(
        std::move(sockets),
        [&](Acceptor::Accepted connection) {
            ::close(connection.fd);
            ++accepted;
        },
        [&](std::size_t, int errnum) {
            EXPECT_EQ(errnum, EMFILE);
            ++failures;
        });
    // Every descriptor this process may have is taken (only in this test's own process).
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    rlimit lowered = limit;
    lowered.rlim_cur = 256;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    int client = ::socket(AF_INET, SOCK_STREAM, 0);
    std::vector<int> filler;
    for (int fd; (fd = ::dup(client)) >= 0;) filler.push_back(fd);
    ASSERT_EQ(errno, EMFILE);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    // The acceptor retries while the shortage lasts (after 50, 100, 200 ms ...): one report.
    for (int i = 0; i < 100 && failures == 0; ++i) std::this_thread::sleep_for(5ms);
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(accepted, 0);
    for (int fd : filler) ::close(fd);
    ::setrlimit(RLIMIT_NOFILE, &limit);
    char byte;
    EXPECT_EQ(::recv(client, &byte, 1, 0), 0);  // accepted once descriptors were free again
    ::close(client);
    acceptor->stop();
    EXPECT_EQ(accepted, 1);
    EXPECT_EQ(failures, 1);
}

TEST(BonjourService, FailsCleanlyWithoutADaemon) {
    int error = 0;
    auto service = BonjourService::create("Test", "_http._tcp", 8080, {}, &error);
    if (service) GTEST_SKIP() << "an Avahi daemon runs here";
    EXPECT_NE(error, 0);
    EXPECT_FALSE(BonjourService::errorText(error).empty());
}

}  // namespace
}  // namespace net
