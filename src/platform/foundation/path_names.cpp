#include "platform/foundation/path_names.h"

#include <climits>

namespace foundation {

std::string_view lastPathComponentOf(std::string_view path) {
    auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view pathExtensionOf(std::string_view name) {
    auto dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size()) return {};
    return name.substr(dot + 1);
}

std::string numberedName(std::string_view name, int number) {
    if (number == 0) return std::string(name);
    const std::string_view extension = pathExtensionOf(name);
    const std::string_view stem = extension.empty() ? name : name.substr(0, name.size() - extension.size() - 1);
    const std::string suffix =
        " (" + std::to_string(number) + ")" + (extension.empty() ? "" : "." + std::string(extension));
    std::size_t room = NAME_MAX > suffix.size() ? NAME_MAX - suffix.size() : 0;
    if (stem.size() > room) {
        // Step back over continuation bytes to the start of the character that would be cut.
        while (room > 0 && (static_cast<unsigned char>(stem[room]) & 0xC0) == 0x80) --room;
    } else {
        room = stem.size();
    }
    return std::string(stem.substr(0, room)) + suffix;
}

}  // namespace foundation
