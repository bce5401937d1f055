#include "transfer/web_server_streamed_response.h"

#include <condition_variable>
#include <mutex>
#include <optional>

namespace reelhaven {

std::shared_ptr<WebServerStreamedResponse> WebServerStreamedResponse::responseWithContentType(std::string contentType,
                                                                                              StreamBlock block) {
    return std::make_shared<WebServerStreamedResponse>(
        std::move(contentType), [block = std::move(block)](ReadCompletion completion) { completion(block()); });
}

std::shared_ptr<WebServerStreamedResponse> WebServerStreamedResponse::responseWithContentType(std::string contentType,
                                                                                              AsyncStreamBlock block) {
    return std::make_shared<WebServerStreamedResponse>(std::move(contentType), std::move(block));
}

WebServerStreamedResponse::WebServerStreamedResponse(std::string contentType, AsyncStreamBlock block)
    : m_block(std::move(block)) {
    setContentType(std::move(contentType));
}

foundation::Result<std::string> WebServerStreamedResponse::readData() {
    // Readers in front of this one (the gzip encoder) read synchronously: wait for the block.
    std::mutex mutex;
    std::condition_variable done;
    std::optional<foundation::Result<std::string>> result;
    m_block([&](foundation::Result<std::string> data) {
        std::lock_guard lock(mutex);
        result.emplace(std::move(data));
        done.notify_all();
    });
    std::unique_lock lock(mutex);
    done.wait(lock, [&] { return result.has_value(); });
    return std::move(*result);
}

}  // namespace reelhaven
