#include "core/Png.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Pixel = std::array<std::uint8_t, 4>;

constexpr std::uint8_t kGrey = 0;
constexpr std::uint8_t kRgb = 2;
constexpr std::uint8_t kPalette = 3;
constexpr std::uint8_t kGreyAlpha = 4;
constexpr std::uint8_t kRgba = 6;
constexpr unsigned kFilterCount = 5;

// ---- A small PNG writer, enough to build every kind of picture ----------

struct Chunk {
    std::string type;
    Bytes data;
};
using Chunks = std::vector<Chunk>;

void PutU32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

Bytes Serialize(const Chunks& chunks) {
    Bytes png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    for (const Chunk& chunk : chunks) {
        PutU32(png, static_cast<std::uint32_t>(chunk.data.size()));
        Bytes typeAndData(chunk.type.begin(), chunk.type.end());
        typeAndData.insert(typeAndData.end(), chunk.data.begin(), chunk.data.end());
        png.insert(png.end(), typeAndData.begin(), typeAndData.end());
        PutU32(png, static_cast<std::uint32_t>(
                        crc32(0, typeAndData.data(), static_cast<uInt>(typeAndData.size()))));
    }
    return png;
}

Bytes Compress(const Bytes& raw, int level = Z_BEST_COMPRESSION) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    EXPECT_EQ(compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), level),
              Z_OK);
    out.resize(size);
    return out;
}

struct Picture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint8_t depth = 8;
    std::uint8_t colourType = kRgb;
    bool interlaced = false;
    // Samples at `depth` bits, core::ChannelCount(colourType) per pixel, row by row.
    std::vector<std::uint16_t> samples;
    // RGB triples, for palette pictures.
    Bytes palette;
};

Bytes HeaderData(std::uint32_t width, std::uint32_t height, std::uint8_t depth,
                 std::uint8_t colourType, std::uint8_t interlace = 0, std::uint8_t compression = 0,
                 std::uint8_t filterMethod = 0) {
    Bytes data;
    PutU32(data, width);
    PutU32(data, height);
    data.insert(data.end(), {depth, colourType, compression, filterMethod, interlace});
    return data;
}

Bytes PackRow(const std::vector<std::uint16_t>& samples, unsigned depth) {
    Bytes out;
    if (depth == 16) {
        for (std::uint16_t s : samples)
            out.insert(out.end(),
                       {static_cast<std::uint8_t>(s >> 8), static_cast<std::uint8_t>(s)});
        return out;
    }
    unsigned used = 8;
    for (std::uint16_t s : samples) {
        if (used == 8) {
            out.push_back(0);
            used = 0;
        }
        used += depth;
        out.back() = static_cast<std::uint8_t>(out.back() | (s << (8 - used)));
    }
    return out;
}

std::uint8_t PaethPredictor(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Encoder side of the five filters: subtracts the prediction.
Bytes FilterRow(unsigned type, const Bytes& row, const Bytes& prior, std::size_t step) {
    Bytes out{static_cast<std::uint8_t>(type)};
    for (std::size_t i = 0; i < row.size(); ++i) {
        const int a = i >= step ? row[i - step] : 0;
        const int b = prior[i];
        const int c = i >= step ? prior[i - step] : 0;
        const int predicted = type == 1   ? a
                              : type == 2 ? b
                              : type == 3 ? (a + b) / 2
                              : type == 4 ? PaethPredictor(a, b, c)
                                          : 0;
        out.push_back(static_cast<std::uint8_t>(row[i] - predicted));
    }
    return out;
}

struct PassShape {
    std::uint32_t x0, y0, dx, dy;
};
constexpr std::array<PassShape, 7> kAdam7{{{0, 0, 8, 8},
                                           {4, 0, 8, 8},
                                           {0, 4, 4, 8},
                                           {2, 0, 4, 4},
                                           {0, 2, 2, 4},
                                           {1, 0, 2, 2},
                                           {0, 1, 1, 2}}};

// Filtered scanlines; row n (counting across passes) uses filter
// (firstFilter + n) % 5.
Bytes Scanlines(const Picture& p, unsigned firstFilter) {
    const std::vector<PassShape> passes = p.interlaced
                                              ? std::vector<PassShape>(kAdam7.begin(), kAdam7.end())
                                              : std::vector<PassShape>{{0, 0, 1, 1}};
    const unsigned channels = core::ChannelCount(p.colourType);
    const std::size_t step = std::max(1u, channels * p.depth / 8);
    Bytes out;
    unsigned rowIndex = 0;
    for (const PassShape& pass : passes) {
        Bytes prior;
        for (std::uint32_t y = pass.y0; y < p.height; y += pass.dy) {
            std::vector<std::uint16_t> rowSamples;
            for (std::uint32_t x = pass.x0; x < p.width; x += pass.dx)
                for (unsigned c = 0; c < channels; ++c)
                    rowSamples.push_back(p.samples[(y * p.width + x) * channels + c]);
            if (rowSamples.empty())
                break;
            const Bytes packed = PackRow(rowSamples, p.depth);
            prior.resize(packed.size());
            const Bytes filtered =
                FilterRow((firstFilter + rowIndex++) % kFilterCount, packed, prior, step);
            out.insert(out.end(), filtered.begin(), filtered.end());
            prior = packed;
        }
    }
    return out;
}

Chunks ChunksFor(const Picture& p, unsigned firstFilter = 0) {
    Chunks chunks{{"IHDR", HeaderData(p.width, p.height, p.depth, p.colourType, p.interlaced)}};
    if (!p.palette.empty())
        chunks.push_back({"PLTE", p.palette});
    chunks.push_back({"IDAT", Compress(Scanlines(p, firstFilter))});
    chunks.push_back({"IEND", {}});
    return chunks;
}

Bytes Encode(const Picture& p, unsigned firstFilter = 0) {
    return Serialize(ChunksFor(p, firstFilter));
}

std::size_t FindChunk(const Chunks& chunks, const std::string& type) {
    for (std::size_t i = 0; i < chunks.size(); ++i)
        if (chunks[i].type == type)
            return i;
    ADD_FAILURE() << "no " << type << " chunk";
    return 0;
}

// Fills a picture with scattered samples that use the whole range of the
// bit depth, high and low bytes alike.
Picture Patterned(std::uint32_t width, std::uint32_t height, std::uint8_t colourType,
                  std::uint8_t depth, bool interlaced) {
    Picture p{width, height, depth, colourType, interlaced, {}, {}};
    const std::uint32_t mask = (1u << depth) - 1;
    std::uint32_t state = 0x9E3779B9u ^ (width * 31 + height * 17 + colourType * 7 + depth);
    for (std::size_t i = 0; i < std::size_t{width} * height * core::ChannelCount(colourType); ++i) {
        state = state * 1664525u + 1013904223u;
        p.samples.push_back(static_cast<std::uint16_t>((state >> 12) & mask));
    }
    if (colourType == kPalette)
        for (std::uint32_t i = 0; i <= mask; ++i)
            p.palette.insert(p.palette.end(), {static_cast<std::uint8_t>(i * 3 + 1),
                                               static_cast<std::uint8_t>(255 - i),
                                               static_cast<std::uint8_t>(i * 7)});
    return p;
}

// What a sample of each depth becomes at 8 bits.
std::uint8_t Expected8(std::uint16_t sample, unsigned depth) {
    switch (depth) {
    case 1:
        return sample ? 0xFF : 0x00;
    case 2:
        return static_cast<std::uint8_t>(sample * 0x55);
    case 4:
        return static_cast<std::uint8_t>(sample * 0x11);
    case 16:
        return static_cast<std::uint8_t>(sample >> 8);
    default:
        return static_cast<std::uint8_t>(sample);
    }
}

Pixel ExpectedPixel(const Picture& p, std::size_t index) {
    const std::uint16_t* s = &p.samples[index * core::ChannelCount(p.colourType)];
    auto e = [&](int c) { return Expected8(s[c], p.depth); };
    switch (p.colourType) {
    case kGrey:
        return {e(0), e(0), e(0), 0xFF};
    case kRgb:
        return {e(0), e(1), e(2), 0xFF};
    case kPalette:
        return {p.palette[s[0] * 3], p.palette[s[0] * 3 + 1], p.palette[s[0] * 3 + 2], 0xFF};
    case kGreyAlpha:
        return {e(0), e(0), e(0), e(1)};
    default:
        return {e(0), e(1), e(2), e(3)};
    }
}

Pixel PixelAt(const core::RgbaImage& image, std::size_t index) {
    return {image.pixels[index * 4], image.pixels[index * 4 + 1], image.pixels[index * 4 + 2],
            image.pixels[index * 4 + 3]};
}

core::RgbaImage Decode(const Bytes& bytes) {
    return core::DecodePng(bytes);
}

// ---- Every colour type and bit depth, plain and interlaced -------------

struct Format {
    std::uint8_t colourType;
    std::uint8_t depth;
};

class PngFormats : public ::testing::TestWithParam<Format> {};

TEST_P(PngFormats, DecodesEveryPixelWithEveryFilterAndLayout) {
    const Format f = GetParam();
    // 1x1 and 3x2 leave most Adam7 passes empty; 13x11 fills every pass
    // partially and ends rows mid-byte at the low depths.
    const std::array<std::pair<std::uint32_t, std::uint32_t>, 3> sizes{{{1, 1}, {3, 2}, {13, 11}}};
    for (const auto& [width, height] : sizes) {
        for (bool interlaced : {false, true}) {
            const Picture p = Patterned(width, height, f.colourType, f.depth, interlaced);
            for (unsigned firstFilter = 0; firstFilter < kFilterCount; ++firstFilter) {
                SCOPED_TRACE(::testing::Message() << width << "x" << height << " interlaced="
                                                  << interlaced << " firstFilter=" << firstFilter);
                const core::RgbaImage image = Decode(Encode(p, firstFilter));
                ASSERT_EQ(image.width, width);
                ASSERT_EQ(image.height, height);
                ASSERT_EQ(image.pixels.size(), std::size_t{width} * height * 4);
                for (std::size_t i = 0; i < std::size_t{width} * height; ++i)
                    ASSERT_EQ(PixelAt(image, i), ExpectedPixel(p, i)) << "pixel " << i;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllLegal, PngFormats,
                         ::testing::Values(Format{kGrey, 1}, Format{kGrey, 2}, Format{kGrey, 4},
                                           Format{kGrey, 8}, Format{kGrey, 16}, Format{kRgb, 8},
                                           Format{kRgb, 16}, Format{kPalette, 1},
                                           Format{kPalette, 2}, Format{kPalette, 4},
                                           Format{kPalette, 8}, Format{kGreyAlpha, 8},
                                           Format{kGreyAlpha, 16}, Format{kRgba, 8},
                                           Format{kRgba, 16}),
                         [](const ::testing::TestParamInfo<Format>& info) {
                             return "Type" + std::to_string(info.param.colourType) + "Depth" +
                                    std::to_string(info.param.depth);
                         });

// ---- Transparency -------------------------------------------------------

Picture Explicit(std::uint8_t colourType, std::uint8_t depth, std::vector<std::uint16_t> samples) {
    const auto width = static_cast<std::uint32_t>(samples.size() / core::ChannelCount(colourType));
    return Picture{width, 1, depth, colourType, false, std::move(samples), {}};
}

std::vector<std::uint8_t> Alphas(const Picture& p, const Bytes& trns) {
    Chunks chunks = ChunksFor(p);
    chunks.insert(chunks.begin() + static_cast<std::ptrdiff_t>(FindChunk(chunks, "IDAT")),
                  Chunk{"tRNS", trns});
    const core::RgbaImage image = Decode(Serialize(chunks));
    std::vector<std::uint8_t> alphas;
    for (std::size_t i = 0; i < image.pixels.size() / 4; ++i)
        alphas.push_back(image.pixels[i * 4 + 3]);
    return alphas;
}

TEST(PngTransparency, PaletteAlphaCoversListedEntriesOnly) {
    Picture p = Explicit(kPalette, 2, {0, 1, 2, 3});
    p.palette = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    const Bytes shortTable{0x00, 0x80};
    EXPECT_EQ(Alphas(p, shortTable), (std::vector<std::uint8_t>{0x00, 0x80, 0xFF, 0xFF}));
    const Bytes fullTable{0x10, 0x20, 0x30, 0x40};
    EXPECT_EQ(Alphas(p, fullTable), fullTable);
}

TEST(PngTransparency, GreyKeyMatchesAtThePicturesOwnDepth) {
    EXPECT_EQ(Alphas(Explicit(kGrey, 2, {0, 1, 2, 3}), {0x00, 0x01}),
              (std::vector<std::uint8_t>{0xFF, 0x00, 0xFF, 0xFF}));
    // 0x1235 shares its high byte with the key yet is a different sample.
    EXPECT_EQ(Alphas(Explicit(kGrey, 16, {0x1234, 0x1235}), {0x12, 0x34}),
              (std::vector<std::uint8_t>{0x00, 0xFF}));
}

TEST(PngTransparency, RgbKeyNeedsAllThreeSamples) {
    const Bytes key{0, 10, 0, 20, 0, 30};
    EXPECT_EQ(Alphas(Explicit(kRgb, 8, {10, 20, 30, 10, 20, 31, 30, 20, 10}), key),
              (std::vector<std::uint8_t>{0x00, 0xFF, 0xFF}));
    const Bytes key16{0xAB, 0xCD, 0x00, 0x01, 0xFF, 0xFF};
    EXPECT_EQ(Alphas(Explicit(kRgb, 16, {0xABCD, 0x0001, 0xFFFF, 0xABCD, 0x0002, 0xFFFF}), key16),
              (std::vector<std::uint8_t>{0x00, 0xFF}));
}

TEST(PngTransparency, AlphaChannelPicturesIgnoreTrns) {
    EXPECT_EQ(Alphas(Explicit(kGreyAlpha, 8, {5, 0x40, 6, 0xC0}), {0x00, 0x05}),
              (std::vector<std::uint8_t>{0x40, 0xC0}));
}

// ---- Chunk layout that is legal -----------------------------------------

TEST(PngLayout, SplitDataAncillaryChunksAndTrailingBytesAreAccepted) {
    const Picture p = Patterned(9, 7, kRgba, 8, false);
    const Bytes data = Compress(Scanlines(p, 4));
    const auto third = static_cast<std::ptrdiff_t>(data.size() / 3);
    Chunks chunks{{"IHDR", HeaderData(9, 7, 8, kRgba)},
                  {"tEXt", {'a', 0, 'b'}},
                  {"IDAT", Bytes(data.begin(), data.begin() + third)},
                  {"IDAT", {}},
                  {"IDAT", Bytes(data.begin() + third, data.end())},
                  {"zzZz", {1, 2, 3}},
                  {"IEND", {}}};
    Bytes png = Serialize(chunks);
    png.insert(png.end(), {'j', 'u', 'n', 'k'});
    const core::RgbaImage image = Decode(png);
    ASSERT_EQ(image.width, 9u);
    for (std::size_t i = 0; i < 9 * 7; ++i)
        ASSERT_EQ(PixelAt(image, i), ExpectedPixel(p, i));
}

TEST(PngLayout, SidesUpToTheLimitAreAccepted) {
    for (bool wide : {true, false}) {
        const std::uint32_t width = wide ? core::kMaxPngSide : 1;
        const std::uint32_t height = wide ? 1 : core::kMaxPngSide;
        const Picture p = Patterned(width, height, kGrey, 1, false);
        const core::RgbaImage image = Decode(Encode(p));
        ASSERT_EQ(image.width, width);
        ASSERT_EQ(image.height, height);
        EXPECT_EQ(PixelAt(image, width * height - 1), ExpectedPixel(p, width * height - 1));
    }
}

// ---- Damaged or unsupported input ---------------------------------------

// A small palette picture every damaged case starts from.
Picture Base() {
    Picture p = Explicit(kPalette, 8, {0, 1, 2, 1, 0, 2});
    p.width = 3;
    p.height = 2;
    p.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    return p;
}

Chunks BaseChunks() {
    return ChunksFor(Base());
}

Bytes WithChunks(const std::function<void(Chunks&)>& change) {
    Chunks chunks = BaseChunks();
    change(chunks);
    return Serialize(chunks);
}

Bytes WithBytes(const std::function<void(Bytes&)>& change) {
    Bytes png = Encode(Base());
    change(png);
    return png;
}

Bytes WithHeader(std::uint32_t width, std::uint32_t height, std::uint8_t depth,
                 std::uint8_t colourType, std::uint8_t interlace = 0, std::uint8_t compression = 0,
                 std::uint8_t filterMethod = 0) {
    return WithChunks([=](Chunks& c) {
        c[0].data =
            HeaderData(width, height, depth, colourType, interlace, compression, filterMethod);
    });
}

Bytes WithRawData(const std::function<void(Bytes&)>& change, int level = Z_BEST_COMPRESSION) {
    return WithChunks([&](Chunks& c) {
        Bytes raw = Scanlines(Base(), 0);
        change(raw);
        c[FindChunk(c, "IDAT")].data = Compress(raw, level);
    });
}

// A grey picture of that size whose data matches it.
Bytes WithMatchingData(std::uint32_t width, std::uint32_t height) {
    return Encode(Patterned(width, height, kGrey, 1, false));
}

Bytes Insert(const std::string& before, Chunk chunk) {
    return WithChunks([&](Chunks& c) {
        c.insert(c.begin() + static_cast<std::ptrdiff_t>(FindChunk(c, before)), std::move(chunk));
    });
}

// Offset of the first chunk of `type` in a serialized picture.
std::size_t ChunkStart(const Bytes& png, const std::string& type) {
    for (std::size_t at = 8; at + 8 <= png.size();) {
        const std::size_t length =
            (std::size_t{png[at]} << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        if (std::string(png.begin() + static_cast<std::ptrdiff_t>(at) + 4,
                        png.begin() + static_cast<std::ptrdiff_t>(at) + 8) == type)
            return at;
        at += 12 + length;
    }
    ADD_FAILURE() << "no " << type << " chunk";
    return 0;
}

constexpr std::size_t kDataStart = 8; // past the length and type
constexpr std::size_t kHeaderCrcAt = 8 + 4 + 4 + 13;

struct Damage {
    const char* name;
    std::function<Bytes()> make;
};

const std::vector<Damage>& Damages() {
    static const std::vector<Damage> damages{
        {"Empty", [] { return Bytes{}; }},
        {"SignatureOnly", [] { return WithBytes([](Bytes& b) { b.resize(8); }); }},
        {"BadSignature", [] { return WithBytes([](Bytes& b) { b[1] = 'Q'; }); }},
        {"BadHeaderCrc", [] { return WithBytes([](Bytes& b) { b[kHeaderCrcAt + 3] ^= 1; }); }},
        {"BadDataCrc",
         [] {
             return WithBytes([](Bytes& b) { b[ChunkStart(b, "IDAT") + kDataStart + 1] ^= 1; });
         }},
        {"BadAncillaryCrc",
         [] {
             Bytes png = Insert("IEND", {"tEXt", {'k', 0, 'v'}});
             png[png.size() - 12 - 1] ^= 1;
             return png;
         }},
        {"TruncatedInData",
         [] {
             return WithBytes([](Bytes& b) { b.resize(ChunkStart(b, "IDAT") + kDataStart + 2); });
         }},
        {"TruncatedInEnd", [] { return WithBytes([](Bytes& b) { b.pop_back(); }); }},
        {"LengthPastEnd", [] { return WithBytes([](Bytes& b) { b[8 + 2] = 0xFF; }); }},
        {"LengthOverLimit", [] { return WithBytes([](Bytes& b) { b[8] = 0x80; }); }},
        {"MissingHeader", [] { return WithChunks([](Chunks& c) { c.erase(c.begin()); }); }},
        {"AncillaryBeforeHeader",
         [] {
             return WithChunks([](Chunks& c) { c.insert(c.begin(), Chunk{"tEXt", {'k', 0}}); });
         }},
        {"SecondHeader",
         [] {
             return Insert("IDAT", {"IHDR", HeaderData(3, 2, 8, kPalette)});
         }},
        {"ShortHeader", [] { return WithChunks([](Chunks& c) { c[0].data.pop_back(); }); }},
        {"MissingData",
         [] {
             return WithChunks([](Chunks& c) {
                 c.erase(c.begin() + static_cast<std::ptrdiff_t>(FindChunk(c, "IDAT")));
             });
         }},
        {"MissingEnd", [] { return WithChunks([](Chunks& c) { c.pop_back(); }); }},
        {"EndWithData", [] { return WithChunks([](Chunks& c) { c.back().data = {0}; }); }},
        {"DataSplitByOtherChunk",
         [] {
             return WithChunks([](Chunks& c) {
                 const std::size_t at = FindChunk(c, "IDAT");
                 Bytes data = c[at].data;
                 c[at].data.resize(data.size() / 2);
                 c.insert(
                     c.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                     {{"tEXt", {'k', 0}},
                      {"IDAT", Bytes(data.begin() + static_cast<std::ptrdiff_t>(data.size() / 2),
                                     data.end())}});
             });
         }},
        {"DataOneByteShort", [] { return WithRawData([](Bytes& raw) { raw.pop_back(); }); }},
        {"DataOneByteLong", [] { return WithRawData([](Bytes& raw) { raw.push_back(0); }); }},
        {"DataOneRowLong",
         [] { return WithRawData([](Bytes& raw) {
                  raw.insert(raw.end(), {0, 0, 0, 0});
              }); }},
        // Stored blocks are copied out whole, past the room the picture needs.
        {"StoredDataLong",
         [] {
             return WithRawData([](Bytes& raw) { raw.resize(raw.size() + 64); }, Z_NO_COMPRESSION);
         }},
        {"ZlibStreamCut",
         [] {
             return WithChunks([](Chunks& c) {
                 c[FindChunk(c, "IDAT")].data.resize(c[FindChunk(c, "IDAT")].data.size() - 4);
             });
         }},
        {"ZlibChecksumWrong",
         [] { return WithChunks([](Chunks& c) { c[FindChunk(c, "IDAT")].data.back() ^= 1; }); }},
        {"NotZlib",
         [] {
             return WithChunks(
                 [](Chunks& c) { c[FindChunk(c, "IDAT")].data = {1, 2, 3, 4, 5, 6}; });
         }},
        {"BadFilterType", [] { return WithRawData([](Bytes& raw) { raw[4] = 5; }); }},
        {"PaletteIndexOutOfRange", [] { return WithRawData([](Bytes& raw) { raw[2] = 3; }); }},
        {"ZeroWidth", [] { return WithMatchingData(0, 2); }},
        {"ZeroHeight", [] { return WithMatchingData(3, 0); }},
        {"WidthOverLimit", [] { return WithMatchingData(core::kMaxPngSide + 1, 1); }},
        {"HeightOverLimit", [] { return WithMatchingData(1, core::kMaxPngSide + 1); }},
        {"HugeWidth", [] { return WithHeader(0xFFFFFFFF, 2, 8, kPalette); }},
        {"RgbDepth4", [] { return WithHeader(3, 2, 4, kRgb); }},
        {"PaletteDepth16", [] { return WithHeader(3, 2, 16, kPalette); }},
        {"GreyDepth3", [] { return WithHeader(3, 2, 3, kGrey); }},
        {"GreyAlphaDepth2", [] { return WithHeader(3, 2, 2, kGreyAlpha); }},
        {"RgbaDepth1", [] { return WithHeader(3, 2, 1, kRgba); }},
        {"ColourType1", [] { return WithHeader(3, 2, 8, 1); }},
        {"ColourType7", [] { return WithHeader(3, 2, 8, 7); }},
        {"CompressionMethod1", [] { return WithHeader(3, 2, 8, kPalette, 0, 1); }},
        {"FilterMethod1", [] { return WithHeader(3, 2, 8, kPalette, 0, 0, 1); }},
        {"InterlaceMethod2", [] { return WithHeader(3, 2, 8, kPalette, 2); }},
        {"UnknownCriticalChunk",
         [] {
             return Insert("IDAT", {"ABCD", {}});
         }},
        {"TypeWithDigit",
         [] {
             return Insert("IDAT", {"tEX1", {}});
         }},
        {"MissingPalette", [] { return WithChunks([](Chunks& c) { c.erase(c.begin() + 1); }); }},
        {"PaletteInGreyPicture",
         [] { return WithChunks([](Chunks& c) { c[0].data = HeaderData(3, 2, 8, kGrey); }); }},
        {"PaletteInGreyAlphaPicture",
         [] {
             Chunks c = ChunksFor(Explicit(kGreyAlpha, 8, {1, 2}));
             c.insert(c.begin() + 1, Chunk{"PLTE", {1, 2, 3}});
             return Serialize(c);
         }},
        {"PaletteLengthNotTriples",
         [] { return WithChunks([](Chunks& c) { c[1].data.pop_back(); }); }},
        {"PaletteTooLong",
         [] { return WithChunks([](Chunks& c) { c[1].data.assign(257 * 3, 0); }); }},
        {"EmptyPalette", [] { return WithChunks([](Chunks& c) { c[1].data.clear(); }); }},
        {"DataBeforePalette", [] { return WithChunks([](Chunks& c) { std::swap(c[1], c[2]); }); }},
        {"SuggestedPaletteAfterData",
         [] {
             Chunks c = ChunksFor(Explicit(kRgb, 8, {1, 2, 3}));
             c.insert(c.end() - 1, Chunk{"PLTE", {1, 2, 3}});
             return Serialize(c);
         }},
        {"SecondPalette",
         [] {
             return Insert("IDAT", {"PLTE", {1, 2, 3}});
         }},
        {"TrnsLongerThanPalette",
         [] {
             return Insert("IDAT", {"tRNS", {1, 2, 3, 4}});
         }},
        {"TrnsBeforePalette",
         [] {
             return Insert("PLTE", {"tRNS", {}});
         }},
        {"SecondTrns",
         [] {
             return WithChunks([](Chunks& c) {
                 c.insert(c.begin() + static_cast<std::ptrdiff_t>(FindChunk(c, "IDAT")), 2,
                          Chunk{"tRNS", {1}});
             });
         }},
        {"TrnsAfterData",
         [] {
             return Insert("IEND", {"tRNS", {1}});
         }},
        {"GreyKeyWrongLength",
         [] {
             Picture p = Explicit(kGrey, 8, {1, 2});
             Chunks c = ChunksFor(p);
             c.insert(c.begin() + 1, Chunk{"tRNS", {0, 1, 2}});
             return Serialize(c);
         }},
        {"RgbKeyWrongLength",
         [] {
             Chunks c = ChunksFor(Explicit(kRgb, 8, {1, 2, 3}));
             c.insert(c.begin() + 1, Chunk{"tRNS", {0, 1, 0, 2, 0, 3, 0}});
             return Serialize(c);
         }},
    };
    return damages;
}

class PngDamage : public ::testing::TestWithParam<std::size_t> {};

TEST(PngDamageBase, UndamagedBaseDecodes) {
    const core::RgbaImage image = Decode(Encode(Base()));
    ASSERT_EQ(image.width, 3u);
    EXPECT_EQ(PixelAt(image, 5), (Pixel{0, 0, 255, 255}));
}

TEST_P(PngDamage, GivesEmptyImage) {
    const core::RgbaImage image = Decode(Damages()[GetParam()].make());
    EXPECT_TRUE(image.Empty());
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_EQ(image.width, 0u);
    EXPECT_EQ(image.height, 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, PngDamage, ::testing::Range<std::size_t>(0, Damages().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             return std::string(Damages()[info.param].name);
                         });

// ---- The pictures the program ships -------------------------------------

Bytes ReadFile(const std::string& relative) {
    std::ifstream in(std::string(MIRVEX_SOURCE_DIR) + "/" + relative, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(PngShipped, LogoIsAnAntiAliasedCutOut) {
    const core::RgbaImage logo = Decode(ReadFile("resources/logo.png"));
    ASSERT_EQ(logo.width, 99u);
    ASSERT_EQ(logo.height, 32u);
    std::size_t transparent = 0, opaque = 0, partial = 0;
    for (std::size_t i = 3; i < logo.pixels.size(); i += 4) {
        const std::uint8_t alpha = logo.pixels[i];
        (alpha == 0 ? transparent : alpha == 255 ? opaque : partial)++;
    }
    EXPECT_GT(transparent, 0u);
    EXPECT_GT(opaque, 0u);
    EXPECT_GT(partial, 0u);
    // The background around the drawing is clear.
    EXPECT_EQ(logo.pixels[3], 0);
    EXPECT_EQ(logo.pixels.back(), 0);
}

TEST(PngShipped, IconsLargestImageIsAReadablePng) {
    const Bytes icon = ReadFile("resources/Mirvex.ico");
    ASSERT_GE(icon.size(), 6u);
    const std::size_t count = icon[4] | (icon[5] << 8);
    std::size_t found = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        ASSERT_LE(entry + 16, icon.size());
        if (icon[entry] != 0) // 0 stands for 256
            continue;
        auto u32 = [&](std::size_t at) {
            return std::size_t{icon[at]} | (std::size_t{icon[at + 1]} << 8) |
                   (std::size_t{icon[at + 2]} << 16) | (std::size_t{icon[at + 3]} << 24);
        };
        const std::size_t size = u32(entry + 8), offset = u32(entry + 12);
        ASSERT_LE(offset + size, icon.size());
        const core::RgbaImage image =
            core::DecodePng(std::span<const std::uint8_t>(icon).subspan(offset, size));
        EXPECT_EQ(image.width, 256u);
        EXPECT_EQ(image.height, 256u);
        ++found;
    }
    EXPECT_EQ(found, 1u);
}

} // namespace
