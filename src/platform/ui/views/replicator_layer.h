#pragma once

#include "platform/ui/views/layer.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

// A layer that draws its sublayers `instanceCount` times, each copy moved by one more
// `instanceTransform` than the one before.
class ReplicatorLayer : public Layer {
public:
    static std::shared_ptr<ReplicatorLayer> create();
    std::string className() const override { return "ReplicatorLayer"; }

    int instanceCount() const { return m_instanceCount; }
    void setInstanceCount(int count) {
        checkMainThread();
        m_instanceCount = count;
    }
    Transform3D instanceTransform() const { return m_instanceTransform; }
    void setInstanceTransform(const Transform3D& transform) {
        checkMainThread();
        m_instanceTransform = transform;
    }
    double instanceDelay() const { return m_instanceDelay; }
    void setInstanceDelay(double delay) {
        checkMainThread();
        m_instanceDelay = delay;
    }

protected:
    ReplicatorLayer() = default;

private:
    int m_instanceCount = 1;
    Transform3D m_instanceTransform;
    double m_instanceDelay = 0;
};

}  // namespace ui
