#include "transfer/web_server_chunked_decoder.h"

#include <algorithm>

namespace reelhaven {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

WebServerChunkedDecoder::WebServerChunkedDecoder(std::size_t maxLineSize, std::size_t maxTrailerSize)
    : m_maxLineSize(maxLineSize), m_maxTrailerSize(maxTrailerSize) {}

void WebServerChunkedDecoder::fail(std::string reason) {
    m_status = Status::error;
    m_error = std::move(reason);
    m_line.clear();
}

bool WebServerChunkedDecoder::takeSizeLine(std::string_view line) {
    // size [ BWS ";" extensions ]; extensions are ignored.
    std::size_t end = 0;
    std::uint64_t size = 0;
    while (end < line.size() && hexDigit(line[end]) >= 0) {
        if (size > (UINT64_C(1) << 59)) {
            fail("chunk size too large");
            return false;
        }
        size = size * 16 + static_cast<std::uint64_t>(hexDigit(line[end]));
        ++end;
    }
    if (end == 0) {
        fail("invalid chunk size");
        return false;
    }
    std::size_t cursor = end;
    while (cursor < line.size() && (line[cursor] == ' ' || line[cursor] == '\t')) ++cursor;
    if (cursor < line.size() && line[cursor] != ';') {
        fail("invalid chunk size");
        return false;
    }
    m_remaining = size;
    m_state = size == 0 ? State::trailer : State::data;
    return true;
}

std::size_t WebServerChunkedDecoder::feed(std::string_view bytes, const DataSink& sink) {
    std::size_t taken = 0;
    while (taken < bytes.size() && m_status == Status::needMore) {
        std::string_view rest = bytes.substr(taken);
        if (m_state == State::data) {
            std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(m_remaining, rest.size()));
            taken += count;
            m_remaining -= count;
            if (!sink(rest.substr(0, count))) {
                fail("body writer failed");
                break;
            }
            if (m_remaining == 0) m_state = State::dataEnd;
            continue;
        }
        // Line states: collect up to LF.
        std::size_t newline = rest.find('\n');
        std::size_t count = newline == std::string_view::npos ? rest.size() : newline + 1;
        std::size_t limit = m_state == State::trailer ? m_maxTrailerSize - m_trailerSize : m_maxLineSize;
        if (m_line.size() + count > limit + 2) {
            fail(m_state == State::trailer ? "trailer too large" : "chunk line too long");
            break;
        }
        m_line.append(rest.substr(0, count));
        taken += count;
        if (newline == std::string_view::npos) break;
        if (m_line.size() < 2 || m_line[m_line.size() - 2] != '\r') {
            fail("line not ended by CR LF");
            break;
        }
        std::string_view line(m_line.data(), m_line.size() - 2);
        switch (m_state) {
            case State::sizeLine: takeSizeLine(line); break;
            case State::dataEnd:
                if (!line.empty()) fail("missing CR LF after chunk data");
                m_state = State::sizeLine;
                break;
            case State::trailer:
                m_trailerSize += m_line.size();
                if (line.empty()) {
                    m_state = State::done;
                    m_status = Status::done;
                }
                break;
            default: break;
        }
        m_line.clear();
    }
    return taken;
}

}  // namespace reelhaven
