#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

class PageViewController;

class PageViewControllerDataSource {
public:
    virtual ~PageViewControllerDataSource() = default;
    virtual std::shared_ptr<ViewController> viewControllerBefore(PageViewController& pages, ViewController& page) = 0;
    virtual std::shared_ptr<ViewController> viewControllerAfter(PageViewController& pages, ViewController& page) = 0;
};

class PageViewControllerDelegate {
public:
    virtual ~PageViewControllerDelegate() = default;
    virtual void didFinishAnimating(PageViewController& /*pages*/, bool /*finished*/,
                                    const std::vector<std::shared_ptr<ViewController>>& /*previous*/,
                                    bool /*completed*/) {}
};

// Pages of controllers, one shown at a time, its view filling this controller's; swipes ask the
// data source for the neighbour. Setting the pages while on screen runs the appearance callbacks
// of the page that leaves and the one that comes and, when animated, ends after
// `transitionDuration` on the clock.
class PageViewController : public ViewController {
public:
    enum class TransitionStyle { pageCurl, scroll };
    enum class NavigationOrientation { horizontal, vertical };
    enum class NavigationDirection { forward, reverse };

    static std::shared_ptr<PageViewController> create(
        TransitionStyle style = TransitionStyle::scroll,
        NavigationOrientation orientation = NavigationOrientation::horizontal);
    std::string className() const override { return "PageViewController"; }

    TransitionStyle transitionStyle() const { return m_style; }
    NavigationOrientation navigationOrientation() const { return m_orientation; }
    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return m_pages; }
    void setViewControllers(std::vector<std::shared_ptr<ViewController>> pages, NavigationDirection direction,
                            bool animated, std::function<void(bool)> completion = {});
    std::shared_ptr<PageViewControllerDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(const std::shared_ptr<PageViewControllerDataSource>& d) {
        checkMainThread();
        m_dataSource = d;
    }
    std::shared_ptr<PageViewControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<PageViewControllerDelegate>& d) {
        checkMainThread();
        m_delegate = d;
    }

    // The user swipes to the next or previous page; false when there is none.
    bool swipeForward();
    bool swipeBackward();

    void viewDidLoad() override;

protected:
    PageViewController() = default;

private:
    bool swipe(bool forward);
    // Puts the page's view in this controller's, filling it and following its size.
    void place(ViewController& page);

    TransitionStyle m_style = TransitionStyle::scroll;
    NavigationOrientation m_orientation = NavigationOrientation::horizontal;
    std::vector<std::shared_ptr<ViewController>> m_pages;
    std::weak_ptr<PageViewControllerDataSource> m_dataSource;
    std::weak_ptr<PageViewControllerDelegate> m_delegate;
};

}  // namespace ui
