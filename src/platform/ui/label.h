#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/attributed_string.h"
#include "platform/ui/font.h"
#include "platform/ui/view.h"

namespace ui {

enum class TextAlignment { left = 0, center = 1, right = 2, justified = 3, natural = 4 };
enum class LineBreakMode {
    byWordWrapping = 0,
    byCharWrapping = 1,
    byClipping = 2,
    byTruncatingHead = 3,
    byTruncatingTail = 4,
    byTruncatingMiddle = 5,
};
enum class BaselineAdjustment { alignBaselines = 0, alignCenters = 1, none = 2 };

// A text label. Its size comes from the font's real metrics: one line is as wide as its text's
// advances and as tall as the font's line height; more lines wrap at the width they are given.
// Setting `text` replaces the attributed text with a plain one, and the other way round.
class Label : public View {
public:
    static std::shared_ptr<Label> create(const Rect& frame = {});
    std::string className() const override { return "Label"; }

    virtual std::optional<std::string> text() const { return m_text; }
    virtual void setText(std::optional<std::string> text);
    virtual std::shared_ptr<AttributedString> attributedText() const { return m_attributedText; }
    virtual void setAttributedText(std::shared_ptr<AttributedString> text);
    virtual Font font() const { return m_font; }
    virtual void setFont(const Font& font) { m_font = font; }
    virtual Color textColor() const { return m_textColor; }
    virtual void setTextColor(const Color& color) { m_textColor = color; }
    virtual TextAlignment textAlignment() const { return m_textAlignment; }
    virtual void setTextAlignment(TextAlignment alignment) { m_textAlignment = alignment; }
    virtual LineBreakMode lineBreakMode() const { return m_lineBreakMode; }
    virtual void setLineBreakMode(LineBreakMode mode) { m_lineBreakMode = mode; }
    virtual int numberOfLines() const { return m_numberOfLines; }
    virtual void setNumberOfLines(int lines) { m_numberOfLines = lines; }
    virtual std::optional<Color> shadowColor() const { return m_shadowColor; }
    virtual void setShadowColor(std::optional<Color> color) { m_shadowColor = std::move(color); }
    virtual Size shadowOffset() const { return m_shadowOffset; }
    virtual void setShadowOffset(Size offset) { m_shadowOffset = offset; }
    virtual std::optional<Color> highlightedTextColor() const { return m_highlightedTextColor; }
    virtual void setHighlightedTextColor(std::optional<Color> color) { m_highlightedTextColor = std::move(color); }
    virtual bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted) { m_highlighted = highlighted; }
    virtual bool isEnabled() const { return m_enabled; }
    virtual void setEnabled(bool enabled) { m_enabled = enabled; }
    virtual BaselineAdjustment baselineAdjustment() const { return m_baselineAdjustment; }
    virtual void setBaselineAdjustment(BaselineAdjustment adjustment) { m_baselineAdjustment = adjustment; }
    virtual bool adjustsFontSizeToFitWidth() const { return m_adjustsFontSize; }
    virtual void setAdjustsFontSizeToFitWidth(bool adjusts) { m_adjustsFontSize = adjusts; }
    virtual double minimumScaleFactor() const { return m_minimumScaleFactor; }
    virtual void setMinimumScaleFactor(double factor) { m_minimumScaleFactor = factor; }
    virtual double minimumFontSize() const { return m_minimumFontSize; }
    virtual void setMinimumFontSize(double size) { m_minimumFontSize = size; }
    double preferredMaxLayoutWidth() const { return m_preferredMaxLayoutWidth; }
    void setPreferredMaxLayoutWidth(double width) { m_preferredMaxLayoutWidth = width; }

    Size sizeThatFits(Size size) const override;
    Size intrinsicContentSize() const override;

protected:
    explicit Label(const Rect& frame, std::shared_ptr<Layer> layer = nullptr);

private:
    std::optional<std::string> m_text;
    std::shared_ptr<AttributedString> m_attributedText;
    Font m_font = Font::systemFont(17);
    Color m_textColor = Color::label();
    TextAlignment m_textAlignment = TextAlignment::natural;
    LineBreakMode m_lineBreakMode = LineBreakMode::byTruncatingTail;
    int m_numberOfLines = 1;
    std::optional<Color> m_shadowColor;
    Size m_shadowOffset{0, -1};
    std::optional<Color> m_highlightedTextColor;
    bool m_highlighted = false;
    bool m_enabled = true;
    BaselineAdjustment m_baselineAdjustment = BaselineAdjustment::alignBaselines;
    bool m_adjustsFontSize = false;
    double m_minimumScaleFactor = 0;
    double m_minimumFontSize = 0;
    double m_preferredMaxLayoutWidth = 0;
};

}  // namespace ui
