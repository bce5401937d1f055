#include "platform/ui/photo_library.h"

#include "platform/dispatch/queue.h"

namespace ui {

PhotoLibrary& PhotoLibrary::shared() {
    static PhotoLibrary library;
    return library;
}

void PhotoLibrary::saveImage(const std::shared_ptr<Image>& image, Completion completion) {
    std::optional<foundation::Error> error;
    {
        std::lock_guard lock(m_mutex);
        if (!m_allowed) {
            error =
                foundation::Error::foundation(foundation::kErrorWriteFailed, "access to the photo library was denied");
        } else if (!image || (!image->cgImage() && !image->isSymbolImage())) {
            error = foundation::Error::foundation(foundation::kErrorInvalidArgument, "there is no image to save");
        } else {
            m_saved.push_back(image);
        }
    }
    if (!completion) return;
    dispatch::Queue::main()->async([completion = std::move(completion), image, error] { completion(image, error); });
}

std::vector<std::shared_ptr<Image>> PhotoLibrary::savedImages() const {
    std::lock_guard lock(m_mutex);
    return m_saved;
}

bool PhotoLibrary::isAccessAllowed() const {
    std::lock_guard lock(m_mutex);
    return m_allowed;
}

void PhotoLibrary::setAccessAllowed(bool allowed) {
    std::lock_guard lock(m_mutex);
    m_allowed = allowed;
}

void PhotoLibrary::reset() {
    std::lock_guard lock(m_mutex);
    m_saved.clear();
    m_allowed = true;
}

}  // namespace ui
