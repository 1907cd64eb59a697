#include "ui/Text.h"

#include <windows.h>

namespace ui {
namespace {

std::wstring ToWide(UINT codePage, std::string_view bytes) {
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, out.data(), length);
    return out;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, out.data(), length, nullptr, nullptr);
    return out;
}

} // namespace

std::wstring FromUtf8(std::string_view text) {
    return ToWide(CP_UTF8, text);
}
std::string ToUtf8(std::wstring_view text) {
    return FromWide(CP_UTF8, text);
}
std::wstring FromAnsi(std::string_view bytes) {
    return ToWide(CP_ACP, bytes);
}
std::string ToAnsi(std::wstring_view text) {
    return FromWide(CP_ACP, text);
}

} // namespace ui
