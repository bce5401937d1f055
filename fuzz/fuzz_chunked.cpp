// Any bytes decode to data and "done", "need more" or an error, whole or in pieces alike.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "transfer/web_server_chunked_decoder.h"

using reelhaven::WebServerChunkedDecoder;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string wholeBody;
    WebServerChunkedDecoder whole(64, 256);
    std::size_t taken = whole.feed(input, [&](std::string_view piece) {
        wholeBody.append(piece);
        return true;
    });
    if (taken > size || wholeBody.size() > size) std::abort();

    std::string piecesBody;
    WebServerChunkedDecoder pieces(64, 256);
    std::size_t takenInPieces = 0;
    for (std::size_t i = 0; i < size && pieces.status() == WebServerChunkedDecoder::Status::needMore; i += 3) {
        takenInPieces += pieces.feed(input.substr(i, 3), [&](std::string_view piece) {
            piecesBody.append(piece);
            return true;
        });
    }
    if (whole.status() != pieces.status()) std::abort();
    if (whole.status() == WebServerChunkedDecoder::Status::done &&
        (taken != takenInPieces || wholeBody != piecesBody)) {
        std::abort();
    }
    return 0;
}
