// The launcher's readers of outside input: the update service's answer
// (collected in 1025-byte reads, taken one byte per character, then searched
// for the link) and its own command line.
#include "core/CommandLine.h"
#include "core/LauncherAnswer.h"
#include "core/WebLink.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using fuzz::DecodeLatin1;
using fuzz::MayBeOffered;
using fuzz::Require;

constexpr std::size_t kReadSize = 1025;

void CheckAnswer(std::string_view bytes) {
    core::launcher::AnswerBytes answer;
    for (std::size_t pos = 0; pos < bytes.size(); pos += kReadSize)
        Require(answer.Append(bytes.substr(pos, kReadSize)));
    Require(answer.Bytes() == bytes);

    const std::wstring text = DecodeLatin1(answer.Bytes());
    const std::wstring link = core::launcher::LinkInAnswer(text);
    Require(link.size() <= text.size());
    const std::wstring offered = core::launcher::OfferedLink(text);
    Require(offered.empty() || (offered == link && MayBeOffered(offered)));

    const std::wstring decoded = core::launcher::JsonUnescape(text);
    Require(decoded.size() <= text.size());
    if (text.find(L'\\') == std::wstring::npos)
        Require(decoded == text);
}

void CheckCommandLine(std::string_view bytes) {
    const std::wstring line = DecodeLatin1(bytes);
    const std::vector<std::wstring> tokens = core::SplitCommandLine(line);
    const std::wstring first = core::FirstArgument(line);
    Require(first == (tokens.size() > 1 ? tokens[1] : std::wstring()));

    std::size_t length = 0;
    for (const std::wstring& token : tokens)
        length += token.size();
    Require(length <= line.size());

    // Without quotes, the tokens are exactly the runs of non-separators.
    if (line.find(L'"') == std::wstring::npos) {
        std::wstring kept;
        for (const wchar_t c : line)
            if (c > L' ')
                kept += c;
        std::wstring joined;
        for (const std::wstring& token : tokens) {
            Require(!token.empty());
            Require(std::none_of(token.begin(), token.end(), [](wchar_t c) { return c <= L' '; }));
            joined += token;
        }
        Require(joined == kept);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.size() <= core::kMaxAnswerBytes)
        CheckAnswer(bytes);
    CheckCommandLine(bytes);
    return 0;
}
