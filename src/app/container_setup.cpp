#include "app/container_setup.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/base/escaped_text.h"

namespace reelhaven {

std::variant<std::shared_ptr<const foundation::Container>, std::string> installContainer(
    const std::filesystem::path& home) {
    // The folder comes from the command line or the environment, and the reasons name paths in
    // it: the whole message is escaped, so no name can act on the terminal it is printed on.
    auto refused = [&home](const std::string& reason) {
        return base::escapedText("cannot use the home folder " + home.string() + ": " + reason);
    };
    auto container = std::make_shared<const foundation::Container>(home);
    if (auto status = container->createFolders(); !status) return refused(status.error().description);
    auto documents = container->folder(foundation::SearchPathDirectory::documents);
    if (access(documents.c_str(), R_OK | W_OK | X_OK) != 0)
        return refused(documents.string() + " is not writable (" + std::strerror(errno) + ")");
    // Library items keep their identity in a user extended attribute; without them every listing
    // would hand out new identities.
    const char* probe = "user.reelhaven.probe";
    if (setxattr(documents.c_str(), probe, "1", 1, 0) != 0) {
        return refused(std::string("its filesystem does not keep user extended attributes (") + std::strerror(errno) +
                       ")");
    }
    removexattr(documents.c_str(), probe);
    foundation::Container::setCurrent(container);
    return container;
}

}  // namespace reelhaven
