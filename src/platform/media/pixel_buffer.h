#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/foundation/error.h"

namespace media {

// The pixel formats in use, by their four-character codes.
enum class PixelFormat : std::uint32_t {
    rgba64Half = 0x52476841,                // 'RGhA': RGBA, 16-bit float per channel (8 bytes a pixel)
    bgra32 = 0x42475241,                    // 'BGRA'
    yuv420BiPlanarVideoRange = 0x34323076,  // '420v': Y plane, then interleaved CbCr at half size
};

// Whether the memory is shareable with other graphics APIs (an IOSurface). Linux has none to
// share; the flag keeps what the product checks ("a pixel buffer without an IOSurface is not shown").
enum class Backing { plain, ioSurface };

// Image memory: one plane, or several for planar formats. Rows are padded to `kRowAlignment`
// bytes unless a row alignment is given, so bytes per row may exceed width × bytes per pixel.
// The base addresses are for use between lock and unlock, as on the platform; the object itself
// guards only its lock count. One thread writes at a time (the render queue).
class PixelBuffer {
public:
    static constexpr std::size_t kRowAlignment = 64;

    struct Plane {
        int width = 0;
        int height = 0;
        std::size_t bytesPerRow = 0;
        std::vector<std::uint8_t> bytes;
    };

    // None for an empty size or a format it does not know.
    static std::shared_ptr<PixelBuffer> create(int width, int height, PixelFormat format,
                                               Backing backing = Backing::ioSurface,
                                               std::size_t rowAlignment = kRowAlignment);

    int width() const { return m_width; }
    int height() const { return m_height; }
    PixelFormat pixelFormat() const { return m_format; }
    bool hasIOSurface() const { return m_backing == Backing::ioSurface; }
    bool isPlanar() const { return m_planes.size() > 1; }
    std::size_t planeCount() const { return isPlanar() ? m_planes.size() : 0; }
    int widthOfPlane(std::size_t plane) const { return m_planes.at(plane).width; }
    int heightOfPlane(std::size_t plane) const { return m_planes.at(plane).height; }
    std::size_t bytesPerRow() const { return m_planes.front().bytesPerRow; }
    std::size_t bytesPerRowOfPlane(std::size_t plane) const { return m_planes.at(plane).bytesPerRow; }
    // The size of all planes' memory.
    std::size_t dataSize() const;

    enum class LockFlags { readWrite, readOnly };
    void lockBaseAddress(LockFlags flags = LockFlags::readWrite);
    // Unlocking a buffer that is not locked is a programming error (fatal).
    void unlockBaseAddress(LockFlags flags = LockFlags::readWrite);
    bool isLocked() const;
    std::uint8_t* baseAddress() { return baseAddressOfPlane(0); }
    std::uint8_t* baseAddressOfPlane(std::size_t plane) { return m_planes.at(plane).bytes.data(); }
    const std::uint8_t* baseAddressOfPlane(std::size_t plane) const { return m_planes.at(plane).bytes.data(); }

    // A deep copy of the same size and format, backed by an IOSurface; plane by plane, row by
    // row when the two sides' row lengths differ. Fails with domain "failed", code -1 when the
    // copy cannot be made.
    foundation::Result<std::shared_ptr<PixelBuffer>> copy(std::size_t rowAlignment = kRowAlignment) const;

private:
    PixelBuffer(int width, int height, PixelFormat format, Backing backing, std::vector<Plane> planes)
        : m_width(width), m_height(height), m_format(format), m_backing(backing), m_planes(std::move(planes)) {}

    const int m_width;
    const int m_height;
    const PixelFormat m_format;
    const Backing m_backing;
    std::vector<Plane> m_planes;
    mutable std::mutex m_lockMutex;
    int m_lockCount = 0;
};

}  // namespace media
