#include "transfer/web_server_functions.h"
#include "transfer/web_server_multi_part_argument.h"
#include "transfer/web_server_multi_part_file.h"
#include "transfer/web_server_temporary_file.h"

namespace reelhaven {

WebServerMultiPartArgument::WebServerMultiPartArgument(std::string controlName, std::string contentType,
                                                       std::string mimeType, std::string data)
    : WebServerMultiPart(std::move(controlName), std::move(contentType), std::move(mimeType)), m_data(std::move(data)) {
    if (this->contentType().starts_with("text/"))
        m_string = WebServerDecodeTextOfContentType(m_data, this->contentType());
}

std::string WebServerMultiPartArgument::description() const {
    return "<WebServerMultiPartArgument | '" + mimeType() + "' | " + std::to_string(m_data.size()) + " bytes>";
}

WebServerMultiPartFile::~WebServerMultiPartFile() { WebServerTemporaryFile::discard(m_temporaryPath); }

std::string WebServerMultiPartFile::description() const {
    return "<WebServerMultiPartFile | '" + mimeType() + "' | '" + m_fileName + "'>";
}

}  // namespace reelhaven
