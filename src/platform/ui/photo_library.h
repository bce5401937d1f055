#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/foundation/error.h"
#include "platform/ui/image.h"

namespace ui {

// The photo library images are saved to. Saved images are kept in order; a test can refuse
// access (as a user who denied it), and the save then fails. The completion always runs on the
// main queue, with an error when the image was not saved.
class PhotoLibrary {
public:
    using Completion = std::function<void(const std::shared_ptr<Image>&, std::optional<foundation::Error>)>;

    static PhotoLibrary& shared();

    void saveImage(const std::shared_ptr<Image>& image, Completion completion);
    std::vector<std::shared_ptr<Image>> savedImages() const;
    bool isAccessAllowed() const;
    void setAccessAllowed(bool allowed);
    // Forgets saved images and allows access again; for tests.
    void reset();

private:
    PhotoLibrary() = default;

    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<Image>> m_saved;
    bool m_allowed = true;
};

}  // namespace ui
