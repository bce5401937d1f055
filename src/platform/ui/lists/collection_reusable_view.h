#pragma once

#include <string>

#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"

namespace ui {

// A view a collection or table view dequeues and reuses: a cell, header or footer.
class CollectionReusableView : public View {
public:
    static std::shared_ptr<CollectionReusableView> create(const Rect& frame = {});
    std::string className() const override { return "CollectionReusableView"; }

    const std::string& reuseIdentifier() const { return m_reuseIdentifier; }
    void setReuseIdentifier(std::string identifier) {
        checkMainThread();
        m_reuseIdentifier = std::move(identifier);
    }
    // Called before a queued view is handed out again.
    virtual void prepareForReuse() { ++m_reuses; }
    int reuseCount() const { return m_reuses; }
    // The height the view wants at `width` where its layout only estimated one: its intrinsic
    // height when it has one, else the estimate.
    virtual double preferredLayoutHeight(double /*width*/, double estimate) const {
        const double intrinsic = intrinsicContentSize().height;
        return intrinsic == noIntrinsicMetric ? estimate : intrinsic;
    }

protected:
    explicit CollectionReusableView(const Rect& frame) : View(frame) {}

private:
    std::string m_reuseIdentifier;
    int m_reuses = 0;
};

}  // namespace ui
