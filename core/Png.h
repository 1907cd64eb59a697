// A small PNG reader for the pictures the program ships (its logo). Image
// data is inflated with zlib; everything else is read here. Malformed or
// unsupported input gives an empty image, never a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace core {

struct RgbaImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // width * height pixels, row by row from the top, 4 bytes each: R, G, B,
    // A, not premultiplied.
    std::vector<std::uint8_t> pixels;
    bool Empty() const { return width == 0 || height == 0; }
};

// Pictures larger than this on either side are refused (empty image).
constexpr std::uint32_t kMaxPngSide = 8192;

// Samples per pixel of a PNG colour type: 3 for RGB, 2 for grey with alpha,
// 4 for RGBA, 1 for grey and palette (and any other value).
unsigned ChannelCount(std::uint8_t colourType);

// Reads every standard colour type and bit depth, interlaced or not.
// Samples of 16 bits keep their high byte; lower depths are stretched to the
// full 0..255 range. tRNS gives palette alpha or a grey / RGB colour key.
// Every chunk's CRC is checked, and the image data must inflate to exactly
// the size the header implies. A palette index beyond the palette makes the
// picture unreadable, as does any other damage.
RgbaImage DecodePng(std::span<const std::uint8_t> bytes);

} // namespace core
