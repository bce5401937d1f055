#include "transfer/web_server_file_response.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "transfer/web_server_body_writer.h"
#include "transfer/web_server_functions.h"

namespace reelhaven {

namespace {

std::string lastPathComponent(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    auto slash = trimmed.rfind('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

std::string extensionOf(const std::string& name) {
    auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return "";
    return name.substr(dot + 1);
}

// Decodes one UTF-8 character at `i` (moving `i`); a broken sequence gives U+FFFD.
std::uint32_t nextCodePoint(const std::string& text, std::size_t& i) {
    auto c = static_cast<unsigned char>(text[i++]);
    if (c < 0x80) return c;
    int extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0) return 0xFFFD;
    std::uint32_t point = c & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0xFFFD;
        point = (point << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
    }
    return point;
}

}  // namespace

std::string WebServerFileResponse::contentDisposition(const std::string& fileName) {
    // The plain name is Latin-1: the letters Latin-1 has go as their Latin-1 bytes, others
    // become "?"; quotes are dropped and control characters replaced.
    std::string plain;
    for (std::size_t i = 0; i < fileName.size();) {
        std::uint32_t point = nextCodePoint(fileName, i);
        if (point == '"') continue;
        if (point < 0x20 || (point >= 0x7F && point < 0xA0)) {
            plain += '_';
        } else if (point <= 0xFF) {
            plain += static_cast<char>(point);
        } else {
            plain += '?';
        }
    }
    return "attachment; filename=\"" + plain + "\"; filename*=UTF-8''" + WebServerPercentEscape(fileName);
}

std::shared_ptr<WebServerFileResponse> WebServerFileResponse::responseWithFile(
    const std::string& path, WebServerByteRange range, WebServerAttachment attachment,
    const std::map<std::string, std::string>* mimeTypeOverrides) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
    auto fileSize = static_cast<std::uint64_t>(info.st_size);
    std::uint64_t offset = 0;
    std::uint64_t size = fileSize;
    bool partial = range.isSet();
    if (partial) {
        if (range.location != WebServerByteRange::kNotFound) {
            offset = std::min(range.location, fileSize);
            size = std::min(range.length, fileSize - offset);
        } else {
            size = std::min(range.length, fileSize);
            offset = fileSize - size;
        }
        if (size == 0) return nullptr;
    }
    auto response = std::make_shared<WebServerFileResponse>(path, offset, size);
    if (partial) {
        response->setStatusCode(206);
        response->setValueForAdditionalHeader("bytes " + std::to_string(offset) + "-" +
                                                  std::to_string(offset + size - 1) + "/" + std::to_string(fileSize),
                                              "Content-Range");
    }
    std::string name = lastPathComponent(path);
    if (attachment == WebServerAttachment::attachment) {
        response->setValueForAdditionalHeader(contentDisposition(name), "Content-Disposition");
    }
    response->setContentType(WebServerMIMETypeForExtension(extensionOf(name), mimeTypeOverrides));
    response->setContentLength(size);
    response->setLastModifiedDate(
        foundation::Date{static_cast<double>(info.st_mtim.tv_sec) + static_cast<double>(info.st_mtim.tv_nsec) / 1e9});
    response->setETag(std::to_string(static_cast<unsigned long long>(info.st_ino)) + "/" +
                      std::to_string(static_cast<long>(info.st_mtim.tv_sec)) + "/" +
                      std::to_string(static_cast<long>(info.st_mtim.tv_nsec)));
    return response;
}

WebServerFileResponse::WebServerFileResponse(std::string path, std::uint64_t offset, std::uint64_t size)
    : m_path(std::move(path)), m_offset(offset), m_size(size) {}

WebServerFileResponse::~WebServerFileResponse() { close(); }

foundation::Status WebServerFileResponse::open() {
    m_file = ::open(m_path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (m_file < 0) return WebServerPOSIXError(errno);
    if (::lseek(m_file, static_cast<off_t>(m_offset), SEEK_SET) < 0) {
        int error = errno;
        close();
        return WebServerPOSIXError(error);
    }
    return {};
}

foundation::Result<std::string> WebServerFileResponse::readData() {
    std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(kReadSize, m_size));
    if (wanted == 0) return std::string();
    std::string data(wanted, '\0');
    ssize_t count;
    do {
        count = ::read(m_file, data.data(), wanted);
    } while (count < 0 && errno == EINTR);
    if (count < 0) return WebServerPOSIXError(errno);
    data.resize(static_cast<std::size_t>(count));
    m_size -= static_cast<std::uint64_t>(count);
    return data;
}

void WebServerFileResponse::close() {
    if (m_file >= 0) {
        ::close(m_file);
        m_file = -1;
    }
}

std::optional<WebServerFileRegion> WebServerFileResponse::fileRegion() {
    if (m_file < 0) return std::nullopt;
    WebServerFileRegion region{m_file, static_cast<off_t>(m_offset), m_size};
    return region;
}

std::string WebServerFileResponse::description() const {
    return WebServerResponse::description() + "\n\n{" + m_path + "}";
}

}  // namespace reelhaven
