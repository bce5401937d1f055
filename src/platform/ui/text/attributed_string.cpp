#include "platform/ui/text/attributed_string.h"

#include "platform/ui/text/text_attachment.h"
#include "platform/ui/text/text_frame.h"

namespace ui {

namespace {
constexpr const char* objectReplacementCharacter = "\xEF\xBF\xBC";
}

bool attributeValuesEqual(const std::any& a, const std::any& b) {
    if (a.type() != b.type()) return false;
    if (const auto* x = std::any_cast<std::string>(&a)) return *x == *std::any_cast<std::string>(&b);
    if (const auto* x = std::any_cast<double>(&a)) return *x == *std::any_cast<double>(&b);
    if (const auto* x = std::any_cast<int>(&a)) return *x == *std::any_cast<int>(&b);
    if (const auto* x = std::any_cast<bool>(&a)) return *x == *std::any_cast<bool>(&b);
    if (const auto* x = std::any_cast<Color>(&a)) return *x == *std::any_cast<Color>(&b);
    if (const auto* x = std::any_cast<Font>(&a)) return *x == *std::any_cast<Font>(&b);
    if (const auto* x = std::any_cast<std::shared_ptr<TextAttachment>>(&a))
        return *x == *std::any_cast<std::shared_ptr<TextAttachment>>(&b);
    return true;
}

std::shared_ptr<AttributedString> AttributedString::create(std::string text, TextAttributes attributes) {
    return create(std::vector<Run>{{std::move(text), std::move(attributes)}});
}

std::shared_ptr<AttributedString> AttributedString::create(std::vector<Run> runs) {
    auto string = std::shared_ptr<AttributedString>(new AttributedString());
    for (auto& run : runs) {
        if (!run.text.empty()) string->m_runs.push_back(std::move(run));
    }
    return string;
}

std::shared_ptr<AttributedString> AttributedString::withAttachment(const std::shared_ptr<TextAttachment>& attachment,
                                                                   TextAttributes attributes) {
    attributes[AttributedStringKey::attachment()] = attachment;
    return create(objectReplacementCharacter, std::move(attributes));
}

std::string AttributedString::string() const {
    std::string text;
    for (const auto& run : m_runs) text += run.text;
    return text;
}

std::shared_ptr<AttributedString> AttributedString::appending(const AttributedString& other) const {
    std::vector<Run> runs = m_runs;
    runs.insert(runs.end(), other.m_runs.begin(), other.m_runs.end());
    return create(std::move(runs));
}

TextAttributes AttributedString::attributesAtStart() const {
    return m_runs.empty() ? TextAttributes{} : m_runs[0].attributes;
}

bool AttributedString::isEqual(const AttributedString& other) const {
    if (m_runs.size() != other.m_runs.size()) return false;
    for (size_t i = 0; i < m_runs.size(); ++i) {
        const auto& a = m_runs[i];
        const auto& b = other.m_runs[i];
        if (a.text != b.text || a.attributes.size() != b.attributes.size()) return false;
        for (const auto& [key, value] : a.attributes) {
            const auto it = b.attributes.find(key);
            if (it == b.attributes.end() || !attributeValuesEqual(value, it->second)) return false;
        }
    }
    return true;
}

Size AttributedString::singleLineSize(const Font& defaultFont) const {
    const auto frame = TextFrame::create(*this, defaultFont, Color::label(), TextContainer{});
    if (frame.lines().empty()) return {};
    return {frame.lines().front().width, frame.lines().front().height};
}

}  // namespace ui
