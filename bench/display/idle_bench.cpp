// The display host showing a still screen: a grid of 24 cells (a thumbnail and two labels each)
// in a scroll view, as a library folder shows. After the first second (start-up and the first
// frames), CPU time over IDLE seconds is measured; with nothing moving the loop should sleep.
//
// Usage: bench_display_idle IDLE_SECONDS

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "cpu_time.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/display/display_host.h"
#include "platform/ui/lists/scroll_view.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/image_view.h"
#include "platform/ui/views/window.h"

namespace {

std::shared_ptr<ui::Image> thumbnail(int index) {
    gfx::Image bitmap(160, 90);
    bitmap.fill({(index * 37 % 255) / 255.0, (index * 91 % 255) / 255.0, (index * 53 % 255) / 255.0, 1});
    return ui::Image::create(bitmap);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: bench_display_idle IDLE_SECONDS\n";
        return 2;
    }
    const double idle = std::atof(argv[1]);
    auto loop = dispatch::RunLoop::main();
    loop->bindToCurrentThread();
    auto opened = display::DisplayHost::open({"bench", ui::Size{1024, 720}});
    if (!opened) {
        std::cerr << opened.error().description << "\n";
        return 1;
    }
    auto host = std::move(opened.value());
    auto window = ui::Window::create(ui::Rect(0, 0, 1024, 720));
    window->setBackgroundColor(ui::Color::systemBackground());
    auto grid = ui::ScrollView::create(ui::Rect(0, 0, 1024, 720));
    grid->setContentSize({1024, 4 * 200.0});
    window->addSubview(grid);
    for (int i = 0; i < 24; ++i) {
        const double x = 16 + (i % 6) * 168.0, y = 16 + (i / 6) * 200.0;
        auto image = ui::ImageView::create(thumbnail(i));
        image->setFrame(ui::Rect(x, y, 160, 90));
        image->layer().setCornerRadius(8);
        image->setClipsToBounds(true);
        grid->addSubview(image);
        auto title = ui::Label::create(ui::Rect(x, y + 96, 160, 20));
        title->setText("Clip number " + std::to_string(i + 1));
        grid->addSubview(title);
        auto duration = ui::Label::create(ui::Rect(x, y + 118, 160, 18));
        duration->setText("1:0" + std::to_string(i % 10));
        duration->setFont(ui::Font::systemFont(13));
        duration->setTextColor(ui::Color::secondaryLabel());
        grid->addSubview(duration);
    }
    window->makeKeyAndVisible();
    host->show(window);
    double cpuBefore = 0;
    display::DisplayHost::Statistics before;
    dispatch::Queue::main()->asyncAfter(1.0, [&] {
        cpuBefore = processCpuSeconds();
        before = host->statistics();
        dispatch::Queue::main()->asyncAfter(idle, [&] { loop->stop(); });
    });
    host->run();
    const double cpu = processCpuSeconds() - cpuBefore;
    const auto after = host->statistics();
    std::printf("idle_cpu_seconds %.3f\nidle_cpu_percent_of_one_core %.2f\nidle_repaints %llu\nidle_composites %llu\n",
                cpu, 100.0 * cpu / idle, static_cast<unsigned long long>(after.repaints - before.repaints),
                static_cast<unsigned long long>(after.composites - before.composites));
    return 0;
}
