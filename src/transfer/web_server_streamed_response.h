#pragma once

#include <functional>
#include <memory>
#include <string>

#include "transfer/web_server_response.h"

namespace reelhaven {

// A response whose body a block produces piece by piece (an empty piece ends it); the length is
// unknown, so the body goes chunked.
class WebServerStreamedResponse : public WebServerResponse {
public:
    using StreamBlock = std::function<foundation::Result<std::string>()>;
    using AsyncStreamBlock = std::function<void(ReadCompletion completion)>;

    static std::shared_ptr<WebServerStreamedResponse> responseWithContentType(std::string contentType,
                                                                              StreamBlock block);
    static std::shared_ptr<WebServerStreamedResponse> responseWithContentType(std::string contentType,
                                                                              AsyncStreamBlock block);

    explicit WebServerStreamedResponse(std::string contentType, AsyncStreamBlock block);

    bool hasAsyncRead() const override { return true; }
    void asyncReadData(ReadCompletion completion) override { m_block(std::move(completion)); }
    foundation::Result<std::string> readData() override;
    std::string description() const override { return WebServerResponse::description() + "\n\n<STREAM>"; }

private:
    AsyncStreamBlock m_block;
};

}  // namespace reelhaven
