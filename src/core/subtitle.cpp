#include "core/subtitle.h"

#include "platform/base/fatal.h"

namespace reelhaven {

std::shared_ptr<Subtitle> Subtitle::create(foundation::URL url, LibraryItemType type, bool isSecurityScoped) {
    return std::shared_ptr<Subtitle>(new Subtitle(std::move(url), type, isSecurityScoped));
}

std::shared_ptr<Subtitle> Subtitle::create(foundation::URL url, LibraryItemType type, const ListedIdentity& listed) {
    return std::shared_ptr<Subtitle>(new Subtitle(std::move(url), type, listed));
}

void Subtitle::decode(const nlohmann::json&) { base::fatal("init(from:) has not been implemented"); }

}  // namespace reelhaven
