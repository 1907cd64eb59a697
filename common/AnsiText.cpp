#include "common/AnsiText.h"

#include <windows.h>

#include <limits>
#include <stdexcept>

namespace Orv {
namespace {

int Counted(std::size_t size) {
    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw std::length_error("The text is too long for the ANSI code page conversion.");
    return static_cast<int>(size);
}

void Converted(int length) {
    if (length <= 0)
        throw std::length_error("The ANSI code page conversion failed.");
}

} // namespace

std::wstring FromAnsi(std::string_view bytes) {
    if (bytes.empty())
        return {};
    const int size = Counted(bytes.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    Converted(length);
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    Converted(MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, out.data(), length));
    return out;
}

std::string ToAnsi(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = Counted(text.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    Converted(length);
    std::string out(static_cast<std::size_t>(length), '\0');
    Converted(
        WideCharToMultiByte(CP_ACP, 0, text.data(), size, out.data(), length, nullptr, nullptr));
    return out;
}

} // namespace Orv
