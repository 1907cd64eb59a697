// The question that offers a download, in the user's language.
#pragma once

#include <string>
#include <string_view>

namespace core {

// The three sentences for a two-letter language code ("ko", "ja", "zh",
// "de", "ru", "it", "fr"; compared exactly, so "KO" is not Korean), English
// for any other, separated by two carriage returns.
std::wstring UpdatePromptText(std::wstring_view language);

} // namespace core
