#include "transfer/web_server_connection_limits.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdint>

namespace reelhaven {

namespace {
// Descriptors the process keeps for everything but connections (logs, listening sockets, the
// library's own files).
constexpr std::size_t kReservedDescriptors = 64;
}  // namespace

WebServerConnectionLimits::Admission WebServerConnectionLimits::admit(const std::string& client) {
    std::lock_guard lock(m_mutex);
    bool newcomer = m_perAddress.find(client) == m_perAddress.end();
    if (m_count >= m_total || (!newcomer && m_count + m_newcomerReserve >= m_total)) return Admission::serverFull;
    Counts& mine = m_perAddress[client];
    if (mine.active >= m_perClient || mine.active + mine.answering >= kAnsweringAllowance * m_perClient) {
        if (mine.active == 0 && mine.answering == 0) m_perAddress.erase(client);
        return Admission::clientFull;
    }
    ++mine.active;
    ++m_count;
    return Admission::admitted;
}

void WebServerConnectionLimits::answering(const std::string& client) {
    std::lock_guard lock(m_mutex);
    auto found = m_perAddress.find(client);
    if (found == m_perAddress.end() || found->second.active == 0) return;
    --found->second.active;
    ++found->second.answering;
}

void WebServerConnectionLimits::release(const std::string& client, bool wasAnswering) {
    std::lock_guard lock(m_mutex);
    auto found = m_perAddress.find(client);
    if (found == m_perAddress.end()) return;
    std::size_t& counted = wasAnswering ? found->second.answering : found->second.active;
    if (counted == 0) return;
    --counted;
    if (found->second.active == 0 && found->second.answering == 0) m_perAddress.erase(found);
    --m_count;
}

std::size_t WebServerConnectionLimits::count() const {
    std::lock_guard lock(m_mutex);
    return m_count;
}

std::size_t WebServerConnectionLimits::totalForDescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kMaxTotal;
    auto descriptors = static_cast<std::size_t>(limit.rlim_cur);
    std::size_t total = descriptors > kReservedDescriptors ? (descriptors - kReservedDescriptors) / 2 : 1;
    return std::clamp<std::size_t>(total, 1, kMaxTotal);
}

std::size_t WebServerConnectionLimits::raiseDescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
    if (limit.rlim_cur != limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
    }
    return limit.rlim_cur == RLIM_INFINITY ? SIZE_MAX : static_cast<std::size_t>(limit.rlim_cur);
}

}  // namespace reelhaven
