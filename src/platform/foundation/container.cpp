#include "platform/foundation/container.h"

#include <mutex>
#include <system_error>

namespace foundation {

namespace {

std::mutex& currentMutex() {
    static std::mutex mutex;
    return mutex;
}

// Never destroyed: jobs on other threads may still ask for the container while the process exits.
std::shared_ptr<const Container>& currentSlot() {
    static auto& slot = *new std::shared_ptr<const Container>();
    return slot;
}

}  // namespace

Container::Container(std::filesystem::path home) : m_home(std::move(home)) {}

std::filesystem::path Container::folder(SearchPathDirectory directory) const {
    switch (directory) {
        case SearchPathDirectory::documents: return m_home / "Documents";
        case SearchPathDirectory::caches: return m_home / "Library" / "Caches";
        case SearchPathDirectory::applicationSupport: return m_home / "Library" / "Application Support";
        case SearchPathDirectory::preferences: return m_home / "Library" / "Preferences";
        case SearchPathDirectory::temporary: return m_home / "tmp";
    }
    return m_home;
}

URL Container::url(SearchPathDirectory directory) const {
    return URL::fileURLWithPath(folder(directory).string(), PathKind::directory);
}

Status Container::createFolders() const {
    for (auto directory :
         {SearchPathDirectory::documents, SearchPathDirectory::caches, SearchPathDirectory::applicationSupport,
          SearchPathDirectory::preferences, SearchPathDirectory::temporary}) {
        std::error_code error;
        std::filesystem::create_directories(folder(directory), error);
        if (error) return Error::posix(error.value(), "create " + folder(directory).string());
    }
    return {};
}

std::shared_ptr<const Container> Container::current() {
    std::lock_guard lock(currentMutex());
    return currentSlot();
}

void Container::setCurrent(std::shared_ptr<const Container> container) {
    std::lock_guard lock(currentMutex());
    currentSlot() = std::move(container);
}

ScopedContainer::ScopedContainer(std::filesystem::path home)
    : m_container(std::make_shared<const Container>(std::move(home))), m_previous(Container::current()) {
    if (auto status = m_container->createFolders(); !status)
        base::fatal("cannot create container folders: " + status.error().description);
    Container::setCurrent(m_container);
}

ScopedContainer::~ScopedContainer() { Container::setCurrent(m_previous); }

}  // namespace foundation
