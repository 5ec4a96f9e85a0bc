#include <doctest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bitmap_file.h"
#include "scene.h"
#include "test_support.h"

namespace {

void Put32(std::vector<unsigned char>& b, size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}
void Put16(std::vector<unsigned char>& b, size_t at, std::uint16_t v)
{
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}

// A well-formed bitmap file; 8-bit files get a palette of `colours` entries.
std::vector<unsigned char> MakeBitmap(int width, int height, int bits, int colours = 0)
{
    const size_t palette = bits == 8 ? (colours ? colours : 256) * 4u : 0;
    const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    const size_t offset = 14 + 40 + palette;
    std::vector<unsigned char> b(offset + stride * height);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 10, static_cast<std::uint32_t>(offset));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(width));
    Put32(b, 22, static_cast<std::uint32_t>(height));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<std::uint16_t>(bits));
    Put32(b, 46, static_cast<std::uint32_t>(colours));
    return b;
}

bool Usable(const std::vector<unsigned char>& b, int w, int h) { return IsUsableBitmapFile(b.data(), b.size(), w, h); }

}  // namespace

TEST_CASE("bitmap check accepts whole bitmaps of the right size")
{
    CHECK(Usable(MakeBitmap(141, 106, 24), 141, 106));
    CHECK(Usable(MakeBitmap(40, 40, 8, 16), 40, 40));
    CHECK(Usable(MakeBitmap(40, 40, 8), 40, 40));
    CHECK(Usable(MakeBitmap(40, 40, 32), 40, 40));
    std::vector<unsigned char> topDown = MakeBitmap(40, 40, 24);
    Put32(topDown, 22, static_cast<std::uint32_t>(-40));
    CHECK(Usable(topDown, 40, 40));
}

TEST_CASE("bitmap check rejects damaged or foreign files")
{
    CHECK_FALSE(IsUsableBitmapFile(nullptr, 0, 40, 40));
    const std::string text = "this is not a picture at all, only some words in a file named like one";
    CHECK_FALSE(IsUsableBitmapFile(reinterpret_cast<const unsigned char*>(text.data()), text.size(), 40, 40));

    std::vector<unsigned char> truncated = MakeBitmap(141, 106, 24);
    truncated.resize(truncated.size() - 1);
    CHECK_FALSE(Usable(truncated, 141, 106));
    std::vector<unsigned char> headerOnly = MakeBitmap(40, 40, 24);
    headerOnly.resize(30);
    CHECK_FALSE(Usable(headerOnly, 40, 40));

    CHECK_FALSE(Usable(MakeBitmap(40, 41, 24), 40, 40));  // wrong size
    CHECK_FALSE(Usable(MakeBitmap(116, 73, 24), 141, 106));
    CHECK_FALSE(Usable(MakeBitmap(40, 40, 4), 40, 40));   // depth we do not draw

    std::vector<unsigned char> compressed = MakeBitmap(40, 40, 8);
    Put32(compressed, 30, 1);  // BI_RLE8
    CHECK_FALSE(Usable(compressed, 40, 40));

    std::vector<unsigned char> farOffset = MakeBitmap(40, 40, 24);
    Put32(farOffset, 10, 0x7FFFFFF0u);
    CHECK_FALSE(Usable(farOffset, 40, 40));

    std::vector<unsigned char> overlapping = MakeBitmap(40, 40, 8, 16);
    Put32(overlapping, 10, 14 + 40);  // pixels said to start inside the palette
    CHECK_FALSE(Usable(overlapping, 40, 40));

    std::vector<unsigned char> hugePalette = MakeBitmap(40, 40, 8, 16);
    Put32(hugePalette, 46, 100000);
    CHECK_FALSE(Usable(hugePalette, 40, 40));

    std::vector<unsigned char> hugeHeader = MakeBitmap(40, 40, 24);
    Put32(hugeHeader, 14, 0xFFFFFFF0u);
    CHECK_FALSE(Usable(hugeHeader, 40, 40));
}

TEST_CASE("bitmap check passes the shipped pictures at the sizes the scene draws")
{
    const FigureSizes sizes;
    const std::string folder = MARIGOLD_ASSET_DIR;
    struct Asset {
        const char* name;
        FigureSize size;
    };
    const Asset assets[] = {{"ghost.bmp", sizes.ghost}, {"skeleton.bmp", sizes.skeleton}, {"pumpkin1.bmp", sizes.pumpkin},
                            {"pumpkin2.bmp", sizes.pumpkin}, {"pumpkin3.bmp", sizes.pumpkin}};
    for (const Asset& asset : assets) {
        CAPTURE(asset.name);
        const std::vector<unsigned char> bytes = testing_support::ReadAll(folder + "\\" + asset.name);
        REQUIRE_FALSE(bytes.empty());
        CHECK(Usable(bytes, asset.size.width, asset.size.height));
    }
}
