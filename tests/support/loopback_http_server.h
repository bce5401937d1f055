#pragma once

#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// A plain file server on 127.0.0.1 and a free port, for players that fetch
// network files: each GET of "/NAME" answers with the body given for NAME, or the byte range of
// it the request asks for (so players can seek), typed by its extension as web servers type
// playlists and videos, or a 404 for any other NAME; then it closes the connection. Each connection is served on a
// thread of its own, so a client that opens a second one while the first is still open is served too. Stopped by its
// destructor.
class LoopbackHttpServer {
public:
    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // What GET /NAME answers; any thread.
    void serve(const std::string& name, std::string body);
    void serveFile(const std::string& name, const std::filesystem::path& file);
    // "http://127.0.0.1:PORT/NAME".
    std::string url(const std::string& name) const;
    // How many requests asked for NAME so far.
    int requests(const std::string& name) const;

private:
    void acceptLoop();
    void answer(int connection);

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_mutex;  // guards the two maps and m_connections
    std::map<std::string, std::string> m_bodies;
    std::map<std::string, int> m_requests;
    std::vector<std::thread> m_connections;
    std::thread m_acceptor;
};

}  // namespace testing_support
