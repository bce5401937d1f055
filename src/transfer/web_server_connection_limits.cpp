#include "transfer/web_server_connection_limits.h"

#include <sys/resource.h>

#include <algorithm>

namespace reelhaven {

namespace {
// Descriptors the process keeps for everything but connections (logs, listening sockets, the
// library's own files).
constexpr std::size_t kReservedDescriptors = 64;
}  // namespace

WebServerConnectionLimits::Admission WebServerConnectionLimits::admit(const std::string& client) {
    std::lock_guard lock(m_mutex);
    if (m_count >= m_total) return Admission::serverFull;
    std::size_t& mine = m_perAddress[client];
    if (mine >= m_perClient) return Admission::clientFull;
    ++mine;
    ++m_count;
    return Admission::admitted;
}

void WebServerConnectionLimits::release(const std::string& client) {
    std::lock_guard lock(m_mutex);
    auto found = m_perAddress.find(client);
    if (found == m_perAddress.end()) return;
    if (--found->second == 0) m_perAddress.erase(found);
    --m_count;
}

std::size_t WebServerConnectionLimits::count() const {
    std::lock_guard lock(m_mutex);
    return m_count;
}

std::size_t WebServerConnectionLimits::totalForDescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 4096;
    auto descriptors = static_cast<std::size_t>(limit.rlim_cur);
    return std::max<std::size_t>(1, descriptors > kReservedDescriptors ? (descriptors - kReservedDescriptors) / 2 : 1);
}

}  // namespace reelhaven
