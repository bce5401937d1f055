#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/font.h"
#include "platform/ui/text/line_break_mode.h"
#include "platform/ui/text/text_alignment.h"
#include "platform/ui/text/text_frame.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"

namespace ui {

enum class BaselineAdjustment { alignBaselines = 0, alignCenters = 1, none = 2 };

// A text label. Its text is shaped and laid out (text/text_frame): one line is as wide as its
// shaped text and as tall as its fonts' lines; more lines wrap at the width they are given, and
// the last allowed line is cut as the break mode says. `textFrame` is what the label shows in its
// bounds. Setting `text` replaces the attributed text with a plain one, and the other way round.
// Main thread only.
class Label : public View {
public:
    static std::shared_ptr<Label> create(const Rect& frame = {});
    std::string className() const override { return "Label"; }

    virtual std::optional<std::string> text() const { return m_text; }
    virtual void setText(std::optional<std::string> text);
    virtual std::shared_ptr<AttributedString> attributedText() const { return m_attributedText; }
    virtual void setAttributedText(std::shared_ptr<AttributedString> text);
    virtual Font font() const { return m_font; }
    virtual void setFont(const Font& font);
    virtual Color textColor() const { return m_textColor; }
    virtual void setTextColor(const Color& color);
    virtual TextAlignment textAlignment() const { return m_textAlignment; }
    virtual void setTextAlignment(TextAlignment alignment);
    virtual LineBreakMode lineBreakMode() const { return m_lineBreakMode; }
    virtual void setLineBreakMode(LineBreakMode mode);
    virtual int numberOfLines() const { return m_numberOfLines; }
    virtual void setNumberOfLines(int lines);
    virtual std::optional<Color> shadowColor() const { return m_shadowColor; }
    virtual void setShadowColor(std::optional<Color> color) {
        checkMainThread();
        m_shadowColor = std::move(color);
    }
    virtual Size shadowOffset() const { return m_shadowOffset; }
    virtual void setShadowOffset(Size offset) {
        checkMainThread();
        m_shadowOffset = offset;
    }
    virtual std::optional<Color> highlightedTextColor() const { return m_highlightedTextColor; }
    virtual void setHighlightedTextColor(std::optional<Color> color) {
        checkMainThread();
        m_highlightedTextColor = std::move(color);
    }
    virtual bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted) {
        checkMainThread();
        m_highlighted = highlighted;
    }
    virtual bool isEnabled() const { return m_enabled; }
    virtual void setEnabled(bool enabled) {
        checkMainThread();
        m_enabled = enabled;
    }
    virtual BaselineAdjustment baselineAdjustment() const { return m_baselineAdjustment; }
    virtual void setBaselineAdjustment(BaselineAdjustment adjustment) {
        checkMainThread();
        m_baselineAdjustment = adjustment;
    }
    virtual bool adjustsFontSizeToFitWidth() const { return m_adjustsFontSize; }
    virtual void setAdjustsFontSizeToFitWidth(bool adjusts) {
        checkMainThread();
        m_adjustsFontSize = adjusts;
    }
    virtual double minimumScaleFactor() const { return m_minimumScaleFactor; }
    virtual void setMinimumScaleFactor(double factor) {
        checkMainThread();
        m_minimumScaleFactor = factor;
    }
    virtual double minimumFontSize() const { return m_minimumFontSize; }
    virtual void setMinimumFontSize(double size) {
        checkMainThread();
        m_minimumFontSize = size;
    }
    double preferredMaxLayoutWidth() const { return m_preferredMaxLayoutWidth; }
    void setPreferredMaxLayoutWidth(double width);

    // Multi-line labels wrap at the width given; a one-line label measures its whole text. The
    // intrinsic size of a multi-line label wraps at `preferredMaxLayoutWidth`, or, while that is
    // 0, at the width layout gave the label (unlimited before the first pass): once layout sets
    // or changes that width, the label asks for the height its wrapped text takes.
    Size sizeThatFits(Size size) const override;
    Size intrinsicContentSize() const override;
    void layoutSubviews() override;
    // Draws the text; a subclass that draws otherwise (or nothing) overrides it.
    void draw(const Rect& rect) override;

    // The text as the label shows it in its bounds: wrapped at their width (unlimited while it is
    // 0), lines that do not fit their height left out, the last line cut by the break mode, the
    // font shrunk first when `adjustsFontSizeToFitWidth` asks, in the highlighted colour when
    // highlighted.
    TextFrame textFrame() const;
    // Where `textFrame` sits in the bounds: centred vertically, as wide as the bounds.
    Rect textRect() const;
    // The baselines of the first and last line below the top, as the label lays its text out
    // when it hugs it (its intrinsic height, which is how a baseline-aligned stack sizes it);
    // none without text.
    std::pair<double, double> layoutBaselines() const override;

protected:
    explicit Label(const Rect& frame, std::shared_ptr<Layer> layer = nullptr);

private:
    // Labels are measured many times in one layout pass; the last few layouts are kept, keyed by
    // everything they depend on (the attributed string is immutable, so its identity stands for
    // its content).
    struct CachedFrame {
        std::shared_ptr<AttributedString> text;
        Font font = Font::systemFont(17);
        Color color;
        TextContainer container;
        TextFrame frame;
    };
    TextFrame frameFor(const TextContainer& container, const Color& color) const;
    // The room the text is measured in at `width`: unbounded for one line.
    TextContainer measuringContainer(double width) const;

    std::optional<std::string> m_text;
    std::shared_ptr<AttributedString> m_attributedText;
    bool m_plainText = false;  // the text was set as a plain string (no attributes of its own)
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
    mutable std::vector<CachedFrame> m_frames;  // most recent last
    mutable double m_intrinsicWidth = 0;        // the width the last intrinsic size wrapped at
};

}  // namespace ui
