#include "transfer/web_server_multi_part_form_request.h"

#include "transfer/web_server_functions.h"

namespace reelhaven {

namespace {

// What one part costs besides its head's texts (its objects; for a file, its temporary file).
constexpr std::size_t kPartCost = 1024;

}  // namespace

WebServerMultiPartFormRequest::WebServerMultiPartFormRequest(const WebServerRequestInfo& info,
                                                             std::size_t maxArgumentBytes)
    : WebServerRequest(info), m_maxArgumentBytes(maxArgumentBytes) {}

WebServerMultiPartFormRequest::~WebServerMultiPartFormRequest() = default;

bool WebServerMultiPartFormRequest::partBegin(const WebServerMultiPartHead& head) {
    // Every part's head is kept with its argument or file: it counts against the same budget, so a
    // body of countless small or empty parts cannot grow memory (or temporary files) without bound.
    m_argumentBytes += kPartCost + head.controlName.size() + head.contentType.size() + head.mimeType.size() +
                       head.fileName.value_or("").size();
    if (m_argumentBytes > m_maxArgumentBytes) return storageFailed(argumentsTooLarge());
    m_head = head;
    m_argument.clear();
    m_file.reset();
    if (head.fileName) {
        auto file = WebServerTemporaryFile::create();
        if (!file) return storageFailed(file.error());
        m_file = std::make_unique<WebServerTemporaryFile>(std::move(file).value());
    }
    return true;
}

bool WebServerMultiPartFormRequest::partData(std::string_view data) {
    if (m_file) {
        auto written = m_file->write(data);
        return written ? true : storageFailed(written.error());
    }
    m_argumentBytes += data.size();
    if (m_argumentBytes > m_maxArgumentBytes) return storageFailed(argumentsTooLarge());
    m_argument.append(data);
    return true;
}

bool WebServerMultiPartFormRequest::partEnd() {
    const WebServerMultiPartHead& head = *m_head;
    if (m_file) {
        if (auto closed = m_file->close(); !closed) return storageFailed(closed.error());
        std::string path = m_file->keep();
        m_file.reset();
        m_files.push_back(std::make_shared<WebServerMultiPartFile>(head.controlName, head.contentType, head.mimeType,
                                                                   *head.fileName, path));
    } else {
        m_arguments.push_back(std::make_shared<WebServerMultiPartArgument>(head.controlName, head.contentType,
                                                                           head.mimeType, std::move(m_argument)));
        m_argument.clear();
    }
    m_head.reset();
    return true;
}

foundation::Error WebServerMultiPartFormRequest::argumentsTooLarge() const {
    return WebServerClientError(413, "Form fields larger than " + std::to_string(m_maxArgumentBytes) + " bytes");
}

bool WebServerMultiPartFormRequest::storageFailed(const foundation::Error& error) {
    if (!m_storageError) m_storageError = error;
    return false;
}

foundation::Status WebServerMultiPartFormRequest::open() {
    auto boundary = WebServerHeaderParameter(contentType().value_or(""), "boundary");
    // The callbacks run only inside append() calls made by this request, which owns the parser.
    WebServerMIMEStreamParser::Callbacks callbacks{
        [this](const WebServerMultiPartHead& head) { return partBegin(head); },
        [this](std::string_view data) { return partData(data); },
        [this] { return partEnd(); },
    };
    if (boundary) m_parser = WebServerMIMEStreamParser::create(*boundary, std::nullopt, std::move(callbacks));
    if (!m_parser) return WebServerError("Failed starting to parse multipart form data");
    // A body that cannot fit is refused before it is read.
    if (contentLength() != kUnknownLength) {
        if (auto room = WebServerTemporaryFile::checkRoomFor(contentLength()); !room) {
            return WebServerClientError(
                507, "Not enough free space for an upload of " + std::to_string(contentLength()) + " bytes");
        }
    }
    return {};
}

foundation::Status WebServerMultiPartFormRequest::writeData(std::string_view data) {
    if (!m_parser || !m_parser->append(data)) {
        if (m_storageError) {
            // A failure of the server's own (too large) says why itself; a system one gets context.
            bool own = m_storageError->domain == "WebServerErrorDomain";
            std::string description =
                own ? m_storageError->description : "Failed storing uploaded file: " + m_storageError->description;
            int status = WebServerErrorStatus(*m_storageError);
            return status != 0 ? WebServerClientError(status, description) : WebServerError(description);
        }
        if (m_parser && m_parser->failure() == WebServerMIMEStreamParser::Failure::nestedTooDeep) {
            return WebServerClientError(400, "Multipart form data nested too deeply");
        }
        return WebServerError("Failed continuing to parse multipart form data");
    }
    return {};
}

foundation::Status WebServerMultiPartFormRequest::close() {
    bool complete = m_parser && m_parser->isAtEnd();
    m_parser.reset();
    m_file.reset();  // an unfinished part's temporary file goes with it
    if (!complete) return WebServerError("Failed finishing to parse multipart form data");
    return {};
}

std::shared_ptr<WebServerMultiPartArgument> WebServerMultiPartFormRequest::firstArgumentForControlName(
    std::string_view name) const {
    for (const auto& argument : m_arguments) {
        if (argument->controlName() == name) return argument;
    }
    return nullptr;
}

std::shared_ptr<WebServerMultiPartFile> WebServerMultiPartFormRequest::firstFileForControlName(
    std::string_view name) const {
    for (const auto& file : m_files) {
        if (file->controlName() == name) return file;
    }
    return nullptr;
}

std::string WebServerMultiPartFormRequest::description() const {
    std::string text = WebServerRequest::description();
    if (!m_arguments.empty()) {
        text += "\n";
        for (const auto& argument : m_arguments) {
            text += "\n" + argument->controlName() + " (" + argument->contentType() + ")\n" +
                    WebServerBodyDescription(argument->data(), argument->contentType());
        }
    }
    if (!m_files.empty()) {
        text += "\n";
        for (const auto& file : m_files) {
            text += "\n" + file->controlName() + " (" + file->contentType() + "): " + file->fileName() + "\n{" +
                    file->temporaryPath() + "}";
        }
    }
    return text;
}

}  // namespace reelhaven
