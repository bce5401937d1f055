// Paint time of the library grid: 24 of the library's video cells (thumbnail plate, duration,
// progress bar, title, size) in a 1024x720 window, painted by the display's painter into an
// image at scale 1 and at scale 2, three ways, interleaved so the machine's load falls on each
// alike:
//   full        the layer cache off: every layer drawn, as each repaint was before the cache
//   cached      the unchanged tree again: the kept bitmaps composited
//   one_change  one cell's duration text changes before each paint (a video playing beside the grid)
// Each paint clears a window-sized target and paints the tree into it, as the display host does.
// Prints the median and mean milliseconds per paint of each. No window or GL: only the painter.
//
// Usage: bench_display_paint [ROUNDS]   (default 200 paints of each kind per scale)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <string>
#include <vector>

#include "library/library_cell_nibs.h"
#include "library/video_collection_view_cell.h"
#include "platform/dispatch/run_loop.h"
#include "platform/display/symbol_icons.h"
#include "platform/display/view_painter.h"
#include "platform/ui/controllers/nib.h"
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
    double paint(ui::View& root) {
        const auto start = Clock::now();
        display::CairoPtr cr(cairo_create(surface.get()));
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr.get());
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_OVER);
        painter.paint(root, cr.get(), scale);
        cr.reset();
        cairo_surface_flush(surface.get());
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }

    display::ViewPainter painter{display::SymbolIcons::shared()};
    display::SurfacePtr surface;
    double scale;
};

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    dispatch::ScopedMainRunLoop loop;
    reelhaven::registerLibraryCellNibs();
    auto window = ui::Window::create(ui::Rect(0, 0, 1024, 720));
    window->setBackgroundColor(ui::Color::systemBackground());
    std::vector<std::shared_ptr<reelhaven::VideoCollectionViewCell>> cells;
    for (int i = 0; i < 24; ++i) {
        auto cell = videoCell(i);
        cell->setFrame(ui::Rect(16 + (i % 6) * 168.0, 16 + (i / 6) * 170.0, 160, 150));
        window->addSubview(cell);
        cells.push_back(cell);
    }
    window->makeKeyAndVisible();
    window->layoutIfNeeded();

    for (double scale : {1.0, 2.0}) {
        Painter full(scale, false), cached(scale, true), changing(scale, true);
        Figure fullTimes, cachedTimes, changeTimes;
        cached.paint(*window);
        changing.paint(*window);
        const auto renderedBefore = changing.painter.cacheStatistics().rendered;
        for (int round = 0; round < rounds; ++round) {
            fullTimes.milliseconds.push_back(full.paint(*window));
            cachedTimes.milliseconds.push_back(cached.paint(*window));
            cells[static_cast<size_t>(round % 24)]->timestampLabel()->setText("12:" + std::to_string(10 + round % 50));
            changeTimes.milliseconds.push_back(changing.paint(*window));
        }
        const auto rendered = changing.painter.cacheStatistics().rendered - renderedBefore;
        std::printf("scale %.0f: paint_ms_full median %.3f mean %.3f\n", scale, fullTimes.median(), fullTimes.mean());
        std::printf("scale %.0f: paint_ms_cached median %.3f mean %.3f\n", scale, cachedTimes.median(),
                    cachedTimes.mean());
        std::printf("scale %.0f: paint_ms_one_change median %.3f mean %.3f (bitmaps drawn per paint %.2f)\n", scale,
                    changeTimes.median(), changeTimes.mean(), static_cast<double>(rendered) / rounds);
    }
    return 0;
}
