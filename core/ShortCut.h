// Shortcut values: an unsigned 16-bit key combination with the virtual-key
// code in bits 0-7 and Shift 0x2000, Ctrl 0x4000, Alt 0x8000. It is what a hot
// key editor holds and how a hotkey is stored in the settings.
#pragma once

#include <cstdint>

namespace core {

using ShortCut = std::uint16_t;

constexpr ShortCut kShortCutShift = 0x2000;
constexpr ShortCut kShortCutCtrl = 0x4000;
constexpr ShortCut kShortCutAlt = 0x8000;
constexpr ShortCut kShortCutKeyMask = 0x1FFF; // bits 0-12: what RegisterHotKey gets as key

// RegisterHotKey modifier flags (the same values as MOD_ALT, MOD_CONTROL,
// MOD_SHIFT).
constexpr unsigned kModAlt = 0x0001;
constexpr unsigned kModControl = 0x0002;
constexpr unsigned kModShift = 0x0004;

// Hot key control modifier flags (HOTKEYF_SHIFT, _CONTROL, _ALT, _EXT).
constexpr unsigned kHotKeyFShift = 0x01;
constexpr unsigned kHotKeyFControl = 0x02;
constexpr unsigned kHotKeyFAlt = 0x04;
constexpr unsigned kHotKeyFExt = 0x08;

struct HotKeyParts {
    unsigned modifiers = 0;
    unsigned virtualKey = 0;
    bool operator==(const HotKeyParts&) const = default;
};

// Splits a value for RegisterHotKey: key = bits 0-12, modifiers from bits
// 13-15. The Windows key and "no repeat" are never used.
constexpr HotKeyParts ShortCutToHotKey(ShortCut value) {
    HotKeyParts parts;
    parts.virtualKey = value & kShortCutKeyMask;
    if (value & kShortCutAlt)
        parts.modifiers |= kModAlt;
    if (value & kShortCutCtrl)
        parts.modifiers |= kModControl;
    if (value & kShortCutShift)
        parts.modifiers |= kModShift;
    return parts;
}

// HKM_GETHOTKEY word (key in the low byte, HOTKEYF_* in the high byte) to a
// shortcut value. HOTKEYF_EXT is dropped.
constexpr ShortCut ShortCutFromHotKeyWord(std::uint16_t word) {
    const unsigned flags = word >> 8;
    ShortCut value = word & 0xFF;
    if (flags & kHotKeyFShift)
        value |= kShortCutShift;
    if (flags & kHotKeyFControl)
        value |= kShortCutCtrl;
    if (flags & kHotKeyFAlt)
        value |= kShortCutAlt;
    return value;
}

// Shortcut value to the HKM_SETHOTKEY word: the control takes only the low
// byte of the key, the modifier flags come from bits 13-15.
constexpr std::uint16_t HotKeyWordFromShortCut(ShortCut value) {
    unsigned flags = 0;
    if (value & kShortCutShift)
        flags |= kHotKeyFShift;
    if (value & kShortCutCtrl)
        flags |= kHotKeyFControl;
    if (value & kShortCutAlt)
        flags |= kHotKeyFAlt;
    return static_cast<std::uint16_t>((flags << 8) | (value & 0xFF));
}

// Keys whose name is known without asking the keyboard layout: Backspace,
// Tab, Enter, Esc, Space to the arrows, Insert, Delete, digits, letters and
// F1-F24.
constexpr bool HasFixedKeyName(std::uint8_t key) {
    return key == 0x08 || key == 0x09 || key == 0x0D || key == 0x1B ||
           (key >= 0x20 && key <= 0x28) || key == 0x2D || key == 0x2E ||
           (key >= 0x30 && key <= 0x39) || (key >= 0x41 && key <= 0x5A) ||
           (key >= 0x70 && key <= 0x87);
}

} // namespace core
