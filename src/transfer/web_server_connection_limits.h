#pragma once

#include <cstddef>
#include <map>
#include <mutex>
#include <string>

namespace reelhaven {

// How many connections the server keeps at once, in all and per client address, so that one
// client holding many slow connections cannot use up the threads and descriptors every other
// client needs. Thread-safe.
class WebServerConnectionLimits {
public:
    enum class Admission { admitted, clientFull, serverFull };

    WebServerConnectionLimits(std::size_t perClient, std::size_t total) : m_perClient(perClient), m_total(total) {}

    // Counts a new connection of `client` (its numeric address) unless a limit is reached.
    Admission admit(const std::string& client);
    // Uncounts a connection that `admit` admitted.
    void release(const std::string& client);
    std::size_t count() const;

    // The total that leaves room below the process's descriptor limit: each connection may hold
    // its socket and one file, and the rest of the process needs some too.
    static std::size_t totalForDescriptorLimit();

private:
    const std::size_t m_perClient;
    const std::size_t m_total;
    mutable std::mutex m_mutex;  // guards the two fields below
    std::map<std::string, std::size_t> m_perAddress;
    std::size_t m_count = 0;
};

}  // namespace reelhaven
