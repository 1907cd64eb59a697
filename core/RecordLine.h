// One line of the record file and the mapping between the selector texts a
// row shows and the indexes the file stores, which makes the file
// independent of the window's language.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// A row as the record list shows it: position text, button name, click-kind
// name, delay text.
struct RecordRow {
    std::wstring position;
    std::wstring button;
    std::wstring kind;
    std::wstring delay;
    bool operator==(const RecordRow&) const = default;
};

using ItemList = std::vector<std::wstring>;

// Index of the first item whose whole text equals text, ignoring letter
// case; -1 when none does (an empty text included).
int IndexOfItem(const ItemList& items, std::wstring_view text);

// The item at index, or the empty text when index is outside the list.
std::wstring ItemAt(const ItemList& items, int index);

// "position,buttonIndex,kindIndex,delay" with no quoting and no line break.
std::wstring FormatRecordLine(const RecordRow& row, const ItemList& buttons, const ItemList& kinds);

// A line with exactly four fields gives a row (fields 1 and 4 unchanged,
// fields 2 and 3 mapped through ItemAt); any other line gives nullopt. A
// four-field line whose index field is not a whole number raises
// ConversionError.
std::optional<RecordRow> ParseRecordLine(std::wstring_view line, const ItemList& buttons,
                                         const ItemList& kinds);

// Letter-case-insensitive whole-text comparison used for item matching.
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b);

} // namespace core
