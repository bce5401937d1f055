#pragma once

#include <algorithm>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>

namespace reelhaven {

// How many connections the server keeps at once, in all and per client address, so that one
// client holding many slow connections cannot use up the threads and descriptors every other
// client needs. Thread-safe.
//
// Per client, `perClient` connections may be reading or processing a request at once. A
// connection that has its answer stops counting there before the first byte of the answer goes
// out: a client that opens its next connection the moment it has an answer (wrk, a browser, a
// script) must not be refused while the previous one is still closing. Answering connections
// count against a wider allowance of their own (`kAnsweringAllowance` times the share), so a
// client that never reads its answers still cannot take every thread.
//
// Shares alone do not keep everyone served: enough addresses, each within its share, fill every
// place. So the last eighth of the places (at least one) is kept for addresses that hold no
// connection yet: a newcomer is served while the others hold theirs.
class WebServerConnectionLimits {
public:
    enum class Admission { admitted, clientFull, serverFull };
    static constexpr std::size_t kAnsweringAllowance = 4;

    WebServerConnectionLimits(std::size_t perClient, std::size_t total)
        : m_perClient(perClient), m_total(total), m_newcomerReserve(std::max<std::size_t>(1, total / 8)) {}

    // Counts a new connection of `client` (its numeric address) unless a limit is reached.
    Admission admit(const std::string& client);
    // A connection that `admit` admitted has its answer and is about to send it.
    void answering(const std::string& client);
    // Uncounts a connection that `admit` admitted (`wasAnswering`: after `answering`).
    void release(const std::string& client, bool wasAnswering);
    std::size_t count() const;

    // The total that leaves room below the process's descriptor limit: each connection may hold
    // its socket and one file, and the rest of the process needs some too. Each connection is a
    // thread as well, so the total stays below `kMaxTotal` however many descriptors there are.
    static std::size_t totalForDescriptorLimit();
    static constexpr std::size_t kMaxTotal = 8192;
    // Raises the process's soft descriptor limit to its hard limit (the soft one is often far
    // lower), which bounds the connections served at once. Returns the soft limit now in force.
    static std::size_t raiseDescriptorLimit();

private:
    const std::size_t m_perClient;
    const std::size_t m_total;
    const std::size_t m_newcomerReserve;
    mutable std::mutex m_mutex;  // guards the two fields below
    struct Counts {
        std::size_t active = 0;
        std::size_t answering = 0;
    };
    std::map<std::string, Counts> m_perAddress;
    std::size_t m_count = 0;
};

}  // namespace reelhaven
