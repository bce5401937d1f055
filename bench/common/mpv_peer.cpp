#include "mpv_peer.h"

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <thread>

namespace bench {

namespace {
using Clock = std::chrono::steady_clock;
double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}
}  // namespace

std::unique_ptr<MpvPeer> MpvPeer::start(const std::string& clip, int width, int height) {
    std::unique_ptr<MpvPeer> peer(new MpvPeer);
    peer->m_path = (std::filesystem::temp_directory_path() / ("bench-mpv-peer-" + std::to_string(getpid()))).string();
    std::filesystem::remove(peer->m_path);
    // mpv opens a window on either kind of display; without one it could only decode.
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    peer->m_drawsFrames = set("DISPLAY") || set("WAYLAND_DISPLAY");
    std::vector<std::string> arguments{"mpv",
                                       "--no-config",
                                       "--really-quiet",
                                       "--pause",
                                       "--keep-open=yes",
                                       "--ao=null",
                                       "--hwdec=no",
                                       "--input-ipc-server=" + peer->m_path,
                                       "--geometry=" + std::to_string(width) + "x" + std::to_string(height),
                                       "--no-border"};
    if (peer->m_drawsFrames) {
        // mpv refuses a software renderer (Mesa's llvmpipe) unless told to use it.
        arguments.insert(arguments.end(), {"--vo=gpu", "--gpu-sw"});
    } else {
        arguments.emplace_back("--vo=null");
    }
    arguments.push_back(clip);
    peer->m_pid = fork();
    if (peer->m_pid == 0) {
        std::vector<char*> argv;
        for (auto& each : arguments) argv.push_back(each.data());
        argv.push_back(nullptr);
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        execvp("mpv", argv.data());
        _exit(127);
    }
    if (peer->m_pid < 0) return nullptr;
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (Clock::now() < deadline) {
        peer->m_socket = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, peer->m_path.c_str(), sizeof address.sun_path - 1);
        if (connect(peer->m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) break;
        close(peer->m_socket);
        peer->m_socket = -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (peer->m_socket < 0) return nullptr;
    // Open once the duration is known and the first frame is up: "time-pos" answers then.
    for (;;) {
        if (Clock::now() > deadline) return nullptr;
        auto at = peer->position();
        if (at) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    return peer;
}

MpvPeer::~MpvPeer() {
    if (m_socket >= 0) {
        send(R"({"command":["quit"]})");
        close(m_socket);
    }
    if (m_pid > 0) {
        int status = 0;
        for (int i = 0; i < 500 && waitpid(m_pid, &status, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (waitpid(m_pid, &status, WNOHANG) == 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, &status, 0);
        }
    }
    std::filesystem::remove(m_path);
}

bool MpvPeer::send(const std::string& line) {
    const std::string data = line + "\n";
    return ::send(m_socket, data.data(), data.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(data.size());
}

std::optional<std::string> MpvPeer::readLine(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (auto end = m_buffer.find('\n'); end != std::string::npos) {
            std::string line = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return std::nullopt;
        pollfd waiting{m_socket, POLLIN, 0};
        if (poll(&waiting, 1, static_cast<int>(left)) <= 0) continue;
        char chunk[4096];
        const ssize_t got = recv(m_socket, chunk, sizeof chunk, 0);
        if (got <= 0) return std::nullopt;
        m_buffer.append(chunk, static_cast<std::size_t>(got));
    }
}

std::optional<std::string> MpvPeer::waitFor(const std::string& needle, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        auto line = readLine(static_cast<int>(left));
        if (!line) return std::nullopt;
        if (line->find(needle) != std::string::npos) return line;
    }
    return std::nullopt;
}

std::optional<double> MpvPeer::seek(const std::vector<std::string>& arguments, int settleMs) {
    nlohmann::json command = nlohmann::json::array({"seek"});
    for (const auto& each : arguments) command.push_back(each);
    const auto start = Clock::now();
    if (!send(nlohmann::json{{"command", command}}.dump())) return std::nullopt;
    if (!waitFor(R"("event":"playback-restart")", 60000)) return std::nullopt;
    const double elapsed = millisecondsSince(start);
    // What mpv sends meanwhile (its own redraw, property events) is read and dropped.
    while (millisecondsSince(start) < elapsed + settleMs)
        readLine(static_cast<int>(elapsed + settleMs - millisecondsSince(start)) + 1);
    return elapsed;
}

std::optional<double> MpvPeer::position() {
    const int id = ++m_requestId;
    if (!send(nlohmann::json{{"command", {"get_property", "time-pos"}}, {"request_id", id}}.dump()))
        return std::nullopt;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        auto line = readLine(1000);
        if (!line) continue;
        auto reply = nlohmann::json::parse(*line, nullptr, false);
        if (reply.is_discarded() || !reply.contains("request_id") || reply["request_id"] != id) continue;
        if (reply.value("error", "") != "success" || !reply["data"].is_number()) return std::nullopt;
        return reply["data"].get<double>();
    }
    return std::nullopt;
}

}  // namespace bench
