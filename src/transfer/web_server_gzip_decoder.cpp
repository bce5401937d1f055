#include "transfer/web_server_gzip_decoder.h"

#include <string>

namespace reelhaven {

WebServerGZipDecoder::WebServerGZipDecoder(WebServerRequest& request, WebServerBodyWriter& next, std::size_t pieceSize,
                                           std::uint64_t maxRatio, std::uint64_t ratioAllowance)
    : WebServerBodyDecoder(request, next),
      m_pieceSize(pieceSize),
      m_maxRatio(maxRatio),
      m_ratioAllowance(ratioAllowance) {}

WebServerGZipDecoder::~WebServerGZipDecoder() {
    if (m_initialized) inflateEnd(&m_stream);
}

foundation::Error WebServerGZipDecoder::zlibError(int result) {
    return foundation::Error{"ZlibErrorDomain", result, std::string("zlib error ") + std::to_string(result)};
}

foundation::Status WebServerGZipDecoder::produce(std::string_view decoded) {
    m_decodedBytes += decoded.size();
    if (m_decodedBytes > m_ratioAllowance && m_decodedBytes / m_maxRatio > m_codedBytes) {
        return WebServerClientError(
            413, "Gzip-coded body decodes to more than " + std::to_string(m_maxRatio) + " times its size");
    }
    return next().writeData(decoded);
}

foundation::Status WebServerGZipDecoder::open() {
    int result = inflateInit2(&m_stream, 15 + 16);  // gzip framing only
    if (result != Z_OK) return zlibError(result);
    m_initialized = true;
    auto opened = next().open();
    if (!opened) {
        inflateEnd(&m_stream);
        m_initialized = false;
    }
    return opened;
}

foundation::Status WebServerGZipDecoder::writeData(std::string_view data) {
    if (!m_initialized) return zlibError(Z_STREAM_ERROR);
    m_codedBytes += data.size();
    std::string piece(m_pieceSize, '\0');
    m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    m_stream.avail_in = static_cast<uInt>(data.size());
    while (m_stream.avail_in > 0) {
        if (m_finished) {
            // Another gzip member follows the one that ended.
            inflateReset(&m_stream);
            m_finished = false;
        }
        m_stream.next_out = reinterpret_cast<Bytef*>(piece.data());
        m_stream.avail_out = static_cast<uInt>(piece.size());
        int result = inflate(&m_stream, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) return zlibError(result);
        std::size_t produced = piece.size() - m_stream.avail_out;
        if (result == Z_STREAM_END) m_finished = true;
        if (produced > 0) {
            if (auto written = produce(std::string_view(piece.data(), produced)); !written) return written;
        }
        if (result == Z_BUF_ERROR && produced == 0) break;  // needs more input
    }
    // Input is exhausted; output may still be pending inside zlib when the piece filled up.
    while (!m_finished) {
        m_stream.next_out = reinterpret_cast<Bytef*>(piece.data());
        m_stream.avail_out = static_cast<uInt>(piece.size());
        int result = inflate(&m_stream, Z_NO_FLUSH);
        std::size_t produced = piece.size() - m_stream.avail_out;
        if (result == Z_STREAM_END)
            m_finished = true;
        else if (result != Z_OK && result != Z_BUF_ERROR)
            return zlibError(result);
        if (produced > 0) {
            if (auto written = produce(std::string_view(piece.data(), produced)); !written) return written;
        }
        if (produced == 0) break;
    }
    return {};
}

foundation::Status WebServerGZipDecoder::close() {
    bool complete = m_finished;
    if (m_initialized) {
        inflateEnd(&m_stream);
        m_initialized = false;
    }
    auto closed = next().close();
    if (!complete) return zlibError(Z_DATA_ERROR);  // the stream ended early
    return closed;
}

}  // namespace reelhaven
