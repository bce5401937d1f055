#include "platform/media/sample_buffer.h"

namespace media {

std::shared_ptr<const VideoFormatDescription> VideoFormatDescription::create(
    const std::shared_ptr<PixelBuffer>& imageBuffer) {
    if (!imageBuffer) return nullptr;
    return std::make_shared<const VideoFormatDescription>(
        VideoFormatDescription{imageBuffer->width(), imageBuffer->height(), imageBuffer->pixelFormat()});
}

bool VideoFormatDescription::matches(const PixelBuffer& buffer) const {
    return width == buffer.width() && height == buffer.height() && pixelFormat == buffer.pixelFormat();
}

std::shared_ptr<SampleBuffer> SampleBuffer::createReadyWithImageBuffer(
    std::shared_ptr<PixelBuffer> imageBuffer, std::shared_ptr<const VideoFormatDescription> formatDescription,
    SampleTimingInfo timing) {
    if (!imageBuffer || !formatDescription || !formatDescription->matches(*imageBuffer)) return nullptr;
    return std::shared_ptr<SampleBuffer>(
        new SampleBuffer(std::move(imageBuffer), std::move(formatDescription), timing));
}

void SampleBuffer::setAttachment(const std::string& key, bool value) {
    std::lock_guard lock(m_mutex);
    m_attachments[key] = value;
}

bool SampleBuffer::attachment(const std::string& key) const {
    std::lock_guard lock(m_mutex);
    auto found = m_attachments.find(key);
    return found != m_attachments.end() && found->second;
}

}  // namespace media
