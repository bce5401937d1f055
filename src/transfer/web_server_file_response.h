#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "transfer/web_server_byte_range.h"
#include "transfer/web_server_response.h"

namespace reelhaven {

enum class WebServerAttachment { inline_, attachment };

// A response that sends a regular file, or a byte range of it (206 with "Content-Range"). The file
// is opened without following a final symbolic link.
class WebServerFileResponse : public WebServerResponse {
public:
    static constexpr std::size_t kReadSize = 32 * 1024;

    // Nothing when the path is not a regular file (symbolic links are not followed) or the range
    // selects no byte of it.
    static std::shared_ptr<WebServerFileResponse> responseWithFile(
        const std::string& path, WebServerByteRange range = {},
        WebServerAttachment attachment = WebServerAttachment::inline_,
        const std::map<std::string, std::string>* mimeTypeOverrides = nullptr);

    WebServerFileResponse(std::string path, std::uint64_t offset, std::uint64_t size);
    ~WebServerFileResponse() override;

    const std::string& path() const { return m_path; }

    foundation::Status open() override;
    foundation::Result<std::string> readData() override;
    void close() override;
    std::string description() const override;

    // "attachment; filename=..." with a Latin-1 name (quotes dropped, other letters replaced by
    // "?", control characters by "_") and the exact name percent-escaped in "filename*".
    static std::string contentDisposition(const std::string& fileName);

protected:
    std::optional<WebServerFileRegion> fileRegion() override;

private:
    std::string m_path;
    std::uint64_t m_offset;
    std::uint64_t m_size;  // bytes still to send
    int m_file = -1;
};

}  // namespace reelhaven
