// Any bytes give a complete head, "need more" or a parse error, whole or byte by byte alike; a
// complete head's body framing is sound or refused with one of its statuses.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "transfer/web_server_body_framing.h"
#include "transfer/web_server_request_head_parser.h"

using reelhaven::WebServerRequestHeadParser;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    WebServerRequestHeadParser whole(1024);
    std::size_t taken = whole.feed(input);
    if (taken > size) std::abort();

    WebServerRequestHeadParser pieces(1024);
    std::size_t takenInPieces = 0;
    for (std::size_t i = 0; i < size && pieces.status() == WebServerRequestHeadParser::Status::needMore; i += 7) {
        takenInPieces += pieces.feed(input.substr(i, 7));
    }
    if (whole.status() != pieces.status()) std::abort();
    if (whole.status() == WebServerRequestHeadParser::Status::complete) {
        if (takenInPieces != taken) std::abort();
        const auto& head = whole.head();
        if (head.method.empty() || head.target.empty() || head.method != pieces.head().method) std::abort();
        if (input.substr(taken - 4, 4) != "\r\n\r\n") std::abort();
        int framing = reelhaven::WebServerBodyFramingStatus(head.headers);
        if (framing != 0 && framing != 400 && framing != 413 && framing != 501) std::abort();
        if (framing != reelhaven::WebServerBodyFramingStatus(pieces.head().headers)) std::abort();
        for (const auto& [name, value] : head.headers) {
            if (name.find_first_of("\r\n:") != std::string::npos || value.find_first_of("\r\n") != std::string::npos) {
                std::abort();
            }
        }
    }
    return 0;
}
