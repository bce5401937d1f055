#pragma once

namespace reelhaven {

class WebServer;

// Told of the server's life; every call arrives on the main queue. All are optional.
class WebServerDelegate {
public:
    virtual ~WebServerDelegate() = default;
    virtual void webServerDidStart(WebServer& /*server*/) {}
    virtual void webServerDidCompleteBonjourRegistration(WebServer& /*server*/) {}
    virtual void webServerDidUpdateNATPortMapping(WebServer& /*server*/) {}
    virtual void webServerDidConnect(WebServer& /*server*/) {}
    virtual void webServerDidDisconnect(WebServer& /*server*/) {}
    virtual void webServerDidStop(WebServer& /*server*/) {}
};

}  // namespace reelhaven
