#pragma once

#include <any>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/text/font.h"
#include "platform/ui/views/color.h"
#include "platform/ui/views/object.h"
#include "platform/ui/views/size.h"

namespace ui {

class TextAttachment;

// The name of a text attribute, made from its text.
struct AttributedStringKey {
    std::string rawValue;

    static AttributedStringKey font() { return {"NSFont"}; }                        // Font
    static AttributedStringKey foregroundColor() { return {"NSColor"}; }            // Color
    static AttributedStringKey backgroundColor() { return {"NSBackgroundColor"}; }  // Color
    static AttributedStringKey kern() { return {"NSKern"}; }                        // double
    static AttributedStringKey strokeColor() { return {"NSStrokeColor"}; }          // Color
    static AttributedStringKey strokeWidth() { return {"NSStrokeWidth"}; }          // double
    static AttributedStringKey attachment() { return {"NSAttachment"}; }            // shared_ptr<TextAttachment>
    static AttributedStringKey paragraphStyle() { return {"NSParagraphStyle"}; }    // any

    bool operator<(const AttributedStringKey& o) const { return rawValue < o.rawValue; }
    bool operator==(const AttributedStringKey&) const = default;
};

using TextAttributes = std::map<AttributedStringKey, std::any>;

// Text as runs of characters sharing attributes; attachments are runs of one object-replacement
// character carrying the attachment. Immutable; `appending` makes a new string.
class AttributedString : public Object {
public:
    struct Run {
        std::string text;
        TextAttributes attributes;
    };

    static std::shared_ptr<AttributedString> create(std::string text, TextAttributes attributes = {});
    static std::shared_ptr<AttributedString> create(std::vector<Run> runs);
    static std::shared_ptr<AttributedString> withAttachment(const std::shared_ptr<TextAttachment>& attachment,
                                                            TextAttributes attributes = {});
    std::string className() const override { return "AttributedString"; }

    std::string string() const;
    const std::vector<Run>& runs() const { return m_runs; }
    bool empty() const { return string().empty(); }
    std::shared_ptr<AttributedString> appending(const AttributedString& other) const;
    // The attributes of the first run, or none.
    TextAttributes attributesAtStart() const;

    // Equal text, runs and attribute values (values of unknown types compare by type only).
    bool isEqual(const AttributedString& other) const;

    // The size of the text's first paragraph on one line, shaped; runs without a font use
    // `defaultFont`. Not rounded.
    Size singleLineSize(const Font& defaultFont) const;

private:
    AttributedString() = default;

    std::vector<Run> m_runs;
};

// Whether two attribute values are equal (strings, numbers, colours, fonts, pointers).
bool attributeValuesEqual(const std::any& a, const std::any& b);

}  // namespace ui
