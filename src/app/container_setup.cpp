#include "app/container_setup.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace reelhaven {

std::variant<std::shared_ptr<const foundation::Container>, std::string> installContainer(
    const std::filesystem::path& home) {
    auto container = std::make_shared<const foundation::Container>(home);
    if (auto status = container->createFolders(); !status) {
        return "cannot use the home folder " + home.string() + ": " + status.error().description;
    }
    auto documents = container->folder(foundation::SearchPathDirectory::documents);
    if (access(documents.c_str(), R_OK | W_OK | X_OK) != 0) {
        return "cannot use the home folder " + home.string() + ": " + documents.string() + " is not writable (" +
               std::strerror(errno) + ")";
    }
    // Library items keep their identity in a user extended attribute; without them every listing
    // would hand out new identities.
    const char* probe = "user.reelhaven.probe";
    if (setxattr(documents.c_str(), probe, "1", 1, 0) != 0) {
        return "cannot use the home folder " + home.string() +
               ": its filesystem does not keep user extended attributes (" + std::strerror(errno) + ")";
    }
    removexattr(documents.c_str(), probe);
    foundation::Container::setCurrent(container);
    return container;
}

}  // namespace reelhaven
