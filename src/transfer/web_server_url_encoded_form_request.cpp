#include "transfer/web_server_url_encoded_form_request.h"

#include "transfer/web_server_functions.h"

namespace reelhaven {

foundation::Status WebServerURLEncodedFormRequest::close() {
    if (auto closed = WebServerDataRequest::close(); !closed) return closed;
    // A body that is not valid in its charset parses as an empty form.
    auto text = WebServerDecodeTextOfContentType(data(), contentType().value_or(""));
    m_arguments = WebServerParseFormString(text.value_or(""));
    return {};
}

std::string WebServerURLEncodedFormRequest::description() const {
    std::string text = WebServerRequest::description();
    text += "\n";
    for (const auto& [key, value] : m_arguments) text += "\n" + key + " = " + value;
    return text;
}

}  // namespace reelhaven
