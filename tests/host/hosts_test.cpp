#include "core/Hosts.h"

#include <gtest/gtest.h>

namespace {

constexpr wchar_t kFallback[] = L"https://www.mirvex.example";

TEST(Hosts, OnlySchemeHostAndPortOverrideTheDefault) {
    struct Case {
        const wchar_t* candidate;
        const wchar_t* chosen;
    };
    const Case cases[] = {
        {L"http://127.0.0.1:18080", L"http://127.0.0.1:18080"},
        {L"https://staging.mirvex.example/", L"https://staging.mirvex.example"},
        {L"http://localhost", L"http://localhost"},
        {L"", kFallback},
        {L"127.0.0.1:18080", kFallback},          // no scheme
        {L"ftp://127.0.0.1", kFallback},          // other scheme
        {L"file:///C:/Windows", kFallback},       // local file
        {L"http://", kFallback},                  // no host
        {L"http://127.0.0.1:", kFallback},        // empty port
        {L"http://127.0.0.1:123456", kFallback},  // port too long
        {L"http://host/api.init.php", kFallback}, // a path
        {L"http://h:8/x", kFallback},             // a path after the port
        {L"http://:18080", kFallback},            // no host before the port
        {L"http:///", kFallback},                 // no host before the slash
        {L"http://user@host", kFallback},         // credentials
        {L"http://host name", kFallback},         // blank
        {L"HTTP://host", kFallback},              // scheme is written in lower case
        {L"http://h\u00f6st", kFallback},         // not ASCII
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::ChooseHost(c.candidate, kFallback), c.chosen) << c.candidate;
}

} // namespace
