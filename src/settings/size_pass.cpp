#include "settings/size_pass.h"

#include <cstdint>
#include <utility>

#include "core/documents_client.h"
#include "platform/foundation/allocated_size.h"
#include "platform/foundation/byte_count_formatter.h"
#include "settings/settings_work_queue.h"

namespace reelhaven {

void SizePass::start(const std::weak_ptr<const void>& screen, Measure measure, Show show) {
    settingsWorkQueue()->async([screen, measure = std::move(measure), show = std::move(show)]() mutable {
        if (screen.expired()) return;
        auto texts = measure();
        dispatch::Queue::main()->async([screen, texts = std::move(texts), show = std::move(show)] {
            if (screen.expired()) return;
            show(texts);
        });
    });
}

std::string SizePass::librarySizeText(DocumentsClient& client) {
    const auto bytes = foundation::allocatedSize(client.documentsURL(), foundation::SizeScope::wholeTree).valueOr(0);
    return foundation::ByteCountFormatter::string(static_cast<std::int64_t>(bytes),
                                                  foundation::ByteCountFormatter::CountStyle::file);
}

std::string SizePass::cacheSizeText(DocumentsClient& client) {
    return foundation::ByteCountFormatter::string(static_cast<std::int64_t>(client.cacheSize()),
                                                  foundation::ByteCountFormatter::CountStyle::file);
}

}  // namespace reelhaven
