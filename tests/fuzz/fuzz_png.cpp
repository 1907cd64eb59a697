// Feeds arbitrary bytes to the PNG reader. A picture it accepts must be
// whole: sides within the limit and exactly four bytes per pixel.
//
// Random mutations almost never carry a matching CRC or a valid zlib
// stream, so each input is also tried with its CRCs repaired, and with its
// image data taken as raw scanlines and compressed here: that way mutations
// reach the filters and pixel expansion too.
#include "core/Png.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kSignatureSize = 8;
constexpr std::size_t kChunkOverhead = 12;

void Check(std::span<const std::uint8_t> bytes) {
    const core::RgbaImage image = core::DecodePng(bytes);
    if (image.Empty()) {
        if (!image.pixels.empty())
            std::abort();
        return;
    }
    if (image.width > core::kMaxPngSide || image.height > core::kMaxPngSide ||
        image.pixels.size() != std::size_t{image.width} * image.height * 4)
        std::abort();
}

std::uint32_t ReadU32(const Bytes& bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

void PutU32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

bool IsData(const Bytes& png, std::size_t chunk) {
    return png[chunk + 4] == 'I' && png[chunk + 5] == 'D' && png[chunk + 6] == 'A' &&
           png[chunk + 7] == 'T';
}

// Rebuilds the chunks that fit in `png` with correct CRCs. With
// `compressData`, all IDAT payloads are joined, deflated and written as one
// IDAT where the first stood.
Bytes Rebuild(const Bytes& png, bool compressData) {
    if (png.size() < kSignatureSize)
        return png;
    std::vector<std::pair<std::size_t, std::uint32_t>> chunks; // offset, length
    Bytes raw;
    for (std::size_t pos = kSignatureSize; png.size() - pos >= kChunkOverhead;) {
        const std::uint32_t length = ReadU32(png, pos);
        if (length > png.size() - pos - kChunkOverhead)
            break;
        chunks.emplace_back(pos, length);
        if (IsData(png, pos))
            raw.insert(raw.end(), png.begin() + static_cast<std::ptrdiff_t>(pos + 8),
                       png.begin() + static_cast<std::ptrdiff_t>(pos + 8 + length));
        pos += kChunkOverhead + length;
    }
    Bytes compressed;
    if (compressData) {
        uLongf size = compressBound(static_cast<uLong>(raw.size()));
        compressed.resize(size);
        if (compress2(compressed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 1) !=
            Z_OK)
            return png;
        compressed.resize(size);
    }
    Bytes out(png.begin(), png.begin() + kSignatureSize);
    bool dataWritten = false;
    for (const auto& [pos, length] : chunks) {
        Bytes typeAndData(png.begin() + static_cast<std::ptrdiff_t>(pos + 4),
                          png.begin() + static_cast<std::ptrdiff_t>(pos + 8 + length));
        if (compressData && IsData(png, pos)) {
            if (dataWritten)
                continue;
            dataWritten = true;
            typeAndData.resize(4);
            typeAndData.insert(typeAndData.end(), compressed.begin(), compressed.end());
        }
        PutU32(out, static_cast<std::uint32_t>(typeAndData.size() - 4));
        out.insert(out.end(), typeAndData.begin(), typeAndData.end());
        PutU32(out, static_cast<std::uint32_t>(
                        crc32(0, typeAndData.data(), static_cast<uInt>(typeAndData.size()))));
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Check({data, size});
    const Bytes input(data, data + size);
    Check(Rebuild(input, false));
    Check(Rebuild(input, true));
    return 0;
}
