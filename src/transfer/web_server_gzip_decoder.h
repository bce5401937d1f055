#pragma once

#include <zlib.h>

#include <cstddef>

#include "transfer/web_server_body_decoder.h"

namespace reelhaven {

// Inflates a gzip-coded body on its way to the next writer, in fixed-size pieces (a small body
// can never make it allocate more than one piece). Several gzip members in a row are accepted; a
// stream that ends before its last member is complete fails on close.
class WebServerGZipDecoder : public WebServerBodyDecoder {
public:
    static constexpr std::size_t kDefaultPieceSize = 64 * 1024;

    WebServerGZipDecoder(WebServerRequest& request, WebServerBodyWriter& next,
                         std::size_t pieceSize = kDefaultPieceSize);
    ~WebServerGZipDecoder() override;

    foundation::Status open() override;
    foundation::Status writeData(std::string_view data) override;
    foundation::Status close() override;

private:
    static foundation::Error zlibError(int result);

    z_stream m_stream{};
    bool m_initialized = false;
    bool m_finished = false;  // the current member has ended
    std::size_t m_pieceSize;
};

}  // namespace reelhaven
