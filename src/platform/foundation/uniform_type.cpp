#include "platform/foundation/uniform_type.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <set>

namespace foundation {

namespace {

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

class Registry {
public:
    static Registry& shared() {
        static auto& registry = *new Registry();  // never destroyed: asked from any thread until exit
        return registry;
    }

    void declare(UniformType::Declaration declaration) {
        if (declaration.conformsTo.empty() && declaration.identifier != "public.item" &&
            declaration.identifier != "public.data")
            declaration.conformsTo = {"public.data"};
        for (auto& extension : declaration.extensions) extension = lowered(extension);
        std::lock_guard lock(m_mutex);
        auto it = std::find_if(m_declarations.begin(), m_declarations.end(),
                               [&](const auto& d) { return d.identifier == declaration.identifier; });
        if (it == m_declarations.end()) {
            m_declarations.push_back(std::move(declaration));
        } else {
            *it = std::move(declaration);
        }
    }

    std::optional<UniformType::Declaration> find(std::string_view identifier) const {
        std::lock_guard lock(m_mutex);
        for (const auto& d : m_declarations) {
            if (d.identifier == identifier) return d;
        }
        return std::nullopt;
    }

    std::optional<std::string> forExtension(std::string_view extension) const {
        const std::string wanted = lowered(extension);
        std::lock_guard lock(m_mutex);
        for (const auto& d : m_declarations) {
            if (std::find(d.extensions.begin(), d.extensions.end(), wanted) != d.extensions.end()) return d.identifier;
        }
        return std::nullopt;
    }

    // Whether `from` reaches `to` through conformances (cycles in declarations end the walk).
    bool reaches(const std::string& from, const std::string& to) const {
        std::lock_guard lock(m_mutex);
        std::set<std::string> seen;
        std::vector<std::string> pending{from};
        while (!pending.empty()) {
            std::string current = std::move(pending.back());
            pending.pop_back();
            if (current == to) return true;
            if (!seen.insert(current).second) continue;
            for (const auto& d : m_declarations) {
                if (d.identifier == current) pending.insert(pending.end(), d.conformsTo.begin(), d.conformsTo.end());
            }
        }
        return false;
    }

private:
    Registry() {
        const std::vector<UniformType::Declaration> system{
            {"public.item", {}, {}},
            {"public.data", {}, {"public.item"}},
            {"public.content", {}, {}},
            {"public.directory", {}, {"public.item"}},
            {"public.folder", {}, {"public.directory"}},
            {"public.audiovisual-content", {}, {"public.data", "public.content"}},
            {"public.movie", {}, {"public.audiovisual-content"}},
            {"public.video", {}, {"public.movie"}},
            {"public.mpeg-4", {"mp4", "mpeg4", "mpg4"}, {"public.movie"}},
            {"public.avi", {"avi", "vfw"}, {"public.movie"}},
            {"public.mpeg-2-transport-stream", {"ts", "mts", "m2ts"}, {"public.movie"}},
            {"com.apple.quicktime-movie", {"mov", "qt"}, {"public.movie"}},
            {"public.mpeg", {"mpg", "mpeg", "m75", "m15"}, {"public.movie"}},
            {"public.mpeg-2-video", {"m2v"}, {"public.movie"}},
            {"com.apple.m4v-video", {"m4v"}, {"public.movie"}},
            {"public.text", {}, {"public.data", "public.content"}},
            {"public.plain-text", {"txt", "text"}, {"public.text"}},
        };
        for (auto d : system) {
            if (d.conformsTo.empty() && d.identifier != "public.item" && d.identifier != "public.content")
                d.conformsTo = {"public.item"};
            m_declarations.push_back(std::move(d));
        }
    }

    mutable std::mutex m_mutex;
    std::vector<UniformType::Declaration> m_declarations;  // guarded by m_mutex; in declaration order
};

}  // namespace

void UniformType::declare(Declaration declaration) { Registry::shared().declare(std::move(declaration)); }

std::optional<UniformType> UniformType::withIdentifier(std::string_view identifier) {
    if (!Registry::shared().find(identifier)) return std::nullopt;
    return UniformType(std::string(identifier));
}

std::optional<UniformType> UniformType::forFilenameExtension(std::string_view extension) {
    const auto identifier = Registry::shared().forExtension(extension);
    if (!identifier) return std::nullopt;
    return UniformType(*identifier);
}

UniformType UniformType::importedAs(const std::string& identifier, const std::string& conformingTo) {
    if (!Registry::shared().find(identifier)) declare({identifier, {}, {conformingTo}});
    return UniformType(identifier);
}

std::vector<std::string> UniformType::filenameExtensions() const {
    const auto d = Registry::shared().find(m_identifier);
    return d ? d->extensions : std::vector<std::string>{};
}

std::optional<std::string> UniformType::preferredFilenameExtension() const {
    const auto extensions = filenameExtensions();
    if (extensions.empty()) return std::nullopt;
    return extensions.front();
}

std::vector<std::string> UniformType::supertypes() const {
    const auto d = Registry::shared().find(m_identifier);
    return d ? d->conformsTo : std::vector<std::string>{};
}

bool UniformType::conforms(const UniformType& other) const {
    return Registry::shared().reaches(m_identifier, other.m_identifier);
}

}  // namespace foundation
