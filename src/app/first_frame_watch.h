#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/foundation/notification_center.h"

namespace reelhaven {

class MPVSession;
class ReelhavenViewController;

// Tells once per player session that the first frame of its video is there: in a desktop window,
// once the window has swapped that frame onto the screen; without one, once the view has drawn
// it. Whoever drives the launcher (a test, a benchmark) can wait for the picture instead of a
// guessed time. mpv reports playback restarted only once the renderer has taken that frame; a
// render still under way then is waited out on the render queue. In a window the frame handed
// over then is the one to see, and the window says when it swapped one (`windowDidSwap`), so the
// watch waits for nothing on a timer there: a host that settles the app while the window is not
// served finds it at rest. A view that drew nothing yet without a window is looked at again
// shortly. Main thread only.
class FirstFrameWatch : public std::enable_shared_from_this<FirstFrameWatch> {
public:
    using PresentedPlayer = std::function<std::shared_ptr<ReelhavenViewController>()>;
    // With the position mpv gave for the frame (none when it had none).
    using Report = std::function<void(ReelhavenViewController& player, std::optional<double> position)>;

    static std::shared_ptr<FirstFrameWatch> start(PresentedPlayer presentedPlayer, Report report, bool inWindow);
    ~FirstFrameWatch();
    FirstFrameWatch(const FirstFrameWatch&) = delete;
    FirstFrameWatch& operator=(const FirstFrameWatch&) = delete;

    // The window swapped video frames onto the screen.
    void windowDidSwap();

private:
    // A view that never draws (the picture-in-picture path) is given up after this many looks.
    static constexpr int kMaxLooks = 500;
    static constexpr double kLookInterval = 0.01;

    FirstFrameWatch(PresentedPlayer presentedPlayer, Report report, bool inWindow)
        : m_presentedPlayer(std::move(presentedPlayer)), m_report(std::move(report)), m_inWindow(inWindow) {}
    void playbackRestarted(const foundation::Notification& notification);
    void afterRenders(const std::shared_ptr<ReelhavenViewController>& player);
    // Once the render that took mpv's first frame is done; `serial`: the view's frame handed over then.
    void rendered(const std::weak_ptr<ReelhavenViewController>& player, std::uint64_t serial);
    // The player still shown with the watched session, or none.
    std::shared_ptr<ReelhavenViewController> watchedPlayer(const std::weak_ptr<ReelhavenViewController>& player) const;
    // In a window: reports once the window has shown the awaited frame.
    void reportIfShown();
    // Without a window: reports once the view has drawn a frame, else looks again shortly.
    void look(const std::weak_ptr<ReelhavenViewController>& player, int looks);
    void report(ReelhavenViewController& player);

    PresentedPlayer m_presentedPlayer;
    Report m_report;
    const bool m_inWindow;
    foundation::NotificationCenter::Token m_observer;
    std::weak_ptr<MPVSession> m_watched;  // the session whose first frame is reported or awaited
    std::optional<double> m_position;     // its position when playback started
    // In a window, while awaited: the player and the serial of its view's frame to see.
    std::weak_ptr<ReelhavenViewController> m_awaited;
    std::uint64_t m_awaitedSerial = 0;
};

}  // namespace reelhaven
