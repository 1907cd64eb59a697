// Translation catalogue reader: bytes are decoded and split as the program
// loads the catalogue, then texts (fixed ones and ones taken from the
// catalogue itself, so that lookups do match) are translated.
#include "core/Catalogue.h"
#include "core/TextCodec.h"
#include "tests/fuzz/FuzzSupport.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

using fuzz::DecodeLatin1;
using fuzz::Require;

constexpr std::size_t kLinesSampled = 8;

bool IsSomeValue(const core::Catalogue& catalogue, std::wstring_view text) {
    for (const std::wstring& line : catalogue.Lines())
        if (core::LineValue(line) == text)
            return true;
    return false;
}

void CheckTranslation(const core::Catalogue& catalogue, std::wstring_view source) {
    static const std::array<std::wstring_view, 5> kLanguages = {L"en", L"ko", L"ja", L"EN", L""};
    Require(catalogue.Translate(source, L"") == source);
    for (const std::wstring_view language : kLanguages) {
        const std::wstring found = catalogue.Lookup(source, language);
        // Either the source itself or a non-empty value of the catalogue.
        Require(found == source || (!found.empty() && IsSomeValue(catalogue, found)));
        if (language.empty())
            continue;
        const std::wstring shown = catalogue.Translate(source, language);
        Require(shown.find(L"\\n") == std::wstring::npos);
        Require(shown.find(L'\n') == std::wstring::npos || found.find(L'\n') != std::wstring::npos);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const core::Catalogue catalogue(core::SplitLines(core::DecodeText(bytes, DecodeLatin1)));

    for (const std::wstring_view source : {L"Waiting", L"대기중입니다.", L"a\\nb", L""})
        CheckTranslation(catalogue, source);
    const auto& lines = catalogue.Lines();
    for (std::size_t i = 0; i < lines.size() && i < kLinesSampled; ++i) {
        CheckTranslation(catalogue, lines[i]);
        CheckTranslation(catalogue, core::LineValue(lines[i]));
    }
    return 0;
}
