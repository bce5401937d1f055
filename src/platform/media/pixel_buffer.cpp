#include "platform/media/pixel_buffer.h"

#include <algorithm>
#include <cstring>

#include "platform/base/fatal.h"

namespace media {
namespace {

std::size_t alignUp(std::size_t value, std::size_t alignment) {
    if (alignment <= 1) return value;
    return (value + alignment - 1) / alignment * alignment;
}

PixelBuffer::Plane makePlane(int width, int height, std::size_t bytesPerPixel, std::size_t rowAlignment) {
    PixelBuffer::Plane plane;
    plane.width = width;
    plane.height = height;
    plane.bytesPerRow = alignUp(static_cast<std::size_t>(width) * bytesPerPixel, rowAlignment);
    plane.bytes.assign(plane.bytesPerRow * static_cast<std::size_t>(height), 0);
    return plane;
}

void copyPlane(const PixelBuffer::Plane& from, PixelBuffer::Plane& to) {
    if (from.bytesPerRow == to.bytesPerRow) {
        std::memcpy(to.bytes.data(), from.bytes.data(), from.bytesPerRow * static_cast<std::size_t>(from.height));
        return;
    }
    std::size_t rowLength = std::min(from.bytesPerRow, to.bytesPerRow);
    for (int row = 0; row < from.height; ++row) {
        std::memcpy(to.bytes.data() + row * to.bytesPerRow, from.bytes.data() + row * from.bytesPerRow, rowLength);
    }
}

}  // namespace

std::shared_ptr<PixelBuffer> PixelBuffer::create(int width, int height, PixelFormat format, Backing backing,
                                                 std::size_t rowAlignment) {
    if (width <= 0 || height <= 0) return nullptr;
    std::vector<Plane> planes;
    switch (format) {
        case PixelFormat::rgba64Half: planes.push_back(makePlane(width, height, 8, rowAlignment)); break;
        case PixelFormat::bgra32: planes.push_back(makePlane(width, height, 4, rowAlignment)); break;
        case PixelFormat::yuv420BiPlanarVideoRange:
            planes.push_back(makePlane(width, height, 1, rowAlignment));
            planes.push_back(makePlane((width + 1) / 2, (height + 1) / 2, 2, rowAlignment));
            break;
        default: return nullptr;
    }
    return std::shared_ptr<PixelBuffer>(new PixelBuffer(width, height, format, backing, std::move(planes)));
}

std::size_t PixelBuffer::dataSize() const {
    std::size_t size = 0;
    for (const auto& plane : m_planes) size += plane.bytes.size();
    return size;
}

void PixelBuffer::lockBaseAddress(LockFlags) {
    std::lock_guard lock(m_lockMutex);
    ++m_lockCount;
}

void PixelBuffer::unlockBaseAddress(LockFlags) {
    std::lock_guard lock(m_lockMutex);
    if (m_lockCount == 0) base::fatal("unlockBaseAddress of a pixel buffer that is not locked");
    --m_lockCount;
}

bool PixelBuffer::isLocked() const {
    std::lock_guard lock(m_lockMutex);
    return m_lockCount > 0;
}

foundation::Result<std::shared_ptr<PixelBuffer>> PixelBuffer::copy(std::size_t rowAlignment) const {
    auto copied = create(m_width, m_height, m_format, Backing::ioSurface, rowAlignment);
    if (!copied) return foundation::Error{"failed", -1, ""};
    for (std::size_t plane = 0; plane < m_planes.size(); ++plane) copyPlane(m_planes[plane], copied->m_planes[plane]);
    return copied;
}

}  // namespace media
