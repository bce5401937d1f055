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

std::unique_ptr<WebServerMultiPartFormRequest::Level> WebServerMultiPartFormRequest::makeLevel(
    std::string_view boundary, std::optional<std::string> defaultControlName) {
    auto level = std::make_unique<Level>();
    Level* raw = level.get();
    // The callbacks run only inside append() calls made by this request on this level, which
    // both outlive them.
    WebServerMIMEStreamParser::Callbacks callbacks{
        [this, raw](const WebServerMultiPartHead& head) { return partBegin(*raw, head); },
        [this, raw](std::string_view data) { return partData(*raw, data); },
        [this, raw] { return partEnd(*raw); },
    };
    level->parser = WebServerMIMEStreamParser::create(boundary, std::move(defaultControlName), std::move(callbacks));
    if (!level->parser) return nullptr;
    return level;
}

bool WebServerMultiPartFormRequest::partBegin(Level& level, const WebServerMultiPartHead& head) {
    // Every part's head is kept with its argument or file: it counts against the same budget, so a
    // body of countless small or empty parts cannot grow memory (or temporary files) without bound.
    m_argumentBytes += kPartCost + head.controlName.size() + head.contentType.size() + head.mimeType.size() +
                       head.fileName.value_or("").size();
    if (m_argumentBytes > m_maxArgumentBytes) return false;
    level.head = head;
    level.argument.clear();
    level.file.reset();
    level.nested.reset();
    if (head.mimeType == "multipart/mixed") {
        auto boundary = WebServerHeaderParameter(head.contentType, "boundary");
        if (!boundary) return false;
        level.nested = makeLevel(*boundary, head.controlName);
        return level.nested != nullptr;
    }
    if (head.fileName) {
        auto file = WebServerTemporaryFile::create();
        if (!file) return storageFailed(file.error());
        level.file = std::make_unique<WebServerTemporaryFile>(std::move(file).value());
    }
    return true;
}

bool WebServerMultiPartFormRequest::partData(Level& level, std::string_view data) {
    if (level.nested) return level.nested->parser->append(data);
    if (level.file) {
        auto written = level.file->write(data);
        return written ? true : storageFailed(written.error());
    }
    m_argumentBytes += data.size();
    if (m_argumentBytes > m_maxArgumentBytes) return false;
    level.argument.append(data);
    return true;
}

bool WebServerMultiPartFormRequest::partEnd(Level& level) {
    const WebServerMultiPartHead& head = *level.head;
    bool ok = true;
    if (level.nested) {
        ok = level.nested->parser->isAtEnd();
        level.nested.reset();
    } else if (level.file) {
        if (auto closed = level.file->close(); !closed) return storageFailed(closed.error());
        std::string path = level.file->keep();
        level.file.reset();
        m_files.push_back(std::make_shared<WebServerMultiPartFile>(head.controlName, head.contentType, head.mimeType,
                                                                   *head.fileName, path));
    } else {
        m_arguments.push_back(std::make_shared<WebServerMultiPartArgument>(head.controlName, head.contentType,
                                                                           head.mimeType, std::move(level.argument)));
        level.argument.clear();
    }
    level.head.reset();
    return ok;
}

bool WebServerMultiPartFormRequest::storageFailed(const foundation::Error& error) {
    if (!m_storageError) m_storageError = error;
    return false;
}

foundation::Status WebServerMultiPartFormRequest::open() {
    auto boundary = WebServerHeaderParameter(contentType().value_or(""), "boundary");
    if (boundary) m_root = makeLevel(*boundary, std::nullopt);
    if (!m_root) return WebServerError("Failed starting to parse multipart form data");
    return {};
}

foundation::Status WebServerMultiPartFormRequest::writeData(std::string_view data) {
    if (!m_root || !m_root->parser->append(data)) {
        if (m_storageError) return WebServerError("Failed storing uploaded file: " + m_storageError->description);
        return WebServerError("Failed continuing to parse multipart form data");
    }
    return {};
}

foundation::Status WebServerMultiPartFormRequest::close() {
    bool complete = m_root && m_root->parser->isAtEnd();
    m_root.reset();  // an unfinished part's temporary file goes with it
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
