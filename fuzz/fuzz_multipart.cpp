// Any body gives part events or a failure, whole or in pieces alike; content never exceeds input.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "transfer/web_server_mime_stream_parser.h"

using reelhaven::WebServerMIMEStreamParser;
using reelhaven::WebServerMultiPartHead;

namespace {

struct Log {
    std::string events;
    WebServerMIMEStreamParser::Callbacks callbacks() {
        return {[this](const WebServerMultiPartHead& head) {
                    events += "<" + head.controlName + "|" + head.fileName.value_or("") + "|" + head.contentType + ">";
                    return true;
                },
                [this](std::string_view data) {
                    events.append(data);
                    return true;
                },
                [this] {
                    events += "</>";
                    return true;
                }};
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    Log wholeLog;
    auto whole = WebServerMIMEStreamParser::create("b0", std::string("files"), wholeLog.callbacks(), 512);
    bool wholeOK = whole->append(input);

    Log piecesLog;
    auto pieces = WebServerMIMEStreamParser::create("b0", std::string("files"), piecesLog.callbacks(), 512);
    bool piecesOK = true;
    for (std::size_t i = 0; i < size; i += 5) piecesOK = pieces->append(input.substr(i, 5)) && piecesOK;

    if (wholeOK != piecesOK || whole->isAtEnd() != pieces->isAtEnd()) std::abort();
    if (whole->failure() != pieces->failure()) std::abort();
    // Whatever the nesting, only a window (or an unfinished head) is held back per level.
    if (whole->heldBytes() > 2 * (512 + 4 + WebServerMIMEStreamParser::kMaxBoundaryLength + 6)) std::abort();
    if (wholeOK && whole->isAtEnd() && wholeLog.events != piecesLog.events) std::abort();
    return 0;
}
