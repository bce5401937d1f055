// Basic and Digest access authentication of WebServerConnection (off unless the server was
// started with an authentication method).

#include "platform/foundation/uuid.h"
#include "transfer/web_server.h"
#include "transfer/web_server_connection.h"
#include "transfer/web_server_functions.h"

namespace reelhaven {

namespace {

// Never destroyed: a connection's thread may still answer while the process exits.
const std::string& processNonce() {
    static const auto& nonce = *new std::string(WebServerMD5Hex(foundation::UUID::random().uuidString()));
    return nonce;
}

// The comma-separated parameters of a Digest "Authorization" value.
std::map<std::string, std::string> digestParameters(std::string_view text) {
    std::map<std::string, std::string> result;
    std::size_t position = 0;
    while (position < text.size()) {
        while (position < text.size() && (text[position] == ' ' || text[position] == ',')) ++position;
        std::size_t equals = text.find('=', position);
        if (equals == std::string_view::npos) break;
        std::string key = WebServerLowercase(text.substr(position, equals - position));
        std::size_t cursor = equals + 1;
        std::string value;
        if (cursor < text.size() && text[cursor] == '"') {
            std::size_t close = text.find('"', cursor + 1);
            if (close == std::string_view::npos) close = text.size();
            value = text.substr(cursor + 1, close - cursor - 1);
            cursor = close + 1;
        } else {
            std::size_t end = text.find(',', cursor);
            if (end == std::string_view::npos) end = text.size();
            value = text.substr(cursor, end - cursor);
            cursor = end;
        }
        result[key] = value;
        position = cursor;
    }
    return result;
}

}  // namespace

std::shared_ptr<WebServerResponse> WebServerConnection::authenticate(const std::shared_ptr<WebServerRequest>& request) {
    auto method = m_server->authenticationMethod();
    if (method == WebServerAuthenticationMethod::none) return nullptr;
    auto accounts = m_server->authenticationAccounts();
    std::string realm = m_server->authenticationRealm();
    const std::string* authorization = WebServerHeaderValue(request->headers(), "Authorization");
    if (method == WebServerAuthenticationMethod::basic) {
        if (authorization && authorization->starts_with("Basic ")) {
            std::string credential = authorization->substr(6);
            for (const auto& [user, stored] : accounts) {
                if (stored == credential) return nullptr;
            }
        }
        auto response = WebServerResponse::responseWithStatusCode(401);
        response->setValueForAdditionalHeader("Basic realm=\"" + realm + "\"", "WWW-Authenticate");
        return response;
    }
    bool stale = false;
    if (authorization && authorization->starts_with("Digest ")) {
        auto parameters = digestParameters(std::string_view(*authorization).substr(7));
        const std::string& nonce = parameters["nonce"];
        if (parameters["realm"] == realm && nonce == processNonce()) {
            auto account = accounts.find(parameters["username"]);
            if (account != accounts.end()) {
                std::string expected = WebServerMD5Hex(account->second + ":" + nonce + ":" +
                                                       WebServerMD5Hex(request->method() + ":" + parameters["uri"]));
                if (parameters["response"] == expected) return nullptr;
            }
        } else if (!nonce.empty() && nonce != processNonce()) {
            stale = true;
        }
    }
    auto response = WebServerResponse::responseWithStatusCode(401);
    response->setValueForAdditionalHeader(
        "Digest realm=\"" + realm + "\", nonce=\"" + processNonce() + "\"" + (stale ? ", stale=TRUE" : ""),
        "WWW-Authenticate");
    return response;
}

}  // namespace reelhaven
