#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/media/pixel_buffer.h"
#include "platform/media/time.h"

namespace media {

inline constexpr const char* kSampleAttachmentKeyDisplayImmediately = "DisplayImmediately";

// What a video sample's image looks like: made from a pixel buffer.
struct VideoFormatDescription {
    int width = 0;
    int height = 0;
    PixelFormat pixelFormat = PixelFormat::rgba64Half;

    // None for no buffer.
    static std::shared_ptr<const VideoFormatDescription> create(const std::shared_ptr<PixelBuffer>& imageBuffer);
    bool matches(const PixelBuffer& buffer) const;
    bool operator==(const VideoFormatDescription&) const = default;
};

struct SampleTimingInfo {
    Time duration = Time::invalid();
    Time presentationTimeStamp = Time::invalid();
    Time decodeTimeStamp = Time::invalid();
    bool operator==(const SampleTimingInfo&) const = default;
};

// One video frame ready for display: an image buffer, its format and timing, and the sample's
// attachments (flags such as "display immediately"). Thread safe.
class SampleBuffer {
public:
    // None when a part is missing or the description does not describe the image buffer.
    static std::shared_ptr<SampleBuffer> createReadyWithImageBuffer(
        std::shared_ptr<PixelBuffer> imageBuffer, std::shared_ptr<const VideoFormatDescription> formatDescription,
        SampleTimingInfo timing);

    const std::shared_ptr<PixelBuffer>& imageBuffer() const { return m_imageBuffer; }
    const VideoFormatDescription& formatDescription() const { return *m_formatDescription; }
    const SampleTimingInfo& timing() const { return m_timing; }
    Time presentationTimeStamp() const { return m_timing.presentationTimeStamp; }

    // The first sample's attachment dictionary (created on first write).
    void setAttachment(const std::string& key, bool value);
    bool attachment(const std::string& key) const;

private:
    SampleBuffer(std::shared_ptr<PixelBuffer> imageBuffer,
                 std::shared_ptr<const VideoFormatDescription> formatDescription, SampleTimingInfo timing)
        : m_imageBuffer(std::move(imageBuffer)), m_formatDescription(std::move(formatDescription)), m_timing(timing) {}

    const std::shared_ptr<PixelBuffer> m_imageBuffer;
    const std::shared_ptr<const VideoFormatDescription> m_formatDescription;
    const SampleTimingInfo m_timing;
    mutable std::mutex m_mutex;
    std::map<std::string, bool> m_attachments;
};

}  // namespace media
