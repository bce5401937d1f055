#include "window_gallery.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "platform/display/display_host.h"
#include "platform/display/symbol_icons.h"
#include "platform/graphics/png_codec.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/controls/control.h"
#include "platform/ui/lists/scroll_view.h"
#include "platform/ui/screen/screen_driver.h"
#include "platform/ui/screen/text_screen.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/image_view.h"
#include "platform/ui/views/window.h"

namespace window_gallery {

namespace {

// A pixel counts as changed past what anti-aliasing and dithering move.
constexpr int kChannelStep = 24;
// Below this a view is too small to judge (a hairline, a sliver a scroll view leaves).
constexpr double kSmallest = 4;

std::string describe(const ui::View& view, const ui::Rect& rect) {
    std::ostringstream out;
    out << view.className();
    if (auto label = dynamic_cast<const ui::Label*>(&view); label && label->text())
        out << " \"" << *label->text() << "\"";
    out << " at " << rect.origin.x << "," << rect.origin.y << " " << rect.size.width << "x" << rect.size.height;
    return out.str();
}

std::string textOf(const ui::Label& label) {
    if (auto text = label.text(); text && !text->empty()) return *text;
    if (auto attributed = label.attributedText()) return attributed->string();
    return {};
}

ui::Rect inWindow(const ui::View& view, const ui::Rect& rect) { return view.convert(rect, nullptr); }

bool overlaps(const ui::Rect& a, const ui::Rect& b, double by) {
    const auto common = a.intersection(b);
    return common.size.width > by && common.size.height > by;
}

// The printed screen lists the window's layers in order, each from a line of its own at the first
// depth, with the bars and the alert or menu over them last: the handles from the last layer's
// line on are the top layer's.
int firstHandleOfTopLayer(const std::string& printed) {
    std::istringstream lines(printed);
    std::string line;
    int first = 1;
    bool topLayerLine = false;
    static const std::regex handle(" #(\\d+)");
    while (std::getline(lines, line)) {
        if (line.size() > 2 && line.compare(0, 2, "  ") == 0 && line[2] != ' ') {
            topLayerLine = true;
            continue;
        }
        std::smatch found;
        if (topLayerLine && std::regex_search(line, found, handle)) {
            first = std::stoi(found[1].str());
            topLayerLine = false;
        }
    }
    return first;
}

std::shared_ptr<ui::ScrollView> enclosingList(const ui::View& view) {
    for (auto above = view.superview(); above; above = above->superview()) {
        if (auto list = std::dynamic_pointer_cast<ui::ScrollView>(above)) return list;
    }
    return nullptr;
}

}  // namespace

bool Inspection::coveredInItsList(const Element& element) const {
    const auto hit = m_window->hitTest(element.visible.center());
    if (!hit || hit == element.view || hit->isDescendant(*element.view) || element.view->isDescendant(*hit))
        return false;
    // A list's pinned header lies over the rows scrolling under it, as it should.
    const auto list = enclosingList(*element.view);
    return list && hit->isDescendant(*list);
}

std::shared_ptr<ui::View> Inspection::topLayer() const {
    // Presented views lie on the window in presentation order: the last one is on top.
    const auto& layers = m_window->subviews();
    for (auto it = layers.rbegin(); it != layers.rend(); ++it) {
        if (!(*it)->isHidden() && (*it)->alpha() > 0.01) return *it;
    }
    return m_window;
}

bool Inspection::overlayShown() const {
    if (m_window->presentedMenu()) return true;
    const auto top = topLayer();
    return top != m_window && std::dynamic_pointer_cast<ui::AlertController>(top->viewController()) != nullptr;
}

std::vector<Inspection::Element> Inspection::elements(const std::shared_ptr<ui::View>& top) const {
    std::vector<Element> found;
    struct Visit {
        std::shared_ptr<ui::View> view;
        ui::Rect clip;
    };
    std::vector<Visit> stack{{top, m_window->bounds()}};
    while (!stack.empty()) {
        auto [view, clip] = stack.back();
        stack.pop_back();
        if (view->isHidden() || view->alpha() < 0.01) continue;
        const auto rect = inWindow(*view, view->bounds());
        const auto visible = rect.intersection(clip);
        // The window clips scroll views to their bounds as it clips views that ask for it.
        if (view->clipsToBounds() || dynamic_cast<const ui::ScrollView*>(view.get())) clip = visible;
        for (const auto& child : view->subviews()) stack.push_back({child, clip});
        if (visible.size.width < kSmallest || visible.size.height < kSmallest) continue;
        const auto* label = dynamic_cast<const ui::Label*>(view.get());
        const auto* image = dynamic_cast<const ui::ImageView*>(view.get());
        const bool shows = dynamic_cast<const ui::Control*>(view.get()) || (label && !textOf(*label).empty()) ||
                           (image && image->image());
        // Half of it at least in view: a sliver at a list's edge is not what a person looks at.
        const auto size = view->bounds().size;
        if (visible.size.width * visible.size.height < 0.5 * size.width * size.height) continue;
        Element element{view, visible, describe(*view, visible), shows};
        if (!coveredInItsList(element)) found.push_back(std::move(element));
    }
    return found;
}

Inspection::PixelBox Inspection::pixelBox(const gfx::Image& image, const ui::Rect& rect) const {
    const double scale = static_cast<double>(image.width()) / m_window->bounds().size.width;
    return {std::max(0, static_cast<int>(rect.origin.x * scale)), std::max(0, static_cast<int>(rect.origin.y * scale)),
            std::min(image.width(), static_cast<int>((rect.origin.x + rect.size.width) * scale)),
            std::min(image.height(), static_cast<int>((rect.origin.y + rect.size.height) * scale))};
}

long Inspection::changedPixels(const gfx::Image& a, const gfx::Image& b, const ui::Rect& rect) const {
    const auto box = pixelBox(a, rect);
    long changed = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            const auto p = a.pixel(x, y), q = b.pixel(x, y);
            changed += std::abs(p.r - q.r) > kChannelStep || std::abs(p.g - q.g) > kChannelStep ||
                       std::abs(p.b - q.b) > kChannelStep;
        }
    }
    return changed;
}

long Inspection::edges(const gfx::Image& image, const ui::Rect& rect, int step) const {
    const auto box = pixelBox(image, rect);
    long found = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left + 1; x < box.right; ++x) {
            const auto p = image.pixel(x, y), q = image.pixel(x - 1, y);
            found += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > step;
        }
    }
    return found;
}

gfx::Image Inspection::captureWithout(const std::shared_ptr<ui::View>& view) {
    const double alpha = view->alpha();
    view->setAlpha(0);
    auto image = m_display.capture();
    view->setAlpha(alpha);
    return image;
}

bool Inspection::still() {
    auto now = m_display.capture();
    const bool same = !m_shown.isEmpty() && now.width() == m_shown.width() && now.height() == m_shown.height() &&
                      changedPixels(m_shown, now, m_window->bounds()) == 0;
    m_shown = std::move(now);
    return same;
}

void Inspection::inspect(const std::string& screen) {
    m_window->layoutIfNeeded();
    m_shown = m_display.capture();
    if (const char* folder = std::getenv("GALLERY_PICTURES")) {
        if (auto png = gfx::PngCodec::encode(m_shown))
            std::ofstream(std::string(folder) + "/" + screen + ".png") << *png;
    }
    const auto top = topLayer();
    const auto shown = overlayShown() ? std::vector<Element>() : elements(top);
    // Before anything is made transparent: the handles the window drew are the printed screen's.
    checkClicks(screen, top, shown);
    checkSymbols(screen);
    checkTexts(screen, shown);
    checkInk(screen, shown);
    checkCover(screen, top);
    checkMenuBackdrop(screen);
    m_display.capture();
}

void Inspection::checkInk(const std::string& screen, const std::vector<Element>& elements) {
    for (const auto& element : elements) {
        if (!element.shows) continue;
        // A few pixels of its own at least: an icon's stroke, a letter, a control's edge.
        if (changedPixels(m_shown, captureWithout(element.view), element.visible) < 3)
            m_findings.push_back(screen + ": draws nothing of its own: " + element.name);
    }
}

void Inspection::checkTexts(const std::string& screen, const std::vector<Element>& elements) {
    struct Text {
        const Element* element;
        ui::Rect rect;
    };
    std::vector<Text> texts;
    for (const auto& element : elements) {
        auto label = std::dynamic_pointer_cast<ui::Label>(element.view);
        if (!label || textOf(*label).empty()) continue;
        texts.push_back({&element, inWindow(*label, label->textRect()).intersection(element.visible)});
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        for (size_t j = i + 1; j < texts.size(); ++j) {
            // A label that draws its text through a label inside it (a scrolling one) is one text.
            const auto& a = *texts[i].element->view;
            const auto& b = *texts[j].element->view;
            if (a.isDescendant(b) || b.isDescendant(a)) continue;
            if (overlaps(texts[i].rect, texts[j].rect, 2))
                m_findings.push_back(screen + ": texts drawn over each other: " + texts[i].element->name + " and " +
                                     texts[j].element->name);
        }
    }
}

void Inspection::checkSymbols(const std::string& screen) {
    // The printed screen names every symbol it shows, in bars, menus and views alike.
    const auto text = ui::ScreenDriver(m_window, ui::ScreenDriver::Settling::never).screen();
    static const std::regex symbol("sym:([A-Za-z0-9_.]+)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), symbol); it != std::sregex_iterator(); ++it) {
        const auto name = (*it)[1].str();
        // Through the lookup the painter draws symbols with: a mapping to a theme icon that is not
        // installed is no drawing either.
        if (!display::SymbolIcons::shared().surface(name, 24))
            m_findings.push_back(screen + ": the symbol " + name + " has no drawing");
    }
}

void Inspection::checkClicks(const std::string& screen, const std::shared_ptr<ui::View>& top,
                             const std::vector<Element>& elements) {
    const auto& drawn = m_display.chromeTargets();
    const auto drawnAt = [&](ui::Point point) -> int {
        for (auto it = drawn.rbegin(); it != drawn.rend(); ++it) {
            if (it->rect.contains(point)) return it->handle;
        }
        return 0;
    };
    const auto printed = ui::TextScreen::capture(*m_window);
    const auto& targets = printed.targets();
    const int firstOnTop = firstHandleOfTopLayer(printed.text());
    for (size_t i = 0; i < targets.size(); ++i) {
        const auto& target = targets[i];
        const int handle = static_cast<int>(i) + 1;
        if (handle < firstOnTop) continue;
        if (target.inViewTree) {
            // Under an alert or an open menu, or under the top layer, nothing is for a person to
            // click now; nor what a scroll view has scrolled away.
            const auto element =
                std::find_if(elements.begin(), elements.end(), [&](const Element& e) { return e.view == target.view; });
            // A sliver at a scroll view's edge is not where a person clicks.
            if (element == elements.end() ||
                element->visible.size.width * element->visible.size.height <
                    0.5 * target.view->bounds().size.width * target.view->bounds().size.height)
                continue;
            const auto point = element->visible.center();
            const auto hit = m_window->hitTest(point);
            // A view may let touches through where it shows nothing to act on (the empty state
            // takes them only on its content): the click goes where that view sends it.
            const auto inTarget = target.view->convertFromWindow(point);
            if (target.view->isUserInteractionEnabled() && target.view->pointInside(inTarget) &&
                !target.view->hitTest(inTarget))
                continue;
            if (!hit || (hit != target.view && !hit->isDescendant(*target.view))) {
                m_findings.push_back(screen + ": a click at the centre of " + target.line + " lands on " +
                                     (hit ? describe(*hit, inWindow(*hit, hit->bounds())) : std::string("nothing")));
            } else if (const int over = drawnAt(point)) {
                m_findings.push_back(screen + ": a click at the centre of " + target.line + " lands on #" +
                                     std::to_string(over) + ", drawn over it");
            }
            continue;
        }
        // What the window draws outside its views: the painter leaves out bars that something
        // presented covers.
        const auto rect = std::find_if(drawn.begin(), drawn.end(), [&](const auto& t) { return t.handle == handle; });
        if (rect == drawn.end()) {
            if (target.kind == ui::ScreenTarget::Kind::alertAction || target.kind == ui::ScreenTarget::Kind::menuEntry)
                m_findings.push_back(screen + ": " + target.line + " is not drawn");
            continue;
        }
        const auto point = rect->rect.center();
        if (const int over = drawnAt(point); over != handle)
            m_findings.push_back(screen + ": a click at the centre of " + target.line + " lands on #" +
                                 std::to_string(over));
        else if (!overlayShown() && top != m_window && !inWindow(*top, top->bounds()).contains(point) &&
                 top->frame() == m_window->bounds())
            m_findings.push_back(screen + ": " + target.line + " is drawn over " + describe(*top, top->frame()));
    }
}

void Inspection::checkCover(const std::string& screen, const std::shared_ptr<ui::View>& top) {
    if (top == m_window || overlayShown()) return;
    std::vector<std::pair<std::shared_ptr<ui::View>, double>> under;
    for (const auto& layer : m_window->subviews()) {
        if (layer == top) break;
        under.push_back({layer, layer->alpha()});
    }
    if (under.empty()) return;
    for (auto& [layer, alpha] : under) layer->setAlpha(0);
    const auto alone = m_display.capture();
    for (auto& [layer, alpha] : under) layer->setAlpha(alpha);
    const auto area = inWindow(*top, top->bounds()).intersection(m_window->bounds());
    const long pixels = std::lround(area.size.width * area.size.height);
    // A material lets what lies under it through blurred, without edges of its own; text or
    // edges seen through add edges to the picture.
    const long sharp = edges(m_shown, area) - edges(alone, area);
    if (pixels > 0 && sharp * 200 > pixels)
        m_findings.push_back(screen + ": what lies under " + describe(*top, area) + " shows through (" +
                             std::to_string(sharp) + " edges more in " + std::to_string(pixels) + " pixels)");
}

void Inspection::checkMenuBackdrop(const std::string& screen) {
    if (!m_window->presentedMenu()) return;
    // The menu's rows, as the window drew them.
    const auto printed = ui::TextScreen::capture(*m_window);
    std::vector<ui::Rect> rows;
    for (const auto& drawn : m_display.chromeTargets()) {
        const auto index = static_cast<size_t>(drawn.handle - 1);
        if (drawn.handle > 0 && index < printed.targets().size() &&
            printed.targets()[index].kind == ui::ScreenTarget::Kind::menuEntry)
            rows.push_back(drawn.rect);
    }
    if (rows.empty()) return;
    // The screen under the menu made transparent: the rows' own drawing stays, and whatever else
    // steps sharply in them came through from under the menu. Faint text a few levels above the
    // menu's colour is enough for a person to read it.
    const auto alone = captureWithout(m_window->rootViewController()->view());
    constexpr int kFaintStep = 6;
    for (const auto& row : rows) {
        const long through = edges(m_shown, row, kFaintStep) - edges(alone, row, kFaintStep);
        const long pixels = std::lround(row.size.width * row.size.height);
        if (through * 400 > pixels)
            m_findings.push_back(screen + ": what lies under the menu shows through its row at " +
                                 std::to_string(row.origin.x) + "," + std::to_string(row.origin.y) + " (" +
                                 std::to_string(through) + " edges more)");
    }
}

}  // namespace window_gallery
