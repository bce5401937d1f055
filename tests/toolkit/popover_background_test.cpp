#include <gtest/gtest.h>

#include "platform/base/fatal.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/popover_presentation_controller.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/gestures/tap_gesture_recognizer.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/device.h"
#include "platform/ui/views/window.h"
#include "support/keep_popover_delegate.h"
#include "toolkit/device_flag.h"
#include "toolkit/nib_loadable.h"
#include "toolkit/transparent_popover_background_down.h"
#include "toolkit/transparent_popover_background_up.h"

namespace reelhaven {
namespace {

using KeepPopover = testing_support::KeepPopoverDelegate;

TEST(PopoverBackgroundTest, IgnoresWhatThePopoverSetsAndIsInvisible) {
    auto up = TransparentPopoverBackgroundUp::create(ui::Rect(0, 0, 50, 50));
    up->setArrowDirection(ui::popoverArrowLeft);
    up->setArrowOffset(12);
    EXPECT_EQ(up->arrowDirection(), ui::popoverArrowUp);
    EXPECT_EQ(up->arrowOffset(), 0.0);
    EXPECT_EQ(up->arrowHeight(), 7.0);
    EXPECT_EQ(up->arrowBase(), 0.0);
    EXPECT_EQ(up->contentViewInsets(), (ui::EdgeInsets{0, 0, 0, 0}));
    EXPECT_EQ(up->alpha(), 0.0);
    EXPECT_EQ(up->backgroundColor(), ui::Color::clear());
    EXPECT_FALSE(up->isOpaque());
    EXPECT_EQ(TransparentPopoverBackgroundDown::create()->arrowDirection(), ui::popoverArrowDown);
    EXPECT_EQ(TransparentPopoverBackgroundDown::createFromCoder()->alpha(), 1.0);  // only the base initialiser
}

TEST(PopoverBackgroundTest, ContentSitsSevenPointsFromTheAnchor) {
    dispatch::ScopedMainRunLoop loop;
    auto window = ui::Window::create(ui::Rect(0, 0, 390, 844));
    auto root = ui::ViewController::create();
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    auto anchor = ui::View::create(ui::Rect(100, 100, 40, 30));
    root->view()->addSubview(anchor);
    auto delegate = std::make_shared<KeepPopover>();
    for (bool up : {true, false}) {
        auto menu = ui::ViewController::create();
        menu->setModalPresentationStyle(ui::ModalPresentationStyle::popover);
        menu->setPreferredContentSize({200, 100});
        auto popover = menu->popoverPresentationController();
        popover->setSourceView(anchor);
        popover->setSourceRect(anchor->bounds());
        popover->setDelegate(delegate);
        if (up) {
            TransparentPopoverBackgroundUp::install(*popover);
        } else {
            TransparentPopoverBackgroundDown::install(*popover);
        }
        root->present(menu, false);
        EXPECT_EQ(menu->effectivePresentationStyle(), ui::ModalPresentationStyle::popover);
        ASSERT_NE(popover->backgroundView(), nullptr);
        EXPECT_EQ(popover->popoverBackgroundViewClassName(),
                  up ? "TransparentPopoverBackgroundUp" : "TransparentPopoverBackgroundDown");
        const ui::Rect frame = menu->view()->frame();
        if (up) {
            EXPECT_DOUBLE_EQ(frame.minY(), 130 + 7);
        } else {
            EXPECT_DOUBLE_EQ(frame.maxY(), 100 - 7);
        }
        root->dismiss(false);
    }
}

class TitleView : public ui::View, public NibLoadable<TitleView> {
public:
    static std::shared_ptr<TitleView> create() {
        auto view = ui::make<TitleView>();
        view->setupFromNib();
        return view;
    }
    std::string className() const override { return "TitleView"; }

protected:
    TitleView() : ui::View(ui::Rect(0, 0, 300, 60)) {}
};

TEST(NibLoadableTest, PinsTheFirstViewToTheSafeArea) {
    std::weak_ptr<ui::Object> seenOwner;
    ui::Nib::registerNib("TitleView", [&](const std::shared_ptr<ui::Object>& owner) {
        seenOwner = owner;
        return std::vector<std::shared_ptr<ui::Object>>{ui::Label::create()};
    });
    auto view = TitleView::create();
    EXPECT_EQ(view->nibName(), "TitleView");
    EXPECT_EQ(seenOwner.lock(), view);
    ASSERT_EQ(view->subviews().size(), 1u);
    auto content = view->subviews().front();
    EXPECT_FALSE(content->translatesAutoresizingMaskIntoConstraints());
    ASSERT_EQ(view->constraints().size(), 4u);
    for (const auto& constraint : view->constraints()) {
        EXPECT_EQ(constraint->firstItem(), std::shared_ptr<ui::LayoutItem>(content));
        EXPECT_EQ(constraint->secondItem(), std::shared_ptr<ui::LayoutItem>(view->safeAreaLayoutGuide()));
        EXPECT_EQ(constraint->firstAttribute(), constraint->secondAttribute());
        EXPECT_EQ(constraint->constant(), 0);
        EXPECT_TRUE(constraint->isActive());
    }
    ui::Nib::unregisterNib("TitleView");
}

TEST(NibLoadableTest, FirstObjectThatIsNoViewIsFatal) {
    base::ScopedFatalThrows throws;
    ui::Nib::registerNib("TitleView", [](const std::shared_ptr<ui::Object>&) {
        return std::vector<std::shared_ptr<ui::Object>>{ui::TapGestureRecognizer::create(), ui::View::create()};
    });
    try {
        TitleView::create();
        FAIL() << "expected a fatal error";
    } catch (const base::FatalError& error) {
        EXPECT_NE(error.text.find("Error loading <TitleView: 0x"), std::string::npos) << error.text;
        EXPECT_NE(error.text.find(" from nib"), std::string::npos);
        EXPECT_EQ(error.text.rfind("nib_loadable.h:", 0), 0u) << error.text;
    }
    ui::Nib::unregisterNib("TitleView");
    EXPECT_THROW(TitleView::create(), base::FatalError);  // no nib at all
}

TEST(DeviceFlagTest, IsReadOnceAndStaysConstant) {
    const bool first = isPad();
    EXPECT_EQ(first, ui::Device::current().userInterfaceIdiom() == ui::UserInterfaceIdiom::pad);
    ui::Device::current().setUserInterfaceIdiom(first ? ui::UserInterfaceIdiom::phone : ui::UserInterfaceIdiom::pad);
    EXPECT_EQ(isPad(), first);
    ui::Device::current().setUserInterfaceIdiom(ui::UserInterfaceIdiom::phone);
}

}  // namespace
}  // namespace reelhaven
