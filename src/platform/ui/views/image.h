#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/graphics/image.h"
#include "platform/ui/controls/symbol_configuration.h"
#include "platform/ui/views/color.h"
#include "platform/ui/views/edge_insets.h"
#include "platform/ui/views/object.h"
#include "platform/ui/views/size.h"

namespace ui {

enum class ImageRenderingMode { automatic = 0, alwaysOriginal = 1, alwaysTemplate = 2 };
enum class ImageOrientation { up, down, left, right };

// An image: an RGBA bitmap with a scale (size in points = pixels / scale), or a system symbol
// known by name and configuration (no bitmap; its size follows the configuration's point size),
// or an asset by name. Immutable; the `with...` members return new images.
class Image : public Object {
public:
    static std::shared_ptr<Image> create(gfx::Image bitmap, double scale = 1,
                                         ImageOrientation orientation = ImageOrientation::up);
    // An image of a bitmap held elsewhere too (a cached thumbnail), shared instead of copied;
    // null for a null bitmap.
    static std::shared_ptr<Image> create(std::shared_ptr<const gfx::Image> bitmap, double scale = 1,
                                         ImageOrientation orientation = ImageOrientation::up);
    // A system symbol ("play.fill"); every name is known here.
    static std::shared_ptr<Image> systemImage(const std::string& name,
                                              std::optional<SymbolConfiguration> configuration = std::nullopt);
    // An asset registered under `name` (by the app's resources or tests), or null.
    static std::shared_ptr<Image> named(const std::string& name);
    static void registerAsset(const std::string& name, std::function<std::shared_ptr<Image>()> factory);
    static void unregisterAsset(const std::string& name);

    std::string className() const override { return "Image"; }

    Size size() const;
    double scale() const { return m_scale; }
    ImageOrientation imageOrientation() const { return m_orientation; }
    ImageRenderingMode renderingMode() const { return m_renderingMode; }
    std::optional<Color> tintColor() const { return m_tintColor; }
    bool isSymbolImage() const { return !m_symbolName.empty(); }
    const std::string& symbolName() const { return m_symbolName; }
    const std::optional<SymbolConfiguration>& symbolConfiguration() const { return m_symbolConfiguration; }
    const std::string& assetName() const { return m_assetName; }
    // The bitmap, or null for a symbol image.
    std::shared_ptr<const gfx::Image> cgImage() const { return m_bitmap; }

    std::shared_ptr<Image> withRenderingMode(ImageRenderingMode mode) const;
    std::shared_ptr<Image> withTintColor(const Color& color) const;
    std::shared_ptr<Image> withConfiguration(const SymbolConfiguration& configuration) const;
    // Empty space around a symbol, in points, which its size includes: a symbol has no pixels to
    // copy into a larger bitmap, so the padded copy keeps its name and says where it is drawn.
    std::shared_ptr<Image> withPadding(const EdgeInsets& padding) const;
    const EdgeInsets& padding() const { return m_padding; }

protected:
    Image() = default;

private:
    std::shared_ptr<Image> clone() const;

    std::shared_ptr<const gfx::Image> m_bitmap;
    double m_scale = 1;
    ImageOrientation m_orientation = ImageOrientation::up;
    ImageRenderingMode m_renderingMode = ImageRenderingMode::automatic;
    std::optional<Color> m_tintColor;
    std::string m_symbolName;
    std::optional<SymbolConfiguration> m_symbolConfiguration;
    std::string m_assetName;
    EdgeInsets m_padding;
};

}  // namespace ui
