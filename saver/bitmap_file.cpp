#include "bitmap_file.h"

#include <cstdint>

namespace {

const std::size_t kFileHeaderSize = 14;
const std::size_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER; later headers are larger

std::uint32_t Read32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24); }
std::uint16_t Read16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

bool IsUsableBitmapFile(const unsigned char* data, std::size_t size, int width, int height)
{
    if (!data || size < kFileHeaderSize + kInfoHeaderSize) return false;
    if (data[0] != 'B' || data[1] != 'M') return false;
    const unsigned char* info = data + kFileHeaderSize;
    const std::uint32_t infoSize = Read32(info);
    const std::int32_t fileWidth = static_cast<std::int32_t>(Read32(info + 4));
    const std::int32_t fileHeight = static_cast<std::int32_t>(Read32(info + 8));
    const std::uint16_t planes = Read16(info + 12);
    const std::uint16_t bits = Read16(info + 14);
    const std::uint32_t compression = Read32(info + 16);
    const std::uint32_t colorsUsed = Read32(info + 32);
    if (infoSize < kInfoHeaderSize || infoSize > size - kFileHeaderSize) return false;
    if (fileWidth != width || (fileHeight != height && fileHeight != -height)) return false;
    if (planes != 1 || compression != 0 /* BI_RGB */) return false;
    if (bits != 8 && bits != 24 && bits != 32) return false;

    std::uint64_t paletteEntries = 0;
    if (bits == 8) {
        if (colorsUsed > 256) return false;
        paletteEntries = colorsUsed ? colorsUsed : 256;
    }
    const std::uint64_t paletteEnd = kFileHeaderSize + static_cast<std::uint64_t>(infoSize) + paletteEntries * 4;
    const std::uint64_t pixelOffset = Read32(data + 10);
    const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
    const std::uint64_t pixelBytes = stride * static_cast<std::uint64_t>(height);
    if (pixelOffset < paletteEnd) return false;
    return pixelOffset + pixelBytes <= size;
}
