#include "Png.h"

// Const-correct next_in for the inflate stream.
#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <limits>
#include <optional>

namespace core {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// Every chunk is a 4-byte length, a 4-byte type, the data and a 4-byte CRC.
constexpr std::size_t kLengthSize = 4;
constexpr std::size_t kTypeSize = 4;
constexpr std::size_t kCrcSize = 4;
constexpr std::size_t kChunkOverhead = kLengthSize + kTypeSize + kCrcSize;
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFF;

constexpr std::size_t kHeaderLength = 13;
constexpr std::size_t kPaletteEntrySize = 3;
constexpr std::size_t kMaxPaletteEntries = 256;
constexpr std::size_t kGreyKeyLength = 2;
constexpr std::size_t kRgbKeyLength = 6;

// Bit 5 of a type byte set means lowercase; in the first byte that marks an
// ancillary chunk a reader may skip.
constexpr std::uint8_t kLowercaseBit = 0x20;

constexpr std::uint32_t ChunkType(char a, char b, char c, char d) {
    return (static_cast<std::uint32_t>(a) << 24) | (static_cast<std::uint32_t>(b) << 16) |
           (static_cast<std::uint32_t>(c) << 8) | static_cast<std::uint32_t>(d);
}

constexpr std::uint32_t kHeaderChunk = ChunkType('I', 'H', 'D', 'R');
constexpr std::uint32_t kPaletteChunk = ChunkType('P', 'L', 'T', 'E');
constexpr std::uint32_t kTransparencyChunk = ChunkType('t', 'R', 'N', 'S');
constexpr std::uint32_t kDataChunk = ChunkType('I', 'D', 'A', 'T');
constexpr std::uint32_t kEndChunk = ChunkType('I', 'E', 'N', 'D');

enum ColourType : std::uint8_t {
    kGrey = 0,
    kRgb = 2,
    kPalette = 3,
    kGreyAlpha = 4,
    kRgba = 6,
};

enum FilterType : std::uint8_t {
    kFilterNone = 0,
    kFilterSub = 1,
    kFilterUp = 2,
    kFilterAverage = 3,
    kFilterPaeth = 4,
};

constexpr std::uint8_t kInterlaceNone = 0;
constexpr std::uint8_t kInterlaceAdam7 = 1;
constexpr std::uint8_t kOpaque = 0xFF;
constexpr std::uint8_t kTransparent = 0;

// Inflated data is produced into a buffer grown in steps, so a header that
// claims a huge picture over a few bytes of data costs little memory.
constexpr std::size_t kFirstInflateBlock = 64 * 1024;

struct Header {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint8_t bitDepth = 0;
    std::uint8_t colourType = 0;
    bool interlaced = false;
};

struct PaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = kOpaque;
};

// Everything the chunks say that decoding needs.
struct PngParts {
    Header header;
    std::vector<PaletteEntry> palette;
    // tRNS colour key for grey (first sample only) and RGB pictures, compared
    // with the samples at the picture's own bit depth.
    std::optional<std::array<std::uint16_t, 3>> colourKey;
    std::vector<std::uint8_t> compressed;
};

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return (static_cast<std::uint32_t>(bytes[at]) << 24) |
           (static_cast<std::uint32_t>(bytes[at + 1]) << 16) |
           (static_cast<std::uint32_t>(bytes[at + 2]) << 8) |
           static_cast<std::uint32_t>(bytes[at + 3]);
}

std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

bool IsLegalBitDepth(std::uint8_t colourType, std::uint8_t depth) {
    switch (colourType) {
    case kGrey:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case kPalette:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case kRgb:
    case kGreyAlpha:
    case kRgba:
        return depth == 8 || depth == 16;
    default:
        return false;
    }
}

bool IsLetter(std::uint8_t byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

std::optional<Header> ParseHeader(std::span<const std::uint8_t> data) {
    if (data.size() != kHeaderLength)
        return std::nullopt;
    Header header;
    header.width = ReadU32(data, 0);
    header.height = ReadU32(data, 4);
    header.bitDepth = data[8];
    header.colourType = data[9];
    const std::uint8_t compression = data[10];
    const std::uint8_t filterMethod = data[11];
    const std::uint8_t interlace = data[12];
    if (header.width == 0 || header.width > kMaxPngSide || header.height == 0 ||
        header.height > kMaxPngSide)
        return std::nullopt;
    if (!IsLegalBitDepth(header.colourType, header.bitDepth))
        return std::nullopt;
    if (compression != 0 || filterMethod != 0)
        return std::nullopt;
    if (interlace != kInterlaceNone && interlace != kInterlaceAdam7)
        return std::nullopt;
    header.interlaced = interlace == kInterlaceAdam7;
    return header;
}

// Walks the chunks in order, checking each one's bounds, CRC and place.
class ChunkReader {
  public:
    std::optional<PngParts> Read(std::span<const std::uint8_t> bytes) {
        if (bytes.size() < kSignature.size() ||
            !std::equal(kSignature.begin(), kSignature.end(), bytes.begin()))
            return std::nullopt;
        std::size_t pos = kSignature.size();
        while (!ended_) {
            if (bytes.size() - pos < kChunkOverhead)
                return std::nullopt;
            const std::uint32_t length = ReadU32(bytes, pos);
            if (length > kMaxChunkLength || length > bytes.size() - pos - kChunkOverhead)
                return std::nullopt;
            const auto typeAndData = bytes.subspan(pos + kLengthSize, kTypeSize + length);
            const std::uint32_t storedCrc = ReadU32(bytes, pos + kLengthSize + kTypeSize + length);
            if (crc32(0, typeAndData.data(), static_cast<uInt>(typeAndData.size())) != storedCrc)
                return std::nullopt;
            if (!std::all_of(typeAndData.begin(), typeAndData.begin() + kTypeSize, IsLetter))
                return std::nullopt;
            if (!Take(ReadU32(typeAndData, 0), typeAndData.subspan(kTypeSize)))
                return std::nullopt;
            pos += kChunkOverhead + length;
        }
        return std::move(parts_);
    }

  private:
    enum class DataState { Before, Inside, After };

    bool Take(std::uint32_t type, std::span<const std::uint8_t> data) {
        if (!haveHeader_ && type != kHeaderChunk)
            return false;
        if (dataState_ == DataState::Inside && type != kDataChunk)
            dataState_ = DataState::After;
        switch (type) {
        case kHeaderChunk:
            return TakeHeader(data);
        case kPaletteChunk:
            return TakePalette(data);
        case kTransparencyChunk:
            return TakeTransparency(data);
        case kDataChunk:
            return TakeData(data);
        case kEndChunk:
            ended_ = true;
            return data.empty() && dataState_ != DataState::Before;
        default:
            // Unknown critical chunks change how the picture must be read.
            return ((type >> 24) & kLowercaseBit) != 0;
        }
    }

    bool TakeHeader(std::span<const std::uint8_t> data) {
        if (haveHeader_)
            return false;
        const auto header = ParseHeader(data);
        if (!header)
            return false;
        parts_.header = *header;
        haveHeader_ = true;
        return true;
    }

    bool TakePalette(std::span<const std::uint8_t> data) {
        const std::uint8_t colourType = parts_.header.colourType;
        if (colourType == kGrey || colourType == kGreyAlpha)
            return false;
        if (havePalette_ || dataState_ != DataState::Before)
            return false;
        if (data.empty() || data.size() % kPaletteEntrySize != 0 ||
            data.size() / kPaletteEntrySize > kMaxPaletteEntries)
            return false;
        havePalette_ = true;
        // For RGB pictures the palette is only a display hint.
        if (colourType != kPalette)
            return true;
        for (std::size_t at = 0; at < data.size(); at += kPaletteEntrySize)
            parts_.palette.push_back({data[at], data[at + 1], data[at + 2], kOpaque});
        return true;
    }

    bool TakeTransparency(std::span<const std::uint8_t> data) {
        if (haveTransparency_ || dataState_ != DataState::Before)
            return false;
        haveTransparency_ = true;
        switch (parts_.header.colourType) {
        case kPalette:
            if (!havePalette_ || data.size() > parts_.palette.size())
                return false;
            for (std::size_t i = 0; i < data.size(); ++i)
                parts_.palette[i].alpha = data[i];
            return true;
        case kGrey:
            if (data.size() != kGreyKeyLength)
                return false;
            parts_.colourKey = std::array<std::uint16_t, 3>{ReadU16(data, 0), 0, 0};
            return true;
        case kRgb:
            if (data.size() != kRgbKeyLength)
                return false;
            parts_.colourKey =
                std::array<std::uint16_t, 3>{ReadU16(data, 0), ReadU16(data, 2), ReadU16(data, 4)};
            return true;
        default:
            // Pictures with an alpha channel have no use for it; skip it as
            // any other ancillary chunk.
            return true;
        }
    }

    bool TakeData(std::span<const std::uint8_t> data) {
        if (dataState_ == DataState::After)
            return false;
        if (parts_.header.colourType == kPalette && !havePalette_)
            return false;
        dataState_ = DataState::Inside;
        parts_.compressed.insert(parts_.compressed.end(), data.begin(), data.end());
        return true;
    }

    PngParts parts_;
    bool haveHeader_ = false;
    bool havePalette_ = false;
    bool haveTransparency_ = false;
    bool ended_ = false;
    DataState dataState_ = DataState::Before;
};

// One sub-image: the whole picture, or one of the seven Adam7 passes.
struct Pass {
    std::uint32_t x0 = 0;
    std::uint32_t y0 = 0;
    std::uint32_t dx = 1;
    std::uint32_t dy = 1;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool Empty() const { return width == 0 || height == 0; }
};

std::uint32_t PassSide(std::uint32_t side, std::uint32_t start, std::uint32_t step) {
    return side > start ? (side - start + step - 1) / step : 0;
}

std::vector<Pass> PassesOf(const Header& header) {
    if (!header.interlaced)
        return {Pass{0, 0, 1, 1, header.width, header.height}};
    struct Origin {
        std::uint32_t x0, y0, dx, dy;
    };
    constexpr std::array<Origin, 7> kAdam7{{
        {0, 0, 8, 8},
        {4, 0, 8, 8},
        {0, 4, 4, 8},
        {2, 0, 4, 4},
        {0, 2, 2, 4},
        {1, 0, 2, 2},
        {0, 1, 1, 2},
    }};
    std::vector<Pass> passes;
    for (const Origin& o : kAdam7)
        passes.push_back({o.x0, o.y0, o.dx, o.dy, PassSide(header.width, o.x0, o.dx),
                          PassSide(header.height, o.y0, o.dy)});
    return passes;
}

std::uint64_t BitsPerPixel(const Header& header) {
    return std::uint64_t{ChannelCount(header.colourType)} * header.bitDepth;
}

std::uint64_t RowBytes(const Header& header, std::uint32_t width) {
    return (std::uint64_t{width} * BitsPerPixel(header) + 7) / 8;
}

// The largest picture (8 bytes a pixel, a filter byte a row) fits even a
// 32-bit size_t, so no size computed below needs a range check.
constexpr std::uint64_t kLargestRawSize =
    std::uint64_t{kMaxPngSide} * (1 + std::uint64_t{kMaxPngSide} * 8);
static_assert(kLargestRawSize <= std::numeric_limits<std::uint32_t>::max());

// Size of the filtered scanlines: each non-empty pass has a filter byte per
// row.
std::uint64_t RawSize(const Header& header, const std::vector<Pass>& passes) {
    std::uint64_t total = 0;
    for (const Pass& pass : passes)
        if (!pass.Empty())
            total += std::uint64_t{pass.height} * (1 + RowBytes(header, pass.width));
    return total;
}

class Inflater {
  public:
    Inflater() { ready_ = inflateInit(&stream_) == Z_OK; }
    ~Inflater() {
        if (ready_)
            inflateEnd(&stream_);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    bool Ready() const { return ready_; }
    z_stream& Stream() { return stream_; }

  private:
    z_stream stream_{};
    bool ready_ = false;
};

// Inflates `compressed` into exactly `expected` bytes. A stream that ends
// early, is corrupt or holds more data than that fails.
std::optional<std::vector<std::uint8_t>> InflateExactly(std::span<const std::uint8_t> compressed,
                                                        std::size_t expected) {
    Inflater inflater;
    if (!inflater.Ready())
        return std::nullopt;
    z_stream& stream = inflater.Stream();
    std::vector<std::uint8_t> out;
    std::size_t produced = 0;
    std::size_t consumed = 0;
    std::uint8_t probe = 0;
    for (;;) {
        if (stream.avail_in == 0 && consumed < compressed.size()) {
            const std::size_t feed = std::min<std::size_t>(compressed.size() - consumed, UINT_MAX);
            stream.next_in = compressed.data() + consumed;
            stream.avail_in = static_cast<uInt>(feed);
            consumed += feed;
        }
        // Once the picture is complete, one spare byte of room shows whether
        // the stream would go on.
        const bool full = produced == expected;
        if (!full && produced == out.size())
            out.resize(std::min(expected, std::max(kFirstInflateBlock, out.size() * 2)));
        stream.next_out = full ? &probe : out.data() + produced;
        stream.avail_out =
            full ? 1 : static_cast<uInt>(std::min<std::size_t>(out.size() - produced, UINT_MAX));
        const uInt roomBefore = stream.avail_out;
        const int status = inflate(&stream, Z_NO_FLUSH);
        const std::size_t written = roomBefore - stream.avail_out;
        if (full && written != 0)
            return std::nullopt;
        produced += written;
        if (status == Z_STREAM_END) {
            if (produced != expected)
                return std::nullopt;
            return out;
        }
        // Z_BUF_ERROR here means the input ran out before the stream's end.
        if (status != Z_OK)
            return std::nullopt;
    }
}

std::uint8_t Paeth(std::uint8_t left, std::uint8_t up, std::uint8_t upLeft) {
    const int estimate = left + up - upLeft;
    const int toLeft = std::abs(estimate - left);
    const int toUp = std::abs(estimate - up);
    const int toUpLeft = std::abs(estimate - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft)
        return left;
    if (toUp <= toUpLeft)
        return up;
    return upLeft;
}

// Undoes the per-row filters of one pass in place. `rows` holds each row's
// filter byte followed by its `rowBytes` bytes.
bool Unfilter(std::span<std::uint8_t> rows, std::size_t rowBytes, std::size_t pixelBytes) {
    const std::size_t stride = rowBytes + 1;
    for (std::size_t rowStart = 0; rowStart < rows.size(); rowStart += stride) {
        const std::uint8_t filter = rows[rowStart];
        std::uint8_t* row = rows.data() + rowStart + 1;
        // The first row of a pass filters against a row of zeros.
        const std::uint8_t* prior = rowStart == 0 ? nullptr : row - stride;
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const std::uint8_t left = i >= pixelBytes ? row[i - pixelBytes] : 0;
            const std::uint8_t up = prior ? prior[i] : 0;
            const std::uint8_t upLeft = prior && i >= pixelBytes ? prior[i - pixelBytes] : 0;
            std::uint8_t predicted = 0;
            switch (filter) {
            case kFilterNone:
                break;
            case kFilterSub:
                predicted = left;
                break;
            case kFilterUp:
                predicted = up;
                break;
            case kFilterAverage:
                predicted = static_cast<std::uint8_t>((left + up) / 2);
                break;
            case kFilterPaeth:
                predicted = Paeth(left, up, upLeft);
                break;
            default:
                return false;
            }
            row[i] = static_cast<std::uint8_t>(row[i] + predicted);
        }
    }
    return true;
}

// Sample `index` of a row packed at `depth` bits per sample, most
// significant bits first.
std::uint16_t Sample(const std::uint8_t* row, std::size_t index, unsigned depth) {
    if (depth == 16)
        return static_cast<std::uint16_t>((row[2 * index] << 8) | row[2 * index + 1]);
    if (depth == 8)
        return row[index];
    const std::size_t bit = index * depth;
    const unsigned shift = 8 - depth - static_cast<unsigned>(bit % 8);
    return static_cast<std::uint16_t>((row[bit / 8] >> shift) & ((1u << depth) - 1));
}

// Scales a sample to 8 bits: low depths stretch to the full range, 16-bit
// samples keep their high byte.
std::uint8_t ToEightBits(std::uint16_t sample, unsigned depth) {
    if (depth == 16)
        return static_cast<std::uint8_t>(sample >> 8);
    if (depth == 8)
        return static_cast<std::uint8_t>(sample);
    return static_cast<std::uint8_t>(sample * 255u / ((1u << depth) - 1));
}

// Writes one unfiltered pass into the RGBA picture. Fails on a palette
// index beyond the palette.
bool ExpandPass(const PngParts& parts, const Pass& pass, std::span<const std::uint8_t> rows,
                std::size_t rowBytes, RgbaImage& image) {
    const Header& header = parts.header;
    const unsigned depth = header.bitDepth;
    const std::size_t stride = rowBytes + 1;
    const auto& key = parts.colourKey;
    for (std::uint32_t py = 0; py < pass.height; ++py) {
        const std::uint8_t* row = rows.data() + py * stride + 1;
        const std::size_t y = pass.y0 + std::size_t{py} * pass.dy;
        for (std::uint32_t px = 0; px < pass.width; ++px) {
            const std::size_t x = pass.x0 + std::size_t{px} * pass.dx;
            std::uint8_t* out = image.pixels.data() + (y * header.width + x) * 4;
            switch (header.colourType) {
            case kGrey: {
                const std::uint16_t grey = Sample(row, px, depth);
                out[0] = out[1] = out[2] = ToEightBits(grey, depth);
                out[3] = key && (*key)[0] == grey ? kTransparent : kOpaque;
                break;
            }
            case kRgb: {
                std::array<std::uint16_t, 3> rgb{};
                for (std::size_t c = 0; c < rgb.size(); ++c) {
                    rgb[c] = Sample(row, std::size_t{px} * 3 + c, depth);
                    out[c] = ToEightBits(rgb[c], depth);
                }
                out[3] = key && *key == rgb ? kTransparent : kOpaque;
                break;
            }
            case kPalette: {
                const std::uint16_t index = Sample(row, px, depth);
                if (index >= parts.palette.size())
                    return false;
                const PaletteEntry& entry = parts.palette[index];
                out[0] = entry.red;
                out[1] = entry.green;
                out[2] = entry.blue;
                out[3] = entry.alpha;
                break;
            }
            case kGreyAlpha: {
                const std::uint8_t grey =
                    ToEightBits(Sample(row, std::size_t{px} * 2, depth), depth);
                out[0] = out[1] = out[2] = grey;
                out[3] = ToEightBits(Sample(row, std::size_t{px} * 2 + 1, depth), depth);
                break;
            }
            default: // kRgba
                for (std::size_t c = 0; c < 4; ++c)
                    out[c] = ToEightBits(Sample(row, std::size_t{px} * 4 + c, depth), depth);
                break;
            }
        }
    }
    return true;
}

} // namespace

unsigned ChannelCount(std::uint8_t colourType) {
    switch (colourType) {
    case kRgb:
        return 3;
    case kGreyAlpha:
        return 2;
    case kRgba:
        return 4;
    default:
        return 1;
    }
}

RgbaImage DecodePng(std::span<const std::uint8_t> bytes) {
    const auto parts = ChunkReader{}.Read(bytes);
    if (!parts)
        return {};
    const Header& header = parts->header;
    const std::vector<Pass> passes = PassesOf(header);
    const std::uint64_t rawSize = RawSize(header, passes);
    const std::uint64_t pixelBytes = std::uint64_t{header.width} * header.height * 4;
    auto raw = InflateExactly(parts->compressed, static_cast<std::size_t>(rawSize));
    if (!raw)
        return {};

    RgbaImage image;
    image.width = header.width;
    image.height = header.height;
    image.pixels.resize(static_cast<std::size_t>(pixelBytes));
    // Filters work on whole bytes: the distance to the "left" byte is one
    // pixel, or one byte for pixels smaller than a byte.
    const std::size_t filterStep =
        static_cast<std::size_t>(std::max<std::uint64_t>(1, BitsPerPixel(header) / 8));
    std::size_t offset = 0;
    for (const Pass& pass : passes) {
        if (pass.Empty())
            continue;
        const std::size_t rowBytes = static_cast<std::size_t>(RowBytes(header, pass.width));
        const std::size_t passSize = std::size_t{pass.height} * (rowBytes + 1);
        const auto rows = std::span<std::uint8_t>(*raw).subspan(offset, passSize);
        if (!Unfilter(rows, rowBytes, filterStep) ||
            !ExpandPass(*parts, pass, rows, rowBytes, image))
            return {};
        offset += passSize;
    }
    return image;
}

} // namespace core
