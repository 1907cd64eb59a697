// Record file reader: bytes are decoded and split exactly as the program
// loads a record file, then every line goes through the row parser.
#include "core/ConversionError.h"
#include "core/DelayText.h"
#include "core/PositionText.h"
#include "core/RecordLine.h"
#include "core/TextCodec.h"
#include "tests/fuzz/FuzzSupport.h"
#include "core/WholeNumber.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

using fuzz::DecodeLatin1;
using fuzz::Require;

constexpr std::int32_t kLongestDelayMilliseconds = 362'439'099; // "99:99:99.99"

bool IsHighSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// UTF-8 decoding yields UTF-16 units only, with every surrogate paired; when
// nothing had to be replaced, encoding the result again restores the bytes.
void CheckUtf8(std::string_view bytes) {
    const std::wstring text = core::DecodeUtf8(bytes);
    bool replaced = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t unit = text[i];
        Require(static_cast<std::uint32_t>(unit) <= 0xFFFF);
        replaced = replaced || unit == 0xFFFD;
        if (IsHighSurrogate(unit)) {
            Require(i + 1 < text.size() && IsLowSurrogate(text[i + 1]));
            ++i;
        } else {
            Require(!IsLowSurrogate(unit));
        }
    }
    if (!replaced)
        Require(core::ToUtf8(text) == bytes);
}

bool HasNoQuoteOrComma(const std::wstring& text) {
    return text.find_first_of(L",\"") == std::wstring::npos;
}

void CheckRow(const core::RecordRow& row, const core::ItemList& buttons,
              const core::ItemList& kinds) {
    if (!row.button.empty())
        Require(core::IndexOfItem(buttons, row.button) >= 0);
    if (!row.kind.empty())
        Require(core::IndexOfItem(kinds, row.kind) >= 0);

    const std::wstring line = core::FormatRecordLine(row, buttons, kinds);
    if (HasNoQuoteOrComma(row.position) && HasNoQuoteOrComma(row.delay)) {
        const auto again = core::ParseRecordLine(line, buttons, kinds);
        Require(again.has_value() && *again == row);
    }

    try {
        const core::ScreenPoint point = core::ParsePositionText(row.position);
        Require(core::ParsePositionText(core::FormatPositionText(point)) == point);
    } catch (const core::ConversionError&) {
    }
    try {
        const std::int32_t delay = core::DelayToMilliseconds(core::NormalizeDelayText(row.delay));
        Require(delay >= 0 && delay <= kLongestDelayMilliseconds);
    } catch (const core::ConversionError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckUtf8(bytes);

    static const core::ItemList kButtons = {L"왼쪽", L"Right", L"Wheel"};
    static const core::ItemList kKinds = {L"Single", L"더블"};
    for (const std::wstring& line : core::SplitLines(core::DecodeText(bytes, DecodeLatin1))) {
        Require(line.find_first_of(L"\r\n") == std::wstring::npos);
        try {
            if (const auto row = core::ParseRecordLine(line, kButtons, kKinds))
                CheckRow(*row, kButtons, kKinds);
        } catch (const core::ConversionError&) {
        }
    }
    return 0;
}
