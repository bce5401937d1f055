#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace transfer_testing {

// A response as a client sees it.
struct HttpResponse {
    int status = 0;
    std::map<std::string, std::string> headers;  // names lower-cased
    std::string body;
    std::string raw;

    bool has(const std::string& name) const { return headers.count(name) > 0; }
    std::string header(const std::string& name) const;
};

// Splits raw response bytes (everything the server sent, possibly "100 Continue" first).
HttpResponse parseResponse(const std::string& raw);

// Opens a TCP connection to the loopback address of `family` (AF_INET or AF_INET6); -1 on failure.
int connectTo(std::uint16_t port, int family = 2 /* AF_INET */);
// Sends all bytes; false when the peer is gone.
bool sendAll(int fd, const std::string& bytes);
// Reads until the server closes the connection or `timeout` passes; `*reset` tells whether the
// connection ended with a reset.
std::string readAll(int fd, std::chrono::milliseconds timeout = std::chrono::seconds(10), bool* reset = nullptr);
// One exchange on a fresh connection: send `request`, read until the server closes.
std::string exchange(std::uint16_t port, const std::string& request, int family = 2);

// Runs a shell command; returns its standard output and sets `*status` to its exit status.
std::string runCommand(const std::string& command, int* status = nullptr);
// Single-quotes a word for the shell.
std::string shellQuote(const std::string& word);

}  // namespace transfer_testing
