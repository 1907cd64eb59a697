#include "core/LauncherAnswer.h"

#include "core/JsonEscape.h"
#include "core/UpdateAnswer.h"
#include "core/WebLink.h"

namespace core::launcher {
namespace {

constexpr std::wstring_view kVersionHeader = L"User-Version: ";
constexpr std::wstring_view kDebugHeader = L"User-Debug: false";
constexpr wchar_t kHeaderSeparator = L'\r';
constexpr std::wstring_view kPathSeparators = L":\\/";
constexpr std::wstring_view kLinkMarker = kUpdateMarker; // the same marker as the main program's
constexpr wchar_t kQuote = L'"';

} // namespace

std::wstring RequestHeaders(std::wstring_view version) {
    std::wstring block(kVersionHeader);
    block += version;
    block += kHeaderSeparator;
    block += kDebugHeader;
    return block;
}

std::wstring SiblingPath(std::wstring_view modulePath, std::wstring_view fileName) {
    const std::size_t last = modulePath.find_last_of(kPathSeparators);
    std::wstring path(last == std::wstring_view::npos ? std::wstring_view()
                                                      : modulePath.substr(0, last + 1));
    path += fileName;
    return path;
}

std::wstring JsonUnescape(std::wstring_view text) {
    return UnescapeJsonString(text, NullEscape::Drop);
}

std::wstring LinkInAnswer(std::wstring_view answer) {
    const std::size_t marker = answer.find(kLinkMarker);
    if (marker == std::wstring_view::npos)
        return {};
    const std::size_t start = marker + kLinkMarker.size();
    const std::size_t end = answer.find(kQuote, start);
    if (end == std::wstring_view::npos)
        return {};
    return JsonUnescape(answer.substr(start, end - start));
}

std::wstring OfferedLink(std::wstring_view answer) {
    std::wstring link = LinkInAnswer(answer);
    return IsWebLink(link) ? link : std::wstring();
}

bool AnswerBytes::Append(std::string_view chunk) {
    if (tooLarge_)
        return false;
    if (chunk.size() > kMaxAnswerBytes - bytes_.size()) {
        tooLarge_ = true;
        bytes_ = std::string();
        return false;
    }
    bytes_ += chunk;
    return true;
}

} // namespace core::launcher
