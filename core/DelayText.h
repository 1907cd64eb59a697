// The eleven-character delay text "HH:MM:SS.FF" (the two separators are the
// locale's time separator; FF are milliseconds 0-99, not hundredths).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace core {

constexpr std::size_t kDelayTextLength = 11;

// Every space becomes '0'. The delay editor reports each digit that shows '0'
// as a space, so every reader of it normalises first.
std::wstring NormalizeDelayText(std::wstring_view text);

// Hours at positions 1-2, minutes 4-5, seconds 7-8, milliseconds 10-11
// (1-based); the separator positions are never looked at. Each pair must be a
// whole number, otherwise ConversionError. Does not normalise. A text shorter
// than eleven characters yields shorter (possibly empty, hence failing) pairs.
std::int32_t DelayToMilliseconds(std::wstring_view text);

} // namespace core
