// Paint time of the display's painter, into an image at scale 1 and at scale 2, three ways,
// interleaved so the machine's load falls on each alike. Two screens in a 1024x720 window:
//   grid    24 of the library's video cells (thumbnail plate, duration, progress bar, title, size)
//   chrome  the same cells under a navigation bar (back button, title, two items) with an alert
//           presented over them (title, message, text field, two actions): the tree and the chrome
// Each way:
//   full        the cache off: every layer, bar and alert drawn, as each repaint was before the cache
//   cached      the unchanged screen again: the kept bitmaps composited
//   one_change  grid: one cell's duration text changes before each paint (a video playing beside
//               the grid); chrome: the bar's title changes before each paint
// For the chrome screen the bar and the alert alone are timed too (chrome_ms).
// Each paint clears a window-sized target and paints the screen into it, as the display host does.
// Prints the median and mean milliseconds per paint of each. No window or GL: only the painter.
//
// Usage: bench_display_paint [ROUNDS]   (default 200 paints of each kind per scale and screen)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "library/library_cell_nibs.h"
#include "library/video_collection_view_cell.h"
#include "platform/dispatch/run_loop.h"
#include "platform/display/symbol_icons.h"
#include "platform/display/view_painter.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/nib.h"
#include "platform/ui/controls/bar_button_item.h"
#include "platform/ui/controls/progress_view.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/image_view.h"
#include "platform/ui/views/window.h"
#include "toolkit/scrolling_label.h"

namespace {

using Clock = std::chrono::steady_clock;

std::shared_ptr<ui::Image> thumbnail(int index) {
    gfx::Image bitmap(320, 180);
    bitmap.fill({(index * 37 % 255) / 255.0, (index * 91 % 255) / 255.0, (index * 53 % 255) / 255.0, 1});
    return ui::Image::create(bitmap);
}

std::shared_ptr<reelhaven::VideoCollectionViewCell> videoCell(int index) {
    auto objects = ui::Nib::named(reelhaven::VideoCollectionViewCell::nibName)->instantiate();
    auto cell = std::dynamic_pointer_cast<reelhaven::VideoCollectionViewCell>(objects.at(0));
    cell->imageView()->setImage(thumbnail(index));
    cell->timestampLabel()->setText("12:0" + std::to_string(index % 10));
    cell->progressView()->setProgress(static_cast<float>(index % 5) / 5.0f);
    cell->titleLabel()->setText("Clip number " + std::to_string(index + 1));
    cell->sizeLabel()->setText(std::to_string(100 + index * 7) + " MB");
    cell->finishedIcon()->setHidden(index % 3 != 0);
    return cell;
}

struct Figure {
    std::vector<double> milliseconds;
    double median() {
        std::sort(milliseconds.begin(), milliseconds.end());
        return milliseconds.empty() ? 0 : milliseconds[milliseconds.size() / 2];
    }
    double mean() const {
        return milliseconds.empty() ? 0
                                    : std::accumulate(milliseconds.begin(), milliseconds.end(), 0.0) /
                                          static_cast<double>(milliseconds.size());
    }
};

// A painter with its window-sized target, cleared and painted each time as the display host does.
struct Painter {
    Painter(double scale, bool caching)
        : surface(display::createSurface(static_cast<int>(1024 * scale), static_cast<int>(720 * scale))), scale(scale) {
        painter.setCaching(caching);
    }
    double paint(ui::Window& window, bool chrome) {
        const auto start = Clock::now();
        display::CairoPtr cr(cairo_create(surface.get()));
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr.get());
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_OVER);
        painter.paint(window, cr.get(), scale);
        const auto tree = Clock::now();
        if (chrome) painter.paintChrome(window, cr.get(), scale);
        cr.reset();
        cairo_surface_flush(surface.get());
        const auto end = Clock::now();
        chromeMilliseconds.push_back(std::chrono::duration<double, std::milli>(end - tree).count());
        return std::chrono::duration<double, std::milli>(end - start).count();
    }
    Figure chromeFigure() const { return {chromeMilliseconds}; }

    display::ViewPainter painter{display::SymbolIcons::shared()};
    display::SurfacePtr surface;
    double scale;
    std::vector<double> chromeMilliseconds;  // of each paint, the bars, alerts and menus alone
};

// The screens the painter paints.
struct Screen {
    const char* name;
    std::shared_ptr<ui::Window> window;
    bool chrome;
    std::function<void(int round)> change;  // what one_change changes before each paint
};

std::shared_ptr<ui::Window> makeWindow() {
    auto window = ui::Window::create(ui::Rect(0, 0, 1024, 720));
    window->setBackgroundColor(ui::Color::systemBackground());
    return window;
}

// Fills `parent` with the grid's cells, `top` points down.
std::vector<std::shared_ptr<reelhaven::VideoCollectionViewCell>> addCells(ui::View& parent, double top) {
    std::vector<std::shared_ptr<reelhaven::VideoCollectionViewCell>> cells;
    for (int i = 0; i < 24; ++i) {
        auto cell = videoCell(i);
        cell->setFrame(ui::Rect(16 + (i % 6) * 168.0, top + (i / 6) * 170.0, 160, 150));
        parent.addSubview(cell);
        cells.push_back(cell);
    }
    return cells;
}

Screen gridScreen() {
    auto window = makeWindow();
    auto cells = addCells(*window, 16);
    window->makeKeyAndVisible();
    window->layoutIfNeeded();
    return {
        "grid", window, false, [cells](int round) {
            cells[static_cast<size_t>(round % 24)]->timestampLabel()->setText("12:" + std::to_string(10 + round % 50));
        }};
}

Screen chromeScreen(dispatch::ScopedMainRunLoop& loop) {
    auto window = makeWindow();
    auto library = ui::ViewController::create();
    library->setTitle("Library");
    auto folder = ui::ViewController::create();
    folder->setTitle("Holiday Clips");
    folder->view()->setBackgroundColor(ui::Color::systemBackground());
    folder->navigationItem()->setRightBarButtonItems(
        {ui::BarButtonItem::create(ui::BarButtonItem::SystemItem::add), ui::BarButtonItem::create("Select")});
    auto navigation = ui::NavigationController::create(library);
    navigation->pushViewController(folder, false);
    window->setRootViewController(navigation);
    window->makeKeyAndVisible();
    loop.runUntilIdle();
    addCells(*folder->view(), 60);
    auto alert =
        ui::AlertController::create("New Folder", "Enter a name for the folder.", ui::AlertControllerStyle::alert);
    alert->addTextField([](ui::TextField& field) { field.setPlaceholder("Name"); });
    alert->addAction(ui::AlertAction::create("Cancel", ui::AlertActionStyle::cancel, nullptr));
    alert->addAction(ui::AlertAction::create("Create", ui::AlertActionStyle::defaultStyle, nullptr));
    folder->present(alert, false);
    loop.advanceSeconds(1);
    window->layoutIfNeeded();
    return {"chrome", window, true,
            [folder](int round) { folder->navigationItem()->setTitle("Holiday Clips " + std::to_string(round % 50)); }};
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    dispatch::ScopedMainRunLoop loop;
    reelhaven::registerLibraryCellNibs();
    for (auto& screen : {gridScreen(), chromeScreen(loop)}) {
        auto& window = *screen.window;
        for (double scale : {1.0, 2.0}) {
            Painter full(scale, false), cached(scale, true), changing(scale, true);
            Figure fullTimes, cachedTimes, changeTimes;
            cached.paint(window, screen.chrome);
            changing.paint(window, screen.chrome);
            cached.chromeMilliseconds.clear();
            changing.chromeMilliseconds.clear();
            const auto renderedBefore = changing.painter.cacheStatistics().rendered;
            const auto chromeDrawsBefore = changing.painter.chromeDraws();
            for (int round = 0; round < rounds; ++round) {
                fullTimes.milliseconds.push_back(full.paint(window, screen.chrome));
                cachedTimes.milliseconds.push_back(cached.paint(window, screen.chrome));
                screen.change(round);
                changeTimes.milliseconds.push_back(changing.paint(window, screen.chrome));
            }
            const auto rendered = changing.painter.cacheStatistics().rendered - renderedBefore;
            std::printf("%s scale %.0f: paint_ms_full median %.3f mean %.3f\n", screen.name, scale, fullTimes.median(),
                        fullTimes.mean());
            std::printf("%s scale %.0f: paint_ms_cached median %.3f mean %.3f\n", screen.name, scale,
                        cachedTimes.median(), cachedTimes.mean());
            std::printf("%s scale %.0f: paint_ms_one_change median %.3f mean %.3f (bitmaps drawn per paint %.2f)\n",
                        screen.name, scale, changeTimes.median(), changeTimes.mean(),
                        static_cast<double>(rendered) / rounds);
            if (!screen.chrome) continue;
            auto fullChrome = full.chromeFigure(), cachedChrome = cached.chromeFigure(),
                 changeChrome = changing.chromeFigure();
            std::printf("%s scale %.0f: chrome_ms_full median %.3f mean %.3f\n", screen.name, scale,
                        fullChrome.median(), fullChrome.mean());
            std::printf("%s scale %.0f: chrome_ms_cached median %.3f mean %.3f\n", screen.name, scale,
                        cachedChrome.median(), cachedChrome.mean());
            std::printf(
                "%s scale %.0f: chrome_ms_one_change median %.3f mean %.3f (bars and alerts drawn per paint %.2f)\n",
                screen.name, scale, changeChrome.median(), changeChrome.mean(),
                static_cast<double>(changing.painter.chromeDraws() - chromeDrawsBefore) / rounds);
        }
    }
    return 0;
}
