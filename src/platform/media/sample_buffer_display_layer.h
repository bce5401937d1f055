#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/foundation/error.h"
#include "platform/media/sample_buffer.h"
#include "platform/media/timebase.h"
#include "platform/ui/views/layer.h"

namespace media {

// A layer that shows enqueued video samples. Samples marked "display immediately" replace the
// shown image at once; others wait in the queue. The system side may fail the layer (`fail`):
// its status stays failed and it shows nothing new until flushed. Main thread only, as the
// product uses it; its timebase may be read from any thread.
class SampleBufferDisplayLayer : public ui::Layer {
public:
    enum class Status { unknown, rendering, failed };

    static std::shared_ptr<SampleBufferDisplayLayer> create();
    std::string className() const override { return "SampleBufferDisplayLayer"; }

    Status status() const { return m_status; }
    std::optional<foundation::Error> error() const { return m_error; }
    const Timebase& timebase() const { return m_timebase; }
    Timebase& timebase() { return m_timebase; }

    void enqueue(const std::shared_ptr<SampleBuffer>& sampleBuffer);
    // Drops waiting samples; the shown image stays. Clears a failure.
    void flush();
    // Drops waiting samples and the shown image. Clears a failure.
    void flushAndRemoveImage();

    // The sample shown now, none after flushAndRemoveImage or before the first.
    std::shared_ptr<SampleBuffer> displayedSampleBuffer() const { return m_displayed; }
    // Samples waiting for their time.
    std::size_t queuedCount() const { return m_queued.size(); }
    // Every sample enqueued since creation, for tests counting frames.
    std::size_t enqueuedCount() const { return m_enqueuedCount; }

    // The system side: decoding failed.
    void fail(foundation::Error error);

protected:
    SampleBufferDisplayLayer() = default;

private:
    Status m_status = Status::unknown;
    std::optional<foundation::Error> m_error;
    Timebase m_timebase;
    std::shared_ptr<SampleBuffer> m_displayed;
    std::vector<std::shared_ptr<SampleBuffer>> m_queued;
    std::size_t m_enqueuedCount = 0;
};

}  // namespace media
