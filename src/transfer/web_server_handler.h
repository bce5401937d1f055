#pragma once

#include <functional>
#include <memory>

#include "transfer/web_server_request.h"
#include "transfer/web_server_response.h"

namespace reelhaven {

// Given the request's method, URL, headers, path and query: a new request object when the handler
// takes the request, else nothing.
using WebServerMatchBlock = std::function<std::shared_ptr<WebServerRequest>(const WebServerRequestInfo& info)>;
using WebServerCompletionBlock = std::function<void(std::shared_ptr<WebServerResponse> response)>;
using WebServerProcessBlock =
    std::function<std::shared_ptr<WebServerResponse>(const std::shared_ptr<WebServerRequest>& request)>;
// Must call the completion exactly once, from any thread.
using WebServerAsyncProcessBlock =
    std::function<void(const std::shared_ptr<WebServerRequest>& request, WebServerCompletionBlock completion)>;

// A match block and the block that answers what it matched; both fixed at creation.
struct WebServerHandler {
    WebServerMatchBlock matchBlock;
    WebServerAsyncProcessBlock asyncProcessBlock;
};

}  // namespace reelhaven
