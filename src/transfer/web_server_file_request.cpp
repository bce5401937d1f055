#include "transfer/web_server_file_request.h"

namespace reelhaven {

foundation::Status WebServerFileRequest::open() {
    auto file = WebServerTemporaryFile::create();
    if (!file) return file.error();
    m_file = std::make_unique<WebServerTemporaryFile>(std::move(file).value());
    return {};
}

foundation::Status WebServerFileRequest::writeData(std::string_view data) {
    if (!m_file) return WebServerError("Request body not opened");
    return m_file->write(data);
}

foundation::Status WebServerFileRequest::close() {
    if (!m_file) return WebServerError("Request body not opened");
    return m_file->close();
}

std::string WebServerFileRequest::description() const {
    return WebServerRequest::description() + "\n\n{" + temporaryPath() + "}";
}

}  // namespace reelhaven
