#include "core/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr wchar_t kStart[] = L"/inst";

TEST(CommandLine, FirstArgumentIsTheSecondToken) {
    const struct {
        const wchar_t* line;
        const wchar_t* argument;
    } cases[] = {
        {L"", L""},
        {L"svc.exe", L""},
        {L"svc.exe /inst", kStart},
        {L"\"C:\\Program Files\\Mirvex\\svc.exe\" /inst", kStart},
        {L"svc.exe \"/inst\"", kStart},
        {L"svc.exe /inst more \"args\"", kStart},
        {L" \t svc.exe\t\x01/inst\r\n", kStart}, // everything up to U+0020 separates
        {L"svc.exe /INST", L"/INST"},
        {L"svc.exe /inst2", L"/inst2"},
        {L"svc.exe -inst", L"-inst"},
        {L"svc.exe /inst.", L"/inst."},
        {L"svc.exe \"/inst", L"\"/inst"},             // a quote left open runs to the end
        {L"svc.exe \"/inst more", L"\"/inst more"},   // ... blanks included
        {L"svc.exe \"/inst more\"", L"/inst more"},   // one quoted token
        {L"svc.exe \"/in\"st", L"\"/in\"st"},         // quotes not around the token stay
        {L"svc.exe /inst\"a b\" c", L"/inst\"a b\""}, // a quoted run inside a token
        {L"svc.exe \"\"", L""},
        {L"svc.exe \"", L"\""},              // one quote: nothing to strip
        {L"\"C:\\a b\\svc.exe\"/inst", L""}, // one token
        {L"svc.exe\u00A0/inst", L""},        // U+00A0 does not separate
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::FirstArgument(c.line), c.argument) << testing::PrintToString(c.line);
}

TEST(CommandLine, SplitsIntoEveryToken) {
    EXPECT_EQ(core::SplitCommandLine(L"\"C:\\a b\\svc.exe\"  /inst \"x y\"z \"\"  "),
              (std::vector<std::wstring>{L"C:\\a b\\svc.exe", L"/inst", L"\"x y\"z", L""}));
    EXPECT_TRUE(core::SplitCommandLine(L" \t\r\n ").empty());
}

} // namespace
