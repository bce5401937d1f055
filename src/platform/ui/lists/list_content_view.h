#pragma once

#include <functional>
#include <memory>

#include "platform/ui/lists/list_content_configuration.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/image_view.h"

namespace ui {

// The content view of a cell or a header: a plain view whose layout pass hands over to its owner,
// so the owner's labels are placed again when their texts change (a label tells only its
// superview). It prints and behaves as a plain view.
class CellContentView : public View {
public:
    static std::shared_ptr<CellContentView> create(const Rect& frame, std::function<void()> layout);
    std::string className() const override { return "View"; }
    void layoutSubviews() override;

protected:
    CellContentView(const Rect& frame, std::function<void()> layout) : View(frame), m_layout(std::move(layout)) {}

private:
    std::function<void()> m_layout;
};

// What a list content configuration shows, as views: the image, the text and the secondary text,
// placed by the configuration's style. Touches pass through to the cell; the text screen prints
// the configuration on the cell's own line instead.
class ListContentView : public View {
public:
    static std::shared_ptr<ListContentView> create(const Rect& frame);
    std::string className() const override { return "ListContentView"; }

    void apply(const ListContentConfiguration& configuration);
    void layoutSubviews() override;

    const std::shared_ptr<ImageView>& imageView() const { return m_image; }
    const std::shared_ptr<Label>& textLabel() const { return m_text; }
    const std::shared_ptr<Label>& secondaryTextLabel() const { return m_secondary; }

    // The leading and trailing space of a row's content, and the image's column.
    static constexpr double kHorizontalInset = 16;
    static constexpr double kImageWidth = 29;
    static constexpr double kImageTextSpacing = 12;
    // A cell's layout margins until its screen sets others.
    static constexpr EdgeInsets kCellMargins{8, kHorizontalInset, 8, kHorizontalInset};

protected:
    explicit ListContentView(const Rect& frame) : View(frame) {}

private:
    void setUp();

    ListContentConfiguration::Style m_style = ListContentConfiguration::Style::cell;
    std::optional<double> m_imageMaximumWidth;
    std::shared_ptr<ImageView> m_image;
    std::shared_ptr<Label> m_text;
    std::shared_ptr<Label> m_secondary;
};

// How a row's content sits in its bounds.
struct RowContentPlacement {
    // The row's layout margins: the content keeps inside them.
    EdgeInsets margins = ListContentView::kCellMargins;
    // The texts one above the other rather than side by side.
    bool stacked = false;
    double imageWidth = ListContentView::kImageWidth;
    // Read right to left: the image at the right, the second text at the left, the margins
    // swapped.
    bool rightToLeft = false;
};

// The standard places of a row's image and labels in `bounds`, shared by table rows and list
// content: the image in a leading column, then the texts stacked or side by side with the second
// at the trailing edge. A missing view is skipped.
void placeRowContent(const Rect& bounds, const RowContentPlacement& placement, ImageView* image, Label* text,
                     Label* secondary);

// The image shown for a table row's accessory type (a check mark, a chevron, an info button), at
// the row's trailing edge. The row's line on the text screen names the accessory instead.
class CellAccessoryIndicatorView : public ImageView {
public:
    static std::shared_ptr<CellAccessoryIndicatorView> create();
    std::string className() const override { return "CellAccessoryIndicatorView"; }

protected:
    CellAccessoryIndicatorView() = default;
};

}  // namespace ui
