#include "app/first_frame_watch.h"

#include <algorithm>
#include <any>

#include "output/mpv_glk_view.h"
#include "output/video_renderer.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/work_queue.h"
#include "playback/mpv_session.h"
#include "playback/reelhaven_view_controller.h"

namespace reelhaven {

std::shared_ptr<FirstFrameWatch> FirstFrameWatch::start(PresentedPlayer presentedPlayer, Report report, bool inWindow) {
    auto watch =
        std::shared_ptr<FirstFrameWatch>(new FirstFrameWatch(std::move(presentedPlayer), std::move(report), inWindow));
    watch->m_observer = foundation::NotificationCenter::defaultCenter().addObserver(
        MPVSession::kPlaybackRestartNotification, nullptr,
        [weak = std::weak_ptr<FirstFrameWatch>(watch)](const foundation::Notification& notification) {
            if (auto self = weak.lock()) self->playbackRestarted(notification);
        });
    return watch;
}

FirstFrameWatch::~FirstFrameWatch() { foundation::NotificationCenter::defaultCenter().removeObserver(m_observer); }

void FirstFrameWatch::playbackRestarted(const foundation::Notification& notification) {
    auto player = m_presentedPlayer();
    if (!player || !player->session() || player->session().get() != notification.object.get()) return;
    // Later restarts of the same session are seeks.
    if (m_watched.lock() == player->session()) return;
    m_watched = player->session();
    const auto position = notification.userInfo.find(MPVSession::kPlaybackRestartPositionKey);
    m_position = position == notification.userInfo.end()
                     ? std::nullopt
                     : std::optional<double>(std::any_cast<double>(position->second));
    afterRenders(player);
}

// The render queue is serial: a block queued now runs after the render that took mpv's frame,
// and the frame handed over by then holds the picture (read there: by the time the main queue
// runs, the window may have taken the next one).
void FirstFrameWatch::afterRenders(const std::shared_ptr<ReelhavenViewController>& player) {
    std::weak_ptr<ui::GLView> view = player->glkView();
    VideoRenderer::renderQueue()->async([weak = weak_from_this(), weakPlayer = std::weak_ptr(player), view] {
        const auto shown = view.lock();
        const std::uint64_t serial = shown ? shown->presentedFrame().serial : 0;
        dispatch::Queue::main()->async([weak, weakPlayer, serial] {
            if (auto self = weak.lock()) self->rendered(weakPlayer, serial);
        });
    });
}

void FirstFrameWatch::rendered(const std::weak_ptr<ReelhavenViewController>& weakPlayer, std::uint64_t serial) {
    if (!m_inWindow) {
        look(weakPlayer, 1);
        return;
    }
    auto player = watchedPlayer(weakPlayer);
    if (!player || !player->glkView()) return;
    // The window's swap of that frame shows the picture.
    m_awaited = player;
    m_awaitedSerial = std::max<std::uint64_t>(1, serial);
    reportIfShown();
}

std::shared_ptr<ReelhavenViewController> FirstFrameWatch::watchedPlayer(
    const std::weak_ptr<ReelhavenViewController>& weakPlayer) const {
    auto player = weakPlayer.lock();
    // Closed, or replaced by another player meanwhile: that one reports for itself.
    if (!player || player->session() != m_watched.lock() || player != m_presentedPlayer()) return nullptr;
    return player;
}

void FirstFrameWatch::windowDidSwap() {
    if (!m_awaited.expired()) reportIfShown();
}

void FirstFrameWatch::reportIfShown() {
    auto player = watchedPlayer(m_awaited);
    auto view = player ? player->glkView() : nullptr;
    if (!view) {
        m_awaited.reset();
        return;
    }
    if (view->lastSerialShownInWindow() < m_awaitedSerial) return;
    m_awaited.reset();
    report(*player);
}

void FirstFrameWatch::look(const std::weak_ptr<ReelhavenViewController>& weakPlayer, int looks) {
    auto player = watchedPlayer(weakPlayer);
    if (!player) return;
    if (auto view = player->glkView(); view && view->framesDisplayed() > 0) {
        report(*player);
        return;
    }
    if (looks >= kMaxLooks) return;
    dispatch::Queue::main()->asyncAfter(kLookInterval, [weak = weak_from_this(), weakPlayer, looks] {
        if (auto self = weak.lock()) self->look(weakPlayer, looks + 1);
    });
}

void FirstFrameWatch::report(ReelhavenViewController& player) { m_report(player, m_position); }

}  // namespace reelhaven
