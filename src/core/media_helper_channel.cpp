#include "core/media_helper_channel.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace reelhaven::media_helper_channel {

namespace {

struct RequestHeader {
    std::uint32_t request;
    std::uint32_t nameBytes;
};

struct AnswerHeader {
    std::int32_t outcome;
    std::int32_t width;
    std::int32_t height;
    std::int32_t leaving;
    double duration;
};

// A message of `size` bytes at `data` with room for one descriptor beside it.
struct RightsMessage {
    RightsMessage(void* data, std::size_t size) : part{data, size} {
        header.msg_iov = &part;
        header.msg_iovlen = 1;
        header.msg_control = control;
        header.msg_controllen = sizeof control;
    }
    RightsMessage(const RightsMessage&) = delete;
    RightsMessage& operator=(const RightsMessage&) = delete;

    iovec part;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr header{};
};

bool writeAll(int socket, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t sent = ::send(socket, bytes, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        bytes += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

// Reads `size` bytes, waiting at most until `deadline` (none: for ever).
bool readAll(int socket, void* data, std::size_t size, std::optional<std::chrono::steady_clock::time_point> deadline) {
    auto* bytes = static_cast<std::uint8_t*>(data);
    while (size > 0) {
        if (deadline) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            pollfd ready{socket, POLLIN, 0};
            const int polled = ::poll(&ready, 1, static_cast<int>(std::min<long long>(left.count() + 1, 60'000)));
            if (polled < 0 && errno != EINTR) return false;
            if (polled <= 0) continue;
        }
        const ssize_t got = ::recv(socket, bytes, size, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

bool sendRequest(int socket, Request request, int descriptor, const std::string& name) {
    const std::string hint = name.size() > kLongestName ? name.substr(name.size() - kLongestName) : name;
    RequestHeader header{static_cast<std::uint32_t>(request), static_cast<std::uint32_t>(hint.size())};
    RightsMessage message(&header, sizeof header);
    cmsghdr* rights = CMSG_FIRSTHDR(&message.header);
    rights->cmsg_level = SOL_SOCKET;
    rights->cmsg_type = SCM_RIGHTS;
    rights->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(rights), &descriptor, sizeof(int));
    ssize_t sent;
    do sent = ::sendmsg(socket, &message.header, MSG_NOSIGNAL);
    while (sent < 0 && errno == EINTR);
    if (sent <= 0) return false;
    // The descriptor travelled with the first byte; the rest of the header follows plainly.
    const auto* rest = reinterpret_cast<const std::uint8_t*>(&header) + sent;
    return writeAll(socket, rest, sizeof header - static_cast<std::size_t>(sent)) &&
           writeAll(socket, hint.data(), hint.size());
}

std::optional<IncomingRequest> receiveRequest(int socket) {
    RequestHeader header{};
    RightsMessage message(&header, sizeof header);
    ssize_t got;
    do got = ::recvmsg(socket, &message.header, MSG_CMSG_CLOEXEC);
    while (got < 0 && errno == EINTR);
    if (got <= 0) return std::nullopt;
    IncomingRequest incoming;
    for (cmsghdr* part = CMSG_FIRSTHDR(&message.header); part; part = CMSG_NXTHDR(&message.header, part))
        if (part->cmsg_level == SOL_SOCKET && part->cmsg_type == SCM_RIGHTS && part->cmsg_len == CMSG_LEN(sizeof(int)))
            std::memcpy(&incoming.descriptor, CMSG_DATA(part), sizeof(int));
    auto broken = [&incoming]() -> std::optional<IncomingRequest> {
        if (incoming.descriptor >= 0) ::close(incoming.descriptor);
        return std::nullopt;
    };
    if (incoming.descriptor < 0 || (message.header.msg_flags & MSG_CTRUNC)) return broken();
    auto* rest = reinterpret_cast<std::uint8_t*>(&header) + got;
    if (!readAll(socket, rest, sizeof header - static_cast<std::size_t>(got), std::nullopt)) return broken();
    if (header.nameBytes > kLongestName || header.request < 1 || header.request > 3) return broken();
    incoming.request = static_cast<Request>(header.request);
    incoming.name.resize(header.nameBytes);
    if (!readAll(socket, incoming.name.data(), incoming.name.size(), std::nullopt)) return broken();
    return incoming;
}

bool sendAnswer(int socket, const Answer& answer) {
    const AnswerHeader header{static_cast<std::int32_t>(answer.outcome), answer.width, answer.height,
                              answer.leaving ? 1 : 0, answer.duration};
    return writeAll(socket, &header, sizeof header) && writeAll(socket, answer.pixels.data(), answer.pixels.size());
}

std::optional<Answer> receiveAnswer(int socket, std::chrono::steady_clock::time_point deadline) {
    AnswerHeader header{};
    if (!readAll(socket, &header, sizeof header, deadline)) return std::nullopt;
    if (header.outcome < 0 || header.outcome > 2) return std::nullopt;
    if (header.width < 0 || header.height < 0 || header.width > kLargestSide || header.height > kLargestSide)
        return std::nullopt;
    Answer answer;
    answer.outcome = static_cast<Outcome>(header.outcome);
    answer.duration = header.duration;
    answer.leaving = header.leaving != 0;
    answer.width = header.width;
    answer.height = header.height;
    answer.pixels.resize(static_cast<std::size_t>(header.width) * static_cast<std::size_t>(header.height) * 4);
    if (!readAll(socket, answer.pixels.data(), answer.pixels.size(), deadline)) return std::nullopt;
    return answer;
}

}  // namespace reelhaven::media_helper_channel
