#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>

#include "transfer/web_server_body_decoder.h"

namespace reelhaven {

// Inflates a gzip-coded body on its way to the next writer, in fixed-size pieces (a small body
// can never make it allocate more than one piece). Several gzip members in a row are accepted; a
// stream that ends before its last member is complete fails on close.
//
// Deflate packs a run of zeros about 1000 to 1, so a small body can fill the disk. A body whose
// decoded bytes pass `maxRatio` times the coded bytes received (beyond a first `ratioAllowance`
// bytes, which small, very regular bodies may use) is refused with 413. Media hardly compresses
// and text far less than the ratio allows, so no real upload comes near it.
class WebServerGZipDecoder : public WebServerBodyDecoder {
public:
    static constexpr std::size_t kDefaultPieceSize = 64 * 1024;
    static constexpr std::uint64_t kDefaultMaxRatio = 100;
    static constexpr std::uint64_t kDefaultRatioAllowance = 1024 * 1024;

    WebServerGZipDecoder(WebServerRequest& request, WebServerBodyWriter& next,
                         std::size_t pieceSize = kDefaultPieceSize, std::uint64_t maxRatio = kDefaultMaxRatio,
                         std::uint64_t ratioAllowance = kDefaultRatioAllowance);
    ~WebServerGZipDecoder() override;

    foundation::Status open() override;
    foundation::Status writeData(std::string_view data) override;
    foundation::Status close() override;

private:
    static foundation::Error zlibError(int result);
    // Hands decoded bytes on, unless they pass the ratio.
    foundation::Status produce(std::string_view decoded);

    z_stream m_stream{};
    bool m_initialized = false;
    bool m_finished = false;  // the current member has ended
    std::size_t m_pieceSize;
    std::uint64_t m_maxRatio;
    std::uint64_t m_ratioAllowance;
    std::uint64_t m_codedBytes = 0;
    std::uint64_t m_decodedBytes = 0;
};

}  // namespace reelhaven
