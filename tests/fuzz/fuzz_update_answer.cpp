// Update service answer: the first line is taken as the Content-Type value,
// the rest as the body. The body is decoded as the program decodes it and
// the link is taken out of it; whatever comes in, the link is a decoded part
// of the answer and only a web address is offered.
#include "core/AnswerText.h"
#include "core/UpdateAnswer.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cstdint>
#include <string_view>

namespace {

using fuzz::DecodeLatin1;
using fuzz::MayBeOffered;
using fuzz::Require;

void CheckLink(std::wstring_view text) {
    const std::wstring raw = core::ExtractBetween(text, core::kUpdateMarker, L"\"");
    Require(text.find(raw) != std::wstring_view::npos);
    const std::wstring link = core::JsonUnescape(raw);
    Require(link.size() <= raw.size());
    Require(core::UpdateLink(text) == link);
    const std::wstring offered = core::OfferedLink(text);
    Require(offered.empty() || (offered == link && MayBeOffered(offered)));
    // The same search with the other quote and the unescaping of everything.
    Require(text.find(core::ExtractBetween(text, L"'", L"'")) != std::wstring_view::npos);
    Require(core::JsonUnescape(text).size() <= text.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = bytes.find('\n');
    const std::wstring contentType =
        newline == std::string_view::npos ? std::wstring() : DecodeLatin1(bytes.substr(0, newline));
    const std::string_view body =
        newline == std::string_view::npos ? bytes : bytes.substr(newline + 1);
    const auto text = core::DecodeAnswer(body, contentType, [](unsigned, std::string_view raw) {
        return std::optional<std::wstring>(DecodeLatin1(raw));
    });
    if (text)
        CheckLink(*text);
    CheckLink(DecodeLatin1(bytes));
    return 0;
}
