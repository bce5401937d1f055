#pragma once

#include <memory>
#include <vector>

#include "platform/ui/controllers/navigation_bar.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

class NavigationController;

class NavigationControllerDelegate {
public:
    virtual ~NavigationControllerDelegate() = default;
    virtual void willShow(NavigationController& /*navigation*/, ViewController& /*shown*/, bool /*animated*/) {}
    virtual void didShow(NavigationController& /*navigation*/, ViewController& /*shown*/, bool /*animated*/) {}
};

// A stack of controllers; the top one's view fills this controller's view, below the bar that
// shows its navigation item (its title view a subview of this controller's view, in the bar). Pushing and popping
// run the appearance callbacks of the two controllers (while this controller is on screen) and,
// when animated, finish after `transitionDuration` on the clock.
class NavigationController : public ViewController {
public:
    static std::shared_ptr<NavigationController> create(const std::shared_ptr<ViewController>& root = nullptr);
    std::string className() const override { return "NavigationController"; }

    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return m_stack; }
    void setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers, bool animated);
    void pushViewController(const std::shared_ptr<ViewController>& controller, bool animated);
    std::shared_ptr<ViewController> popViewController(bool animated);
    std::vector<std::shared_ptr<ViewController>> popToRootViewController(bool animated);
    std::shared_ptr<ViewController> topViewController() const { return m_stack.empty() ? nullptr : m_stack.back(); }
    // The top controller, or what it presents.
    std::shared_ptr<ViewController> visibleViewController() const;

    // The bar's look (one bar for every controller of the stack).
    const std::shared_ptr<NavigationBar>& navigationBar() const { return m_navigationBar; }
    // The bar's height; the shown screen's safe area starts below it while it shows.
    static constexpr double barHeight = 44;
    bool isNavigationBarHidden() const { return m_barHidden; }
    void setNavigationBarHidden(bool hidden, bool animated = false);
    bool isToolbarHidden() const { return m_toolbarHidden; }
    void setToolbarHidden(bool hidden, bool animated = false);
    bool prefersLargeTitles() const { return m_prefersLargeTitles; }
    void setPrefersLargeTitles(bool prefers) {
        checkMainThread();
        m_prefersLargeTitles = prefers;
    }
    std::shared_ptr<NavigationControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<NavigationControllerDelegate>& d) {
        checkMainThread();
        m_delegate = d;
    }

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

protected:
    NavigationController() = default;

private:
    void show(const std::shared_ptr<ViewController>& from, const std::shared_ptr<ViewController>& to, bool animated);

    std::vector<std::shared_ptr<ViewController>> m_stack;
    std::shared_ptr<NavigationBar> m_navigationBar = NavigationBar::create();
    bool m_barHidden = false;
    void insetBelowBar(View& view) const;
    // The top controller's title view in the bar, above the shown screen; the one shown before
    // leaves.
    void placeTitleView();
    std::weak_ptr<View> m_shownTitleView;
    bool m_toolbarHidden = true;
    bool m_prefersLargeTitles = false;
    std::weak_ptr<NavigationControllerDelegate> m_delegate;
};

}  // namespace ui
