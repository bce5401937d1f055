#include "transfer/web_server_gzip_encoder.h"

#include <string>

#include "transfer/web_server_response.h"

namespace reelhaven {

namespace {
constexpr std::size_t kPieceSize = 256 * 1024;

foundation::Error zlibError(int result) {
    return foundation::Error{"ZlibErrorDomain", result, std::string("zlib error ") + std::to_string(result)};
}
}  // namespace

WebServerGZipEncoder::WebServerGZipEncoder(WebServerResponse& response, WebServerBodyReader& next)
    : WebServerBodyEncoder(response, next) {
    response.setContentLength(WebServerResponse::kUnknownLength);
    response.setValueForAdditionalHeader("gzip", "Content-Encoding");
}

WebServerGZipEncoder::~WebServerGZipEncoder() {
    if (m_initialized) deflateEnd(&m_stream);
}

foundation::Status WebServerGZipEncoder::open() {
    int result = deflateInit2(&m_stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    if (result != Z_OK) return zlibError(result);
    m_initialized = true;
    auto opened = next().open();
    if (!opened) {
        deflateEnd(&m_stream);
        m_initialized = false;
    }
    return opened;
}

foundation::Result<std::string> WebServerGZipEncoder::readData() {
    if (m_finished) return std::string();
    std::string output;
    // Pull input until deflate has something to hand out (or the stream ends).
    while (output.empty() && !m_finished) {
        auto input = next().readData();
        if (!input) return input.error();
        const std::string& bytes = input.value();
        int flush = bytes.empty() ? Z_FINISH : Z_NO_FLUSH;
        m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        m_stream.avail_in = static_cast<uInt>(bytes.size());
        do {
            std::size_t used = output.size();
            output.resize(used + kPieceSize);
            m_stream.next_out = reinterpret_cast<Bytef*>(output.data() + used);
            m_stream.avail_out = static_cast<uInt>(kPieceSize);
            int result = deflate(&m_stream, flush);
            output.resize(used + kPieceSize - m_stream.avail_out);
            if (result == Z_STREAM_END) {
                m_finished = true;
                break;
            }
            if (result != Z_OK && result != Z_BUF_ERROR) return zlibError(result);
        } while (m_stream.avail_out == 0 || m_stream.avail_in > 0);
    }
    return output;
}

void WebServerGZipEncoder::close() {
    if (m_initialized) {
        deflateEnd(&m_stream);
        m_initialized = false;
    }
    next().close();
}

}  // namespace reelhaven
