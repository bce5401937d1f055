#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace net {

// Error codes and their domain when the service is announced through the Avahi daemon.
inline constexpr int kBonjourAvahiErrorDomain = 1;
// The resolution of the announced service timed out (not worth reporting).
int bonjourTimeoutError();
// No daemon runs on this machine to announce through (nothing the program can mend).
int bonjourNoDaemonError();

// Announces one TCP service over multicast DNS through the Avahi daemon, then resolves it to learn
// the host name others reach it by. Callbacks run on the service's own thread; a stopped or
// destroyed service calls nothing more. When there is no daemon, creation fails with its error.
class BonjourService {
public:
    struct Callbacks {
        std::function<void(const std::string& name)> registered;
        std::function<void(int error)> registrationFailed;
        std::function<void(const std::string& hostName)> resolved;
        std::function<void(int error)> resolutionFailed;
    };

    // Creates the service and starts announcing it in the domain "local.". On failure returns
    // nothing and sets `*error` to the Avahi error code.
    static std::unique_ptr<BonjourService> create(const std::string& name, const std::string& type, std::uint16_t port,
                                                  Callbacks callbacks, int* error);
    ~BonjourService();
    BonjourService(const BonjourService&) = delete;
    BonjourService& operator=(const BonjourService&) = delete;

    const std::string& name() const { return m_name; }
    const std::string& type() const { return m_type; }
    static std::string errorText(int error);

private:
    struct Avahi;
    BonjourService(std::string name, std::string type, std::uint16_t port, Callbacks callbacks);

    std::string m_name;
    std::string m_type;
    std::uint16_t m_port;
    Callbacks m_callbacks;
    std::unique_ptr<Avahi> m_avahi;
};

}  // namespace net
