#include "RecordLine.h"

#include "DelimitedText.h"
#include "WholeNumber.h"

#include <algorithm>

namespace core {

namespace {

constexpr wchar_t kFieldDelimiter = L',';
constexpr std::size_t kRecordFieldCount = 4;
constexpr int kNotFound = -1;

// Distance between an upper-case letter and its lower-case partner in the
// ranges folded below.
constexpr wchar_t kAsciiLatin1Offset = 0x20;
constexpr wchar_t kGreekOffset = 0x20;
constexpr wchar_t kCyrillicOffset = 0x20;
constexpr wchar_t kCyrillicExtraOffset = 0x50;

// Simple one-to-one lower-casing of the letters whose case pairs sit at a
// fixed distance: ASCII A-Z, Latin-1 À-Þ (not ×), Greek Α-Ω (not the unused
// U+03A2), Cyrillic А-Я and Ѐ-Џ. Other characters compare as they are.
wchar_t FoldCase(wchar_t ch) {
    if (ch >= L'A' && ch <= L'Z')
        return static_cast<wchar_t>(ch + kAsciiLatin1Offset);
    if (ch >= 0x00C0 && ch <= 0x00DE && ch != 0x00D7)
        return static_cast<wchar_t>(ch + kAsciiLatin1Offset);
    if (ch >= 0x0391 && ch <= 0x03A9 && ch != 0x03A2)
        return static_cast<wchar_t>(ch + kGreekOffset);
    if (ch >= 0x0410 && ch <= 0x042F)
        return static_cast<wchar_t>(ch + kCyrillicOffset);
    if (ch >= 0x0400 && ch <= 0x040F)
        return static_cast<wchar_t>(ch + kCyrillicExtraOffset);
    return ch;
}

} // namespace

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](wchar_t x, wchar_t y) { return FoldCase(x) == FoldCase(y); });
}

int IndexOfItem(const ItemList& items, std::wstring_view text) {
    if (text.empty())
        return kNotFound;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (EqualsIgnoringCase(items[i], text))
            return static_cast<int>(i);
    return kNotFound;
}

std::wstring ItemAt(const ItemList& items, int index) {
    // A negative index converts to a size beyond any list.
    if (static_cast<std::size_t>(index) >= items.size())
        return {};
    return items[static_cast<std::size_t>(index)];
}

std::wstring FormatRecordLine(const RecordRow& row, const ItemList& buttons,
                              const ItemList& kinds) {
    std::wstring line = row.position;
    line += kFieldDelimiter;
    line += std::to_wstring(IndexOfItem(buttons, row.button));
    line += kFieldDelimiter;
    line += std::to_wstring(IndexOfItem(kinds, row.kind));
    line += kFieldDelimiter;
    line += row.delay;
    return line;
}

std::optional<RecordRow> ParseRecordLine(std::wstring_view line, const ItemList& buttons,
                                         const ItemList& kinds) {
    std::vector<std::wstring> fields = SplitDelimitedFields(line, kFieldDelimiter);
    if (fields.size() != kRecordFieldCount)
        return std::nullopt;
    RecordRow row;
    row.button = ItemAt(buttons, ParseWholeNumber(fields[1]));
    row.kind = ItemAt(kinds, ParseWholeNumber(fields[2]));
    row.position = std::move(fields[0]);
    row.delay = std::move(fields[3]);
    return row;
}

} // namespace core
