#include "platform/media/sample_buffer_display_layer.h"

namespace media {

std::shared_ptr<SampleBufferDisplayLayer> SampleBufferDisplayLayer::create() {
    return ui::make<SampleBufferDisplayLayer>();
}

void SampleBufferDisplayLayer::enqueue(const std::shared_ptr<SampleBuffer>& sampleBuffer) {
    ui::checkMainThread();
    if (!sampleBuffer) return;
    ++m_enqueuedCount;
    // A failed layer takes samples but shows none until it is flushed.
    if (m_status == Status::failed) return;
    m_status = Status::rendering;
    if (sampleBuffer->attachment(kSampleAttachmentKeyDisplayImmediately)) {
        m_displayed = sampleBuffer;
    } else {
        m_queued.push_back(sampleBuffer);
    }
}

void SampleBufferDisplayLayer::flush() {
    ui::checkMainThread();
    m_queued.clear();
    m_status = Status::unknown;
    m_error.reset();
}

void SampleBufferDisplayLayer::flushAndRemoveImage() {
    flush();
    m_displayed.reset();
}

void SampleBufferDisplayLayer::fail(foundation::Error error) {
    ui::checkMainThread();
    m_status = Status::failed;
    m_error = std::move(error);
}

}  // namespace media
