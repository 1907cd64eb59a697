// Editing model of the delay editor: a fixed mask "99:99:99.99" whose eight
// digit positions accept only '0'-'9', whose separators cannot be typed over
// and whose unfilled positions show '0'. The window control forwards key
// presses here and shows Display().
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace core {

class DelayMask {
  public:
    static constexpr std::size_t kLength = 11;

    explicit DelayMask(wchar_t timeSeparator = L':');

    // What the editor shows: eleven characters, separators in place, every
    // unfilled digit position shown as '0'.
    const std::wstring& Display() const { return display_; }

    // Reading the editor: all eleven characters with the separators in place,
    // but every digit position that shows '0' (typed or unfilled) comes back as
    // a space.
    std::wstring Text() const;

    // Setting the text from the program: character i of the text goes to
    // position i; at a digit position a digit is kept and anything else
    // (space included) leaves the position unfilled. Separator positions keep
    // the mask's separator. Characters past the eleventh are ignored.
    void SetText(std::wstring_view text);

    static bool IsDigitPosition(std::size_t position);

    // Typing one character with the selection [selStart, selEnd). A digit
    // clears the selection, then fills the first digit position at or after
    // selStart (skipping separators) and returns the caret after it. Anything
    // else, or a digit with no digit position left, is refused: nullopt, text
    // unchanged.
    std::optional<std::size_t> TypeChar(std::size_t selStart, std::size_t selEnd, wchar_t ch);

    // Delete key: clears the selection, or the digit at the caret when the
    // selection is empty. Returns the new caret position.
    std::size_t DeleteForward(std::size_t selStart, std::size_t selEnd);

    // Backspace: clears the selection, or the digit position before the caret
    // (skipping separators). Returns the new caret position.
    std::size_t DeleteBackward(std::size_t selStart, std::size_t selEnd);

    // Paste: clears the selection, then types each digit of the text in turn;
    // other characters are skipped. Returns the new caret position.
    std::size_t Paste(std::size_t selStart, std::size_t selEnd, std::wstring_view text);

  private:
    static constexpr std::size_t kDigitCount = 8;

    void Clear(std::size_t from, std::size_t to);
    void Refresh();

    wchar_t separator_;
    // Each digit cell is either filled with a digit or unfilled.
    std::array<std::optional<wchar_t>, kDigitCount> digits_{};
    std::wstring display_;
};

} // namespace core
