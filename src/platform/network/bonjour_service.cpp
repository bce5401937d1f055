#include "platform/network/bonjour_service.h"

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-client/publish.h>
#include <avahi-common/error.h>
#include <avahi-common/thread-watch.h>

namespace net {

struct BonjourService::Avahi {
    AvahiThreadedPoll* poll = nullptr;
    AvahiClient* client = nullptr;
    AvahiEntryGroup* group = nullptr;
    AvahiServiceResolver* resolver = nullptr;
    bool running = false;

    // The callbacks receive the service itself: its destructor stops the poll thread (the only
    // caller of these callbacks) before any member goes away.
    static void onResolved(AvahiServiceResolver*, AvahiIfIndex, AvahiProtocol, AvahiResolverEvent event, const char*,
                           const char*, const char*, const char* hostName, const AvahiAddress*, uint16_t,
                           AvahiStringList*, AvahiLookupResultFlags, void* userdata) {
        BonjourService* self = static_cast<BonjourService*>(userdata);
        if (event == AVAHI_RESOLVER_FOUND) {
            if (self->m_callbacks.resolved) self->m_callbacks.resolved(hostName ? hostName : "");
        } else if (self->m_callbacks.resolutionFailed) {
            self->m_callbacks.resolutionFailed(avahi_client_errno(self->m_avahi->client));
        }
    }
    static void onGroup(AvahiEntryGroup* group, AvahiEntryGroupState state, void* userdata) {
        BonjourService* self = static_cast<BonjourService*>(userdata);
        if (state == AVAHI_ENTRY_GROUP_ESTABLISHED) {
            if (self->m_callbacks.registered) self->m_callbacks.registered(self->m_name);
            AvahiClient* client = avahi_entry_group_get_client(group);
            self->m_avahi->resolver = avahi_service_resolver_new(
                client, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, self->m_name.c_str(), self->m_type.c_str(), "local",
                AVAHI_PROTO_UNSPEC, AvahiLookupFlags(0), onResolved, self);
            if (self->m_avahi->resolver == nullptr && self->m_callbacks.resolutionFailed) {
                self->m_callbacks.resolutionFailed(avahi_client_errno(client));
            }
        } else if (state == AVAHI_ENTRY_GROUP_COLLISION || state == AVAHI_ENTRY_GROUP_FAILURE) {
            int code = state == AVAHI_ENTRY_GROUP_COLLISION ? AVAHI_ERR_COLLISION
                                                            : avahi_client_errno(avahi_entry_group_get_client(group));
            if (self->m_callbacks.registrationFailed) self->m_callbacks.registrationFailed(code);
        }
    }
    static void onClient(AvahiClient* client, AvahiClientState state, void* userdata) {
        BonjourService* self = static_cast<BonjourService*>(userdata);
        if (state == AVAHI_CLIENT_S_RUNNING && self->m_avahi->group == nullptr) {
            AvahiEntryGroup* group = avahi_entry_group_new(client, onGroup, self);
            int result =
                group ? avahi_entry_group_add_service(group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0),
                                                      self->m_name.c_str(), self->m_type.c_str(), "local", nullptr,
                                                      self->m_port, nullptr)
                      : avahi_client_errno(client);
            if (result == AVAHI_OK) result = avahi_entry_group_commit(group);
            self->m_avahi->group = group;
            if (result != AVAHI_OK && self->m_callbacks.registrationFailed)
                self->m_callbacks.registrationFailed(result);
        } else if (state == AVAHI_CLIENT_FAILURE && self->m_callbacks.registrationFailed) {
            self->m_callbacks.registrationFailed(avahi_client_errno(client));
        }
    }

    ~Avahi() {
        if (poll && running) avahi_threaded_poll_stop(poll);
        if (resolver) avahi_service_resolver_free(resolver);
        if (group) avahi_entry_group_free(group);
        if (client) avahi_client_free(client);
        if (poll) avahi_threaded_poll_free(poll);
    }
};

int bonjourTimeoutError() { return AVAHI_ERR_TIMEOUT; }
int bonjourNoDaemonError() { return AVAHI_ERR_NO_DAEMON; }

std::string BonjourService::errorText(int error) { return avahi_strerror(error); }

BonjourService::BonjourService(std::string name, std::string type, std::uint16_t port, Callbacks callbacks)
    : m_name(std::move(name)),
      m_type(std::move(type)),
      m_port(port),
      m_callbacks(std::move(callbacks)),
      m_avahi(std::make_unique<Avahi>()) {}

BonjourService::~BonjourService() = default;

std::unique_ptr<BonjourService> BonjourService::create(const std::string& name, const std::string& type,
                                                       std::uint16_t port, Callbacks callbacks, int* error) {
    std::unique_ptr<BonjourService> service(new BonjourService(name, type, port, std::move(callbacks)));
    Avahi& avahi = *service->m_avahi;
    avahi.poll = avahi_threaded_poll_new();
    if (avahi.poll == nullptr) {
        if (error) *error = AVAHI_ERR_NO_MEMORY;
        return nullptr;
    }
    int clientError = 0;
    avahi.client = avahi_client_new(avahi_threaded_poll_get(avahi.poll), AvahiClientFlags(0), Avahi::onClient,
                                    service.get(), &clientError);
    if (avahi.client == nullptr) {
        if (error) *error = clientError;
        return nullptr;
    }
    if (avahi_threaded_poll_start(avahi.poll) < 0) {
        if (error) *error = AVAHI_ERR_FAILURE;
        return nullptr;
    }
    avahi.running = true;
    return service;
}

}  // namespace net
