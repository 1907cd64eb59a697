#include "DelayMask.h"

#include <algorithm>

namespace core {

namespace {

constexpr std::array<std::size_t, 8> kDigitPositions{0, 1, 3, 4, 6, 7, 9, 10};
constexpr std::size_t kFractionPosition = 8;
constexpr wchar_t kFractionSeparator = L'.';
// An unfilled cell shows '0'; every cell showing '0' reads back as a space.
constexpr wchar_t kZeroShown = L'0';
constexpr wchar_t kZeroReported = L' ';

bool IsDigit(wchar_t ch) {
    return ch >= L'0' && ch <= L'9';
}

std::optional<std::size_t> DigitIndex(std::size_t position) {
    const auto it = std::find(kDigitPositions.begin(), kDigitPositions.end(), position);
    if (it == kDigitPositions.end())
        return std::nullopt;
    return static_cast<std::size_t>(it - kDigitPositions.begin());
}

std::optional<std::size_t> FirstDigitPositionFrom(std::size_t position) {
    for (const std::size_t candidate : kDigitPositions)
        if (candidate >= position)
            return candidate;
    return std::nullopt;
}

std::optional<std::size_t> LastDigitPositionBefore(std::size_t position) {
    for (auto it = kDigitPositions.rbegin(); it != kDigitPositions.rend(); ++it)
        if (*it < position)
            return *it;
    return std::nullopt;
}

// The window control may hand over a selection in either direction or past
// the end; positions are put in order and kept inside the mask.
struct Range {
    std::size_t begin;
    std::size_t end;
    bool Empty() const { return begin == end; }
};

Range OrderedRange(std::size_t selStart, std::size_t selEnd) {
    return {std::min({selStart, selEnd, DelayMask::kLength}),
            std::min(std::max(selStart, selEnd), DelayMask::kLength)};
}

} // namespace

DelayMask::DelayMask(wchar_t timeSeparator) : separator_(timeSeparator) {
    static_assert(kDigitPositions.size() == kDigitCount);
    Refresh();
}

bool DelayMask::IsDigitPosition(std::size_t position) {
    return DigitIndex(position).has_value();
}

std::wstring DelayMask::Text() const {
    std::wstring text = display_;
    for (const std::size_t position : kDigitPositions)
        if (text[position] == kZeroShown)
            text[position] = kZeroReported;
    return text;
}

void DelayMask::SetText(std::wstring_view text) {
    for (std::size_t i = 0; i < kDigitCount; ++i) {
        const std::size_t position = kDigitPositions[i];
        if (position < text.size() && IsDigit(text[position]))
            digits_[i] = text[position];
        else
            digits_[i].reset();
    }
    Refresh();
}

std::optional<std::size_t> DelayMask::TypeChar(std::size_t selStart, std::size_t selEnd,
                                               wchar_t ch) {
    if (!IsDigit(ch))
        return std::nullopt;
    const Range selection = OrderedRange(selStart, selEnd);
    const auto target = FirstDigitPositionFrom(selection.begin);
    if (!target)
        return std::nullopt;
    Clear(selection.begin, selection.end);
    digits_[*DigitIndex(*target)] = ch;
    Refresh();
    return *target + 1;
}

// The caret stays where it is, as with Delete in any edit box; on a separator
// the digit right after it is cleared.
std::size_t DelayMask::DeleteForward(std::size_t selStart, std::size_t selEnd) {
    const Range selection = OrderedRange(selStart, selEnd);
    if (!selection.Empty()) {
        Clear(selection.begin, selection.end);
    } else if (const auto target = FirstDigitPositionFrom(selection.begin)) {
        Clear(*target, *target + 1);
    }
    return selection.begin;
}

std::size_t DelayMask::DeleteBackward(std::size_t selStart, std::size_t selEnd) {
    const Range selection = OrderedRange(selStart, selEnd);
    if (!selection.Empty()) {
        Clear(selection.begin, selection.end);
        return selection.begin;
    }
    const auto target = LastDigitPositionBefore(selection.begin);
    if (!target)
        return selection.begin;
    Clear(*target, *target + 1);
    return *target;
}

// Digits past the last position are dropped, like keys typed there.
std::size_t DelayMask::Paste(std::size_t selStart, std::size_t selEnd, std::wstring_view text) {
    const Range selection = OrderedRange(selStart, selEnd);
    Clear(selection.begin, selection.end);
    std::size_t caret = selection.begin;
    for (const wchar_t ch : text) {
        if (!IsDigit(ch))
            continue;
        const auto next = TypeChar(caret, caret, ch);
        if (!next)
            break;
        caret = *next;
    }
    return caret;
}

void DelayMask::Clear(std::size_t from, std::size_t to) {
    for (std::size_t i = 0; i < kDigitCount; ++i)
        if (kDigitPositions[i] >= from && kDigitPositions[i] < to)
            digits_[i].reset();
    Refresh();
}

void DelayMask::Refresh() {
    display_.assign(kLength, separator_);
    for (std::size_t i = 0; i < kDigitCount; ++i)
        display_[kDigitPositions[i]] = digits_[i].value_or(kZeroShown);
    display_[kFractionPosition] = kFractionSeparator;
}

} // namespace core
