#pragma once

#include <memory>

#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"

namespace ui {

class ScrollView;

class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;
    virtual void scrollViewDidScroll(ScrollView& /*scrollView*/) {}
    virtual void scrollViewWillBeginDragging(ScrollView& /*scrollView*/) {}
    virtual void scrollViewDidEndDragging(ScrollView& /*scrollView*/, bool /*decelerate*/) {}
};

enum class KeyboardDismissMode { none, onDrag, interactive };

// A view whose bounds origin is the content offset over a content of its own size.
class ScrollView : public View {
public:
    static std::shared_ptr<ScrollView> create(const Rect& frame = {});
    std::string className() const override { return "ScrollView"; }

    Point contentOffset() const { return bounds().origin; }
    void setContentOffset(Point offset, bool animated = false);
    Size contentSize() const { return m_contentSize; }
    void setContentSize(Size size) {
        checkMainThread();
        m_contentSize = size;
    }
    EdgeInsets contentInset() const { return m_contentInset; }
    void setContentInset(const EdgeInsets& inset) {
        checkMainThread();
        m_contentInset = inset;
    }
    // The content inset plus the safe area.
    EdgeInsets adjustedContentInset() const;
    bool isScrollEnabled() const { return m_scrollEnabled; }
    void setScrollEnabled(bool enabled) {
        checkMainThread();
        m_scrollEnabled = enabled;
    }
    bool bounces() const { return m_bounces; }
    void setBounces(bool bounces) {
        checkMainThread();
        m_bounces = bounces;
    }
    bool alwaysBounceVertical() const { return m_alwaysBounceVertical; }
    void setAlwaysBounceVertical(bool bounce) {
        checkMainThread();
        m_alwaysBounceVertical = bounce;
    }
    bool alwaysBounceHorizontal() const { return m_alwaysBounceHorizontal; }
    void setAlwaysBounceHorizontal(bool bounce) {
        checkMainThread();
        m_alwaysBounceHorizontal = bounce;
    }
    bool scrollsToTop() const { return m_scrollsToTop; }
    void setScrollsToTop(bool scrolls) {
        checkMainThread();
        m_scrollsToTop = scrolls;
    }
    bool showsVerticalScrollIndicator() const { return m_showsVertical; }
    void setShowsVerticalScrollIndicator(bool shows) {
        checkMainThread();
        m_showsVertical = shows;
    }
    KeyboardDismissMode keyboardDismissMode() const { return m_keyboardDismissMode; }
    void setKeyboardDismissMode(KeyboardDismissMode mode) {
        checkMainThread();
        m_keyboardDismissMode = mode;
    }
    std::shared_ptr<ScrollViewDelegate> scrollDelegate() const { return m_scrollDelegate.lock(); }
    void setScrollDelegate(const std::shared_ptr<ScrollViewDelegate>& d) {
        checkMainThread();
        m_scrollDelegate = d;
    }

    // The user drags the content to `offset`, where it comes to rest within the content (its
    // start, or its end filling the bounds); nothing when scrolling is off. Returns whether it
    // scrolled.
    bool drag(Point offset);

protected:
    explicit ScrollView(const Rect& frame) : View(frame) {}

private:
    Size m_contentSize;
    EdgeInsets m_contentInset;
    bool m_scrollEnabled = true;
    bool m_bounces = true;
    bool m_alwaysBounceVertical = false;
    bool m_alwaysBounceHorizontal = false;
    bool m_scrollsToTop = true;
    bool m_showsVertical = true;
    KeyboardDismissMode m_keyboardDismissMode = KeyboardDismissMode::none;
    std::weak_ptr<ScrollViewDelegate> m_scrollDelegate;
};

}  // namespace ui
