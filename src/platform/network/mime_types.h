#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace net {

// File-name extensions to MIME types, read from a mime.types table ("type ext1 ext2 ..." per
// line, "#" comments). The system table is /etc/mime.types.
class MimeTypes {
public:
    // The system table, read once; empty when the file is missing.
    static const MimeTypes& system();
    static MimeTypes fromFile(const std::string& path);
    static MimeTypes fromText(std::string_view text);

    // The type for a lower-case extension without the dot, or nothing.
    std::optional<std::string> typeForExtension(std::string_view extension) const;
    bool isEmpty() const { return m_types.empty(); }

private:
    std::map<std::string, std::string, std::less<>> m_types;
};

}  // namespace net
